#include "automazione/testo_com.h"

#include <utility>

#include "support/errore_runtime.h"

namespace borvan {

Bstr::Bstr(const std::string& testo) : valore_(bstr_da_ansi(testo)) {}

BSTR Bstr::rilascia() {
  return std::exchange(valore_, nullptr);
}

std::string Bstr::ansi() const {
  return ansi_da_bstr(valore_);
}

BSTR bstr_da_ansi(const std::string& testo) {
  const int byte = static_cast<int>(testo.size());
  const int caratteri =
      byte == 0 ? 0 : MultiByteToWideChar(CP_ACP, 0, testo.data(), byte, nullptr, 0);
  // SysAllocStringLen adds the terminating NUL; the length stays explicit.
  BSTR risultato = SysAllocStringLen(nullptr, static_cast<UINT>(caratteri));
  if (risultato == nullptr) throw ErroreRuntime(codice_errore::memoria_esaurita);
  if (caratteri > 0) MultiByteToWideChar(CP_ACP, 0, testo.data(), byte, risultato, caratteri);
  return risultato;
}

std::string ansi_da_bstr(BSTR testo) {
  const int caratteri = static_cast<int>(SysStringLen(testo));
  if (caratteri == 0) return {};
  const int byte = WideCharToMultiByte(CP_ACP, 0, testo, caratteri, nullptr, 0, nullptr, nullptr);
  std::string risultato(static_cast<size_t>(byte), '\0');
  WideCharToMultiByte(CP_ACP, 0, testo, caratteri, risultato.data(), byte, nullptr, nullptr);
  return risultato;
}

}  // namespace borvan
