#pragma once

// The strings that cross the register's automation interface: BSTRs (wide) that carry the
// 8-bit text of the command files. They are converted from and to the ANSI code page with
// explicit lengths, so NUL bytes and bytes 0x80-0xFF cross unchanged. Windows only.

#include <windows.h>
// Automation, also where the includer asked for a lean <windows.h>.
#include <ole2.h>

#include <string>

namespace borvan {

// Owns one BSTR and frees it; `indirizzo()` lets a callee replace it, as a by-reference
// argument does.
class Bstr {
 public:
  Bstr() = default;
  explicit Bstr(const std::string& testo);
  ~Bstr() { SysFreeString(valore_); }
  Bstr(const Bstr&) = delete;
  Bstr& operator=(const Bstr&) = delete;

  BSTR get() const { return valore_; }
  BSTR* indirizzo() { return &valore_; }
  // Hands the string over to a caller that frees it.
  BSTR rilascia();
  std::string ansi() const;

 private:
  BSTR valore_ = nullptr;
};

// A new BSTR with the text's bytes in the ANSI code page (the caller frees it); throws
// ErroreRuntime 7 when memory runs out.
BSTR bstr_da_ansi(const std::string& testo);
// The ANSI bytes of a BSTR, all SysStringLen characters of it; "" for a null BSTR.
std::string ansi_da_bstr(BSTR testo);

}  // namespace borvan
