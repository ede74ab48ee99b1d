#include "config/config_form.h"

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

}  // namespace

Config::Config(std::string cartella_eseguibile, Operatore& operatore, GestoreErrori& errori,
               char separatore_decimale)
    : cartella_eseguibile_(std::move(cartella_eseguibile)),
      operatore_(operatore),
      errori_(errori),
      separatore_decimale_(separatore_decimale) {
  Form.setCaption("Configurazione");
  Form.setSize_dalla_vista(larghezza_twips, altezza_twips);
  Label1.setCaption("File input comandi :");
  Label2.setCaption("File dove salvare codici di ritorno :");
  Label3.setCaption("Porta logica WinEcrCom :");
  Label4.setCaption("File log :");
  Label5.setCaption("Tempo polling file comandi (ms) :");
  Label6.setCaption("Tempo di timeout (sec) :");
  Command1.setCaption("...");
  Command2.setCaption("...");
  Command3.setCaption("...");
  Command4.setCaption("OK");
  Command5.setCaption("Annulla (ESC)");
  Command6.setCaption("Default");
}

std::string Config::numero(const std::string& testo) {
  return numero_in_testo(converti_numero(testo, errori_), separatore_decimale_);
}

void Config::Form_Load() {
  cursore_attesa(operatore_, errori_);

  // Bare names, as the file would hold them: the main window puts them in its own folder.
  Text3.setText("1");
  Text1.setText("Scontr.ECR");
  Text5.setText("500");
  Text6.setText("20");
  Text2.setText("Result.TXT");
  Check1.setValue(0);
  Text4.setText("BorvanIF.LOG");

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
      const std::string& chiave = coppia->chiave;
      const std::string& valore = coppia->valore;
      if (chiave == "WINECRCOM_PORT") Text3.setText(numero(valore));
      if (chiave == "INPUT_FILE") Text1.setText(valore);
      if (chiave == "POLLING_TIME") Text5.setText(numero(valore));
      if (chiave == "TIMEOUT") Text6.setText(numero(valore));
      if (chiave == "RESULT_FILE") Text2.setText(valore);
      if (chiave == "SHOW_ERRORS") Check1.setValue(converti_numero(valore, errori_) == 1 ? 1 : 0);
      if (chiave == "LOG_FILE") Text4.setText(valore);
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
  auto riga = [&testo](const char* chiave, const std::string& valore) {
    testo += chiave;
    testo += '=';
    testo += valore;
    testo += fine_riga;
  };
  riga("WINECRCOM_PORT", numero(Text3.Text()));
  riga("INPUT_FILE", Text1.Text());
  riga("POLLING_TIME", numero(Text5.Text()));
  riga("TIMEOUT", numero(Text6.Text()));
  riga("RESULT_FILE", Text2.Text());
  riga("SHOW_ERRORS", Check1.Value() == 1 ? "1" : "0");
  riga("LOG_FILE", Text4.Text());
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
