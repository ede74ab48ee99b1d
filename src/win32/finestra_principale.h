#pragma once

#include <windows.h>

#include <functional>
#include <memory>

#include "app/principale.h"
#include "support/nome_programma.h"
#include "win32/modulo.h"
#include "win32/sorveglianza.h"
#include "win32/viste.h"

namespace borvan::win32 {

// The window class by which the installer finds the running program.
inline constexpr const char* classe_principale = con_nome_programma<"_Principale">;
// The message that ends the program as the close question's Yes does (the installer sends it).
inline constexpr const char* messaggio_termina = con_nome_programma<"_Termina">;

// The main window "BORVAN INTERFACE" over its core.
class FinestraPrincipale : public Modulo {
 public:
  FinestraPrincipale(Ciclo& ciclo, Principale& principale);
  ~FinestraPrincipale() override { distruggi(); }

  HWND label1, label2, list2, command1, command2, command3, command4;
  // The register's control's place on the form: a hidden child that a control visible at run
  // time is activated into, so that nothing of it shows.
  HWND coecrcom1;
  VistaLista& vista_lista() { return *vista_lista_; }

 protected:
  bool messaggio(UINT msg, WPARAM wp, LPARAM lp, LRESULT& risultato) override;
  // Closing through the title bar asks the close button's question.
  void chiusura() override;

 private:
  Principale& principale_;
  UINT termina_;
  std::unique_ptr<VistaLista> vista_lista_;
  std::unique_ptr<VistaTimer> timer1_, timer2_, timer3_, guardia_;
  std::unique_ptr<VistaSorveglianza> sorveglianza_;
};

}  // namespace borvan::win32
