#include "errors/form_errore.h"

#include "support/numeri.h"
#include "support/operatore.h"
#include "support/schermo.h"
#include "support/trappola.h"

namespace borvan {

namespace {

constexpr double larghezza = 7140, altezza = 3045;
constexpr const char* schede[] = {"Descrizione errore", "Dettagli"};
constexpr Carattere pulsanti{.punti = 9.75, .grassetto = true};

// Every control stands on the first tab; the second holds nothing.
constexpr DisegnoControllo controlli[] = {
    {"Picture1", Genere::riquadro, {120, 810, 1515, 1485}},
    {"Label1", Genere::etichetta, {1770, 420, 5295, 1275}},
    {.nome = "Command1",
     .genere = Genere::pulsante,
     .posto = {1770, 1770, 2685, 1155},
     .caption = "&Riprova",
     .carattere = pulsanti,
     .sfondo = Colore{0, 255, 0}},
    {.nome = "Command2",
     .genere = Genere::pulsante,
     .posto = {4530, 1770, 2535, 1155},
     .caption = "&Annulla",
     .carattere = pulsanti,
     .sfondo = Colore{255, 128, 0}},
    // The countdown: never shown.
    {.nome = "Label2",
     .genere = Genere::etichetta,
     .posto = {300, 2730, 255, 315},
     .carattere = Carattere{.punti = 13.5, .grassetto = true},
     .visibile = false},
    {.nome = "SSTab1",
     .genere = Genere::schede,
     .posto = {0, 0, larghezza, altezza},
     .schede = schede},
};

}  // namespace

constinit const DisegnoModulo Form_errore::disegno{.caption = "ERRORE",
                                                   .larghezza = larghezza,
                                                   .altezza = altezza,
                                                   .carattere = {.grassetto = true},
                                                   .controlli = controlli};

Form_errore::Form_errore(const std::string& testo_errore, int32_t& risposta_errore,
                         Operatore& operatore, GestoreErrori& errori)
    : testo_errore_(testo_errore),
      risposta_errore_(risposta_errore),
      operatore_(operatore),
      errori_(errori) {
  Form.setCaption(disegno.caption);
  Form.setSize_dalla_vista(disegno.larghezza, disegno.altezza);
  Command1.setCaption(disegno.controllo("Command1").caption);
  Command2.setCaption(disegno.controllo("Command2").caption);
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
