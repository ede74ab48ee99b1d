#pragma once

// The stand-in's entries in the registry: the register's ProgID pointing at our own CLSID,
// and that CLSID's in-process server. Nothing else is written, and nothing else is removed.

#include <windows.h>

namespace borvan::ecrsim {

// {25274A42-A1BC-4A19-AC8C-3A29B4EE74A2}
inline constexpr CLSID classe_controllo = {
    0x25274a42, 0xa1bc, 0x4a19, {0xac, 0x8c, 0x3a, 0x29, 0xb4, 0xee, 0x74, 0xa2}};

// Refuses (SELFREG_E_CLASS) when the ProgID's key is there and does not name our class, whatever
// else it holds: that is the register's own control, which the stand-in must never take over.
HRESULT registra(HMODULE dll);
// Removes our CLSID, and the ProgID only while it still points at it.
HRESULT cancella_registrazione();

}  // namespace borvan::ecrsim
