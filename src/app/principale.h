#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/esito.h"
#include "app/giornale.h"
#include "config/configurazione.h"
#include "ecr/driver_ecr.h"
#include "support/controlli.h"
#include "support/disegno.h"
#include "support/sistema.h"

namespace borvan {

class GestoreErrori;
class Operatore;
class Trappola;

// What the main window needs from the system it runs on.
class Ambiente {
 public:
  virtual ~Ambiente() = default;
  // The instance lock is held by another process.
  virtual bool altra_istanza_attiva() = 0;
  // A running instance shows itself here (its window answers). A lock refused without one may
  // be held by a file server for a program that is gone, and is asked again for a while.
  virtual bool istanza_visibile() { return true; }
  virtual void attendi(int32_t millisecondi);
  // Ends the program at once: no further step of any kind.
  virtual void termina() = 0;
  virtual DataOra adesso() = 0;
  // A clock that only moves forward, in milliseconds from any origin.
  virtual int64_t millisecondi() = 0;
  // Shows the configuration dialog modally; returns when it has closed, whichever way.
  virtual void mostra_configurazione() {
    if (configurazione_) configurazione_();
  }
  // What shows it: the program sets it once its windows exist.
  void imposta_configurazione(std::function<void()> mostra) { configurazione_ = std::move(mostra); }
  // What the start-up notes in the log about the command files at the path.
  virtual std::vector<std::string> avvertenze(const std::string& file_input) {
    return avvertenze_file_comandi(file_input);
  }
  // A file's identity as the file system at the path tells it: the system's answer as it is. A
  // test models here a file system that tells less (IDs that move with a rename, or none).
  virtual IdentitaFile identita_riportata(IdentitaFile identita, const std::string&) {
    return identita;
  }

 private:
  std::function<void()> configurazione_;
};

// The main window "BORVAN INTERFACE": start-up, the print cycle and the outcome of each job.
class Principale {
 public:
  // The window and its controls as drawn, in tab order.
  static const DisegnoModulo disegno;
  // A command file longer than this is no receipt (32767 lines of 256 bytes take a quarter of
  // it): it is refused before it is read whole.
  static constexpr uint64_t dimensione_massima_comandi = 8 * 1024 * 1024;

  Principale(std::string cartella_eseguibile, std::unique_ptr<DriverEcr> driver,
             Operatore& operatore, GestoreErrori& errori, Ambiente& ambiente);
  ~Principale();
  Principale(const Principale&) = delete;
  Principale& operator=(const Principale&) = delete;

  Window Form;
  Label Label1;  // register status: "OK" or "Cod." and the number
  Label Label2;
  ListBox List2;    // the lines of the job, the one being sent selected
  Button Command1;  // "Configurazione"
  Button Command2;  // "Interrompi la stampa"
  Button Command3;  // "Chiudi Borvan Interface"
  Button Command4;  // "Riduci ad icona"
  Timer Timer1;     // poll tick
  Timer Timer2;     // time-out tick
  Timer Timer3;     // send tick
  // Ticks while register calls run, so that one that never returns does not trap the till.
  Timer guardia;
  // The command file's folder, watched beside the poll so that a job starts the moment its
  // file lands.
  Sorveglianza sorveglianza;
  DriverEcr& CoEcrCom1;

  // The seven configuration values, assigned only by leggi_config.
  Configurazione config;

  // A print job is in progress.
  bool stampa_in_corso() const { return stampa_in_corso_; }
  // A call to the register's driver is on the stack.
  bool chiamata_in_corso() const { return chiamate_in_corso_ > 0; }

  void chiudi_comunicazione(int32_t res, std::string desc_errore);
  void leggi_config();
  void scrivi_Result_file(int32_t coderrore, std::string subdesc_errore);
  bool apri_comunicazione_ecr();

  // A register call past this has stopped answering: the close and the end asked during it act
  // at once.
  static constexpr int64_t limite_chiamata_ms = 10000;

  // Ends the program, asked by the close question's Yes, the end of the session or a signal.
  // During a register call the end comes the moment the call returns, or once the job being
  // ended has ended; during a call past the limit, at once.
  void termina_programma();

