#include "errors/form_errore.h"

#include "support/numeri.h"
#include "support/operatore.h"
#include "support/schermo.h"
#include "support/trappola.h"

namespace borvan {

Form_errore::Form_errore(const std::string& testo_errore, int32_t& risposta_errore,
                         Operatore& operatore, GestoreErrori& errori)
    : testo_errore_(testo_errore),
      risposta_errore_(risposta_errore),
      operatore_(operatore),
      errori_(errori) {
  Form.setCaption("ERRORE");
  Form.setSize_dalla_vista(larghezza_twips, altezza_twips);
  Command1.setCaption("&Riprova");
  Command2.setCaption("&Annulla");
  Timer1.setInterval(1000);
  Timer1.setEnabled(true);
}

void Form_errore::Form_Load() {
  salta_errori([&] { centra_form(Form, operatore_, errori_); });
  salta_errori([&] { Label1.setCaption(testo_errore_); });
  salta_errori([&] { Label2.setCaption("5"); });
  // Retry until someone says otherwise: a dialog closed any other way answers retry.
  risposta_errore_ = risposta_riprova;
  salta_errori([&] { SSTab1.setTab(0); });
}

// Once the dialog is unloaded its answer is final: late ticks and keys change nothing.

void Form_errore::Command1_Click() {
  if (Form.scaricata()) return;
  risposta_errore_ = risposta_riprova;
  salta_errori([&] { Form.Unload(); });
}

void Form_errore::Command2_Click() {
  if (Form.scaricata()) return;
  risposta_errore_ = risposta_annulla;
  salta_errori([&] { Form.Unload(); });
}

void Form_errore::Form_KeyPress(int16_t& KeyAscii) {
  if (Form.scaricata()) return;
  if (KeyAscii == 13) Command1_Click();
  if (KeyAscii == 27) Command2_Click();
}

void Form_errore::Timer1_Timer() {
  if (Form.scaricata()) return;
  salta_errori([&] {
    Label2.setCaption(numero_in_testo(converti_numero(Label2.Caption(), errori_) - 1, '.'));
  });
  salta_errori([&] {
    if (converti_numero(Label2.Caption(), errori_) <= 0) Command1_Click();
  });
}

}  // namespace borvan
