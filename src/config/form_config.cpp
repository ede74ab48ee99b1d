#include "config/form_config.h"

#include <string_view>
#include <utility>
#include <vector>

#include "config/configurazione.h"
#include "support/file.h"
#include "support/numeri.h"
#include "support/operatore.h"
#include "support/scegli_file.h"
#include "support/schermo.h"
#include "support/testo.h"
#include "support/trappola.h"

namespace borvan {

namespace {

const char* const domanda_default = "Sicuro di voler ripristinare i parametri di default?";
const char* const titolo_scelta = "Selezionare il file";
const char* const filtro_scelta = "Tutti i file (*.*)|*.*";

constexpr double colonna = Config::colonna_caselle;

// Labels are right-aligned, to end next to their boxes.
constexpr DisegnoControllo etichetta(const char* nome, Rettangolo posto, const char* caption) {
  return {.nome = nome,
          .genere = Genere::etichetta,
          .posto = posto,
          .caption = caption,
          .allineamento = Allineamento::destra};
}

// In tab order (not the rows' order on the form): each row's label, box and, for a path, its
// "..." button.
constexpr DisegnoControllo controlli[] = {
    etichetta("Label1", {90, 420, 2385, 285}, "File input comandi :"),
    {"Text1", Genere::casella, {colonna, 390, 4485, 285}},
    {"Command1", Genere::pulsante, {7050, 390, 375, 285}, "..."},
    etichetta("Label2", {30, 1410, 2445, 285}, "File dove salvare codici di ritorno :"),
    {"Text2", Genere::casella, {colonna, 1380, 4485, 285}},
    {"Command2", Genere::pulsante, {7050, 1380, 375, 285}, "..."},
    etichetta("Label3", {90, 90, 2385, 285}, "Porta logica WinEcrCom :"),
    {"Text3", Genere::casella, {colonna, 60, 795, 285}},
    {"Check1", Genere::spunta, {colonna, 1740, 4275, 255}, "Messaggio a schermo su errore"},
    etichetta("Label4", {30, 2100, 2445, 285}, "File log :"),
    {"Text4", Genere::casella, {colonna, 2070, 4485, 285}},
    {"Command3", Genere::pulsante, {7050, 2070, 375, 285}, "..."},
    etichetta("Label5", {90, 750, 2385, 285}, "Tempo polling file comandi (ms) :"),
    {"Text5", Genere::casella, {colonna, 720, 1125, 285}},
    etichetta("Label6", {90, 1080, 2385, 285}, "Tempo di timeout (sec) :"),
    {"Text6", Genere::casella, {colonna, 1050, 1125, 285}},
    // On the right, one above the other: "OK", "Default", "Annulla (ESC)".
    {.nome = "Command4",
     .genere = Genere::pulsante,
     .posto = {7590, 60, 1095, 855},
     .caption = "OK",
     .figura = Figura::conferma},
    {.nome = "Command5",
     .genere = Genere::pulsante,
     .posto = {7590, 1410, 1095, 945},
     .caption = "Annulla (ESC)",
     .figura = Figura::annulla},
    {"Command6", Genere::pulsante, {7590, 990, 1095, 375}, "Default"},
};

}  // namespace

constinit const DisegnoModulo Config::disegno{
    .caption = "Configurazione", .larghezza = 8775, .altezza = 2610, .controlli = controlli};

Config::Config(std::string cartella_eseguibile, Operatore& operatore, GestoreErrori& errori,
               char separatore_decimale)
    : cartella_eseguibile_(std::move(cartella_eseguibile)),
      operatore_(operatore),
      errori_(errori),
      separatore_decimale_(separatore_decimale) {
  const auto caption = [](const char* nome) { return disegno.controllo(nome).caption; };
  Form.setCaption(disegno.caption);
  Form.setSize_dalla_vista(disegno.larghezza, disegno.altezza);
  Label1.setCaption(caption("Label1"));
  Label2.setCaption(caption("Label2"));
  Label3.setCaption(caption("Label3"));
  Label4.setCaption(caption("Label4"));
  Label5.setCaption(caption("Label5"));
  Label6.setCaption(caption("Label6"));
  Command1.setCaption(caption("Command1"));
  Command2.setCaption(caption("Command2"));
  Command3.setCaption(caption("Command3"));
  Command4.setCaption(caption("Command4"));
  Command5.setCaption(caption("Command5"));
  Command6.setCaption(caption("Command6"));
}

std::string Config::numero(const std::string& testo) {
  return numero_in_testo(converti_numero(testo, errori_), separatore_decimale_);
}

// The box that shows each setting that is not a switch (the switch is Check1), known by the
// value its row of the settings table sets.
TextBox* Config::casella_di(const Impostazione& impostazione) {
  using C = Configurazione;
  const std::pair<Impostazione::Campo, TextBox Config::*> caselle[] = {
      {&C::porta_ecr, &Config::Text3},     {&C::file_input, &Config::Text1},
      {&C::tempo_polling, &Config::Text5}, {&C::tempo_timeout, &Config::Text6},
      {&C::file_result, &Config::Text2},   {&C::file_log, &Config::Text4}};
  for (const auto& [campo, membro] : caselle)
    if (campo == impostazione.campo) return &(this->*membro);
  return nullptr;
}

void Config::mostra(const Impostazione& impostazione, const std::string& valore) {
  if (impostazione.scelta()) {
    Check1.setValue(converti_numero(valore, errori_) == 1 ? 1 : 0);
  } else if (TextBox* box = casella_di(impostazione)) {
    box->setText(impostazione.numero() ? numero(valore) : valore);
  }
}

void Config::Form_Load() {
  cursore_attesa(operatore_, errori_);

  // Bare names, as the file would hold them: the main window puts them in its own folder.
  for (const Impostazione& impostazione : impostazioni_config()) {
    if (impostazione.scelta()) {
      Check1.setValue(impostazione.predefinito == std::string_view("1") ? 1 : 0);
    } else if (TextBox* box = casella_di(impostazione)) {
      box->setText(impostazione.predefinito);
    }
  }

  // A file that cannot be read is reported through the error dialog; given up, the boxes
  // keep the defaults. Lines are cut exactly as the main window cuts them, so that a value
  // holding a comma or quotes is shown, and written back, whole.
  Trappola passo{errori_};
  std::vector<std::string> righe;
  const bool letto = passo([&] {
    const std::string percorso = percorso_config(cartella_eseguibile_);
    righe.clear();
    if (file_esiste(percorso)) righe = dividi_righe(leggi_file(percorso));
  });
  if (letto) {
    for (const std::string& riga : righe) {
      const auto coppia = dividi_chiave_valore(riga);
      if (!coppia) continue;
      if (const Impostazione* impostazione = trova_impostazione(coppia->chiave))
        mostra(*impostazione, coppia->valore);
    }
  }

  cursore_normale(operatore_, errori_);
}

void Config::sfoglia(TextBox& casella) {
  if (Form.scaricata()) return;
  const std::string scelto = scegli_file(titolo_scelta, filtro_scelta, "", "", operatore_, errori_);
  if (!scelto.empty()) casella.setText(scelto);
}

void Config::Command1_Click() {
  sfoglia(Text1);
}
void Config::Command2_Click() {
  sfoglia(Text2);
}
void Config::Command3_Click() {
  sfoglia(Text4);
}

std::string Config::contenuto_file() {
  std::string testo;
  for (const Impostazione& impostazione : impostazioni_config()) {
    std::string valore;
    if (impostazione.scelta()) {
      valore.push_back(Check1.Value() == 1 ? '1' : '0');
    } else if (const TextBox* box = casella_di(impostazione)) {
      valore = impostazione.numero() ? numero(box->Text()) : box->Text();
    }
    testo.append(impostazione.chiave).append("=").append(valore).append(fine_riga);
  }
  return testo;
}

void Config::Command4_Click() {
  if (Form.scaricata()) return;
  cursore_attesa(operatore_, errori_);
  const std::string contenuto = contenuto_file();
  // A file that cannot be written is reported through the error dialog; given up, the
  // dialog stays open with the operator's entries, to try again or to cancel.
  Trappola passo{errori_};
  const bool scritto =
      passo([&] { scrivi_file(percorso_config(cartella_eseguibile_), contenuto); });
  cursore_normale(operatore_, errori_);
  if (scritto) Form.Unload();
}

void Config::Command5_Click() {
  if (Form.scaricata()) return;
  Form.Unload();
}

void Config::Command6_Click() {
  if (Form.scaricata()) return;
  if (!operatore_.domanda(domanda_default)) return;
  // The boxes stay as they are: the main window finds no file and takes the defaults.
  cancella_file(percorso_config(cartella_eseguibile_));
  Form.Unload();
}

void Config::Form_KeyPress(int16_t& KeyAscii) {
  if (KeyAscii == 27) Command5_Click();
}

}  // namespace borvan
