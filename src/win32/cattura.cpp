#include "win32/cattura.h"

#include <chrono>
#include <cstdio>

namespace borvan::win32 {

namespace {

// Lets the windows draw themselves: the caller's own, and another program's.
void attendi(int millisecondi) {
  const auto fine = std::chrono::steady_clock::now() + std::chrono::milliseconds(millisecondi);
  MSG msg;
  while (std::chrono::steady_clock::now() < fine) {
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&msg);
      DispatchMessageA(&msg);
    }
    Sleep(10);
  }
}

}  // namespace

bool salva_finestra(HWND finestra, const std::string& percorso) {
  SetForegroundWindow(finestra);
  RedrawWindow(finestra, nullptr, nullptr,
               RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_FRAME);
  attendi(400);
  RECT r{};
  GetWindowRect(finestra, &r);
  const int w = r.right - r.left, h = r.bottom - r.top;
  HDC schermo = GetDC(nullptr);
  HDC memoria = CreateCompatibleDC(schermo);
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = w;
  info.bmiHeader.biHeight = h;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 24;
  info.bmiHeader.biCompression = BI_RGB;
  void* bit = nullptr;
  HBITMAP immagine = CreateDIBSection(schermo, &info, DIB_RGB_COLORS, &bit, nullptr, 0);
  HGDIOBJ prima = SelectObject(memoria, immagine);
  BitBlt(memoria, 0, 0, w, h, schermo, r.left, r.top, SRCCOPY);
  GdiFlush();
  const DWORD riga = static_cast<DWORD>((w * 3 + 3) & ~3);
  const DWORD dati = riga * static_cast<DWORD>(h);
  BITMAPFILEHEADER testa{};
  testa.bfType = 0x4D42;
  testa.bfOffBits = sizeof testa + sizeof info.bmiHeader;
  testa.bfSize = testa.bfOffBits + dati;
  bool fatto = false;
  if (FILE* file = std::fopen(percorso.c_str(), "wb")) {
    fatto = std::fwrite(&testa, sizeof testa, 1, file) == 1 &&
            std::fwrite(&info.bmiHeader, sizeof info.bmiHeader, 1, file) == 1 &&
            std::fwrite(bit, dati, 1, file) == 1;
    std::fclose(file);
  }
  SelectObject(memoria, prima);
  DeleteObject(immagine);
  DeleteDC(memoria);
  ReleaseDC(nullptr, schermo);
  std::printf("%s %s\n", fatto ? "salvata" : "NON salvata", percorso.c_str());
  return fatto;
}

}  // namespace borvan::win32