  // False when another instance runs: this one is to end silently.
  bool Form_Load();
  void Command3_Click();
  void Command4_Click();
  void Command1_Click();
  void Command2_Click();
  void Timer1_Timer();
  void Timer2_Timer();
  void Timer3_Timer();
  // Something changed in the command file's folder, maybe the command file.
  void cartella_cambiata();
  void guardia_Timer();

 private:
  // An error that escaped an event handler, said in the log for support to see.
  void annota_errore_sfuggito(const std::string& descrizione);
  bool prendi_istanza();
  bool lavoro_attivo(uint64_t lavoro) const;
  void chiama_driver(int32_t membro, const std::function<void()>& chiamata);
  // The call in progress has passed the limit.
  bool chiamata_bloccata();
  bool chiudi_se_rimandato();
  void rispondi_rimandati();
  void carica_righe();
  void rifiuta_file_comandi(const std::string& motivo);
  bool tempo_scaduto();
  void abbandona_riga(uint64_t lavoro, const Trappola& passo);
  void recupera_lavoro_interrotto();
  void annota_avvertenze();
  std::optional<IdentitaFile> riportata(std::optional<IdentitaFile> identita,
                                        const std::string& percorso);
  bool forse_ancora(const std::string& percorso, const IdentitaFile& identita);
  void togli_file_comandi(const std::string& percorso, const IdentitaFile& identita);
  void sorveglia_file_comandi();
  void annota(const std::string& nota);

  std::string cartella_eseguibile_;
  std::unique_ptr<DriverEcr> driver_;
  Operatore& operatore_;
  GestoreErrori& errori_;
  Ambiente& ambiente_;
  Giornale giornale_;

  bool stampa_in_corso_ = false;

  // A job is being ended: ticks and clicks delivered meanwhile (during its message box, say)
  // must not act on it, nor start another one.
  bool chiusura_in_corso_ = false;
  // A send tick is running (its error dialog may be waiting for the operator).
  bool invio_in_corso_ = false;
  // Calls to the register's driver on the stack. A control may run the message loop while it
  // waits for the register: until its call returns, ticks and clicks only record what they
  // want, and the job's end and the program's end asked meanwhile come when it returns; no box
  // opens inside it, since its loop would freeze the control's wait. The close question and
  // "Configurazione" are answered once the handler that made the call is over.
  int chiamate_in_corso_ = 0;
  // The outermost call: its member (0 while the driver is being created), since when, and
  // whether the log has said that it passed the limit.
  int32_t membro_in_corso_ = 0;
  int64_t inizio_chiamata_ = 0;
  bool bloccata_annotata_ = false;
  bool domanda_rimandata_ = false;
  // The close question is open, asked with this many register calls under it.
  std::optional<int> domanda_aperta_;
  bool configurazione_rimandata_ = false;
  struct FineRimandata {
    int32_t codice;
    std::string descrizione;
  };
  std::optional<FineRimandata> fine_rimandata_;
  bool termine_rimandato_ = false;
  // Counts the jobs, so that a tick can tell whether its job ended while it waited.
  uint64_t lavoro_ = 0;
  // The command file of the job: taken by the poll, then from the handle it was read through.
  // The job's end deletes that file only; another one at the path is the next job.
  std::optional<IdentitaFile> file_del_lavoro_;
  // The command file taken by the poll, from then until it is read.
  std::optional<FileComandi> comandi_;
  int32_t righe_accettate_ = 0;
  // When the job's time runs out, on the monotonic clock.
  std::optional<int64_t> scadenza_;
  // The command file that could not be deleted after its job, or not proved to be its file, so
  // that it is not printed again; a changed or new file is a new job.
  std::optional<IdentitaFile> non_cancellato_;
  // The last note the log got about a command file left because it could not be proved to be
  // its job's: on a share without file IDs that is every job's, and it is said once.
  std::string incerto_annotato_;
  // The last note the log got about a folder that could not be watched: said once, not at
  // every reading of the configuration.
  std::string sorveglianza_mancata_;
};

}  // namespace borvan
