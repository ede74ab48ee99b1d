// What the installer's page test sees of the screen, as a person sees it:
//   borvan_finestre testi TITOLO   the shown windows whose title starts with TITOLO, as
//     "== X title" (X: the X server's window, for xdotool) and one "class<TAB>text" line a
//     control, in UTF-8; exit 1 when none is shown. A check box or a radio button reads
//     "[x] text" or "[ ] text", a tree of check boxes "[x]"/"[ ]" an item, a control taking no
//     input ends " (disattivato)".
//   borvan_finestre cattura TITOLO TESTO FILE   the first such window showing TESTO, as a BMP.
//   borvan_finestre tieni FILE SEGNALE   holds FILE open, sharing reads only, as a scanner or a
//     BorvanIF of another session does, and makes SEGNALE once it does; until it is ended.

#include <windows.h>

#include <commctrl.h>

#include <cstdio>
#include <string>
#include <vector>

#include "win32/cattura.h"

namespace {

std::string utf8(const std::wstring& testo) {
  const int n = WideCharToMultiByte(CP_UTF8, 0, testo.data(), static_cast<int>(testo.size()),
                                    nullptr, 0, nullptr, nullptr);
  std::string risultato(static_cast<size_t>(n), '\0');
  WideCharToMultiByte(CP_UTF8, 0, testo.data(), static_cast<int>(testo.size()), risultato.data(), n,
                      nullptr, nullptr);
  return risultato;
}

// Asked of the window itself: the text of another program's edit box is not its caption.
std::wstring testo_di(HWND finestra) {
  wchar_t testo[2048] = L"";
  DWORD_PTR copiati = 0;
  SendMessageTimeoutW(finestra, WM_GETTEXT, 2048, reinterpret_cast<LPARAM>(testo), SMTO_ABORTIFHUNG,
                      5000, &copiati);
  return testo;
}

// An argument as the system hands it over: in the ANSI code page.
std::wstring da_ansi(const char* testo) {
  const int n = MultiByteToWideChar(CP_ACP, 0, testo, -1, nullptr, 0);
  std::wstring risultato(static_cast<size_t>(n > 0 ? n - 1 : 0), L'\0');
  MultiByteToWideChar(CP_ACP, 0, testo, -1, risultato.data(), n);
  return risultato;
}

struct Ricerca {
  std::wstring inizio;
  std::vector<HWND> trovate;
};

BOOL CALLBACK trova(HWND finestra, LPARAM dati) {
  auto& ricerca = *reinterpret_cast<Ricerca*>(dati);
  if (IsWindowVisible(finestra) && testo_di(finestra).starts_with(ricerca.inizio))
    ricerca.trovate.push_back(finestra);
  return TRUE;
}

bool casella(HWND controllo) {
  const LONG_PTR tipo = GetWindowLongPtrW(controllo, GWL_STYLE) & BS_TYPEMASK;
  return tipo == BS_CHECKBOX || tipo == BS_AUTOCHECKBOX || tipo == BS_3STATE ||
         tipo == BS_AUTO3STATE || tipo == BS_RADIOBUTTON || tipo == BS_AUTORADIOBUTTON;
}

// The items of a tree of check boxes, depth first: their state images are 1 unchecked and 2
// checked (the installer's read-only ones come after those, and count as checked).
void stati_albero(HWND albero, HTREEITEM voce, std::string& riga) {
  for (; voce != nullptr;
       voce = reinterpret_cast<HTREEITEM>(
           SendMessageW(albero, TVM_GETNEXTITEM, TVGN_NEXT, reinterpret_cast<LPARAM>(voce)))) {
    const auto stato =
        SendMessageW(albero, TVM_GETITEMSTATE, reinterpret_cast<WPARAM>(voce), TVIS_STATEIMAGEMASK);
    riga += ((stato >> 12) >= 2) ? " [x]" : " [ ]";
    stati_albero(albero,
                 reinterpret_cast<HTREEITEM>(SendMessageW(albero, TVM_GETNEXTITEM, TVGN_CHILD,
                                                          reinterpret_cast<LPARAM>(voce))),
                 riga);
  }
}

BOOL CALLBACK aggiungi_controllo(HWND controllo, LPARAM testi) {
  if (!IsWindowVisible(controllo)) return TRUE;
  wchar_t classe[64] = L"";
  GetClassNameW(controllo, classe, 64);
  std::string riga = utf8(classe) + "\t";
  if (std::wstring(classe) == L"Button" && casella(controllo))
    riga += SendMessageW(controllo, BM_GETCHECK, 0, 0) == BST_CHECKED ? "[x] " : "[ ] ";
  riga += utf8(testo_di(controllo));
  if (std::wstring(classe) == WC_TREEVIEWW)
    stati_albero(
        controllo,
        reinterpret_cast<HTREEITEM>(SendMessageW(controllo, TVM_GETNEXTITEM, TVGN_ROOT, 0)), riga);
  if (!IsWindowEnabled(controllo)) riga += " (disattivato)";
  *reinterpret_cast<std::string*>(testi) += riga + "\n";
  return TRUE;
}

// The window's title line and its controls' lines.
std::string testi(HWND finestra) {
  const auto x = reinterpret_cast<uintptr_t>(GetPropA(finestra, "__wine_x11_whole_window"));
  char intestazione[32];
  std::snprintf(intestazione, sizeof intestazione, "== 0x%lx ", static_cast<unsigned long>(x));
  std::string risultato = intestazione + utf8(testo_di(finestra)) + "\n";
  EnumChildWindows(finestra, aggiungi_controllo, reinterpret_cast<LPARAM>(&risultato));
  return risultato;
}

}  // namespace

int main(int argc, char* argv[]) {
  const std::string comando = argc > 2 ? argv[1] : "";
  if (comando == "tieni" && argc == 4) {
    if (CreateFileA(argv[2], GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr) ==
            INVALID_HANDLE_VALUE ||
        CreateFileA(argv[3], GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr) ==
            INVALID_HANDLE_VALUE)
      return 1;
    Sleep(INFINITE);
  }
  if ((comando != "testi" || argc != 3) && (comando != "cattura" || argc != 5)) {
    std::fprintf(stderr, "uso: borvan_finestre testi|cattura|tieni ...\n");
    return 2;
  }
  Ricerca ricerca{da_ansi(argv[2]), {}};
  EnumWindows(trova, reinterpret_cast<LPARAM>(&ricerca));
  for (HWND finestra : ricerca.trovate) {
    const std::string mostrati = testi(finestra);
    if (comando == "testi") std::printf("%s", mostrati.c_str());
    if (comando == "cattura" && mostrati.find(utf8(da_ansi(argv[3]))) != std::string::npos)
      return borvan::win32::salva_finestra(finestra, argv[4]) ? 0 : 1;
  }
  return comando == "testi" && !ricerca.trovate.empty() ? 0 : 1;
}
