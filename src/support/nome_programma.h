#pragma once

namespace borvan {

// The program's name: the caption of its message boxes, the source of its own errors.
inline constexpr const char* nome_programma = "BorvanIF";

}  // namespace borvan
