#include "errors/elabora_errore.h"

#include <gtest/gtest.h>

#include <vector>

#include "comune/operatore_finto.h"

namespace borvan {
namespace {

TEST(ElaboraErrore, MessaggioDiTreRigheEDecisioneDelDialogo) {
  test::OperatoreFinto operatore;
  ErroriComuni errori(operatore);
  int32_t linea = 0;

  operatore.risposte_errore = {4, 2, 2};
  EXPECT_EQ(errori.elabora_errore(ErroreRuntime(5, "x", "y"), linea), 4);
  EXPECT_EQ(operatore.testi_errore.back(),
            "Descrizione : x\r\nSource : y\r\nCodice errore : 5\r\n");
  EXPECT_EQ(errori.variabili().testo_errore, operatore.testi_errore.back());
  EXPECT_EQ(errori.elabora_errore(5, linea), 2);
  EXPECT_EQ(
      operatore.testi_errore.back(),
      "Descrizione : Chiamata di routine o argomento non validi\r\n\r\nCodice errore : 5\r\n");
  EXPECT_EQ(errori.elabora_errore(-3, linea), 2);
  EXPECT_EQ(operatore.testi_errore.back().substr(operatore.testi_errore.back().rfind("Codice")),
            "Codice errore : -3\r\n");
}

TEST(ElaboraErrore, ConteggioDegliErroriDiBlocco) {
  constexpr int32_t nessun_dialogo = -1;
  struct Passo {
    int32_t numero;
    int32_t risposta_dialogo;  // what the operator answers, or no dialog expected
    int16_t atteso;
  };
  const auto ripeti = [](int volte, Passo passo) { return std::vector<Passo>(volte, passo); };
  const auto unisci = [](std::vector<std::vector<Passo>> parti) {
    std::vector<Passo> tutti;
    for (auto& parte : parti) tutti.insert(tutti.end(), parte.begin(), parte.end());
    return tutti;
  };
  const std::vector<Passo> silenzio3050 = ripeti(11, {3050, nessun_dialogo, 4});
  const std::vector<std::vector<Passo>> sequenze = {
      // 11 silent retries, then the dialog on every further occurrence.
      unisci({silenzio3050, {{3050, 4, 4}, {3050, 4, 4}}}),
      // A different lock number starts the count again.
      unisci({silenzio3050,
              {{3045, nessun_dialogo, 4}},
              ripeti(10, {3045, nessun_dialogo, 4}),
              {{3045, 4, 4}}}),
      // The other groups neither reset nor advance the count.
      unisci({ripeti(5, {3050, nessun_dialogo, 4}),
              {{5, 2, 2}, {3218, nessun_dialogo, 4}, {3260, nessun_dialogo, 4}},
              ripeti(6, {3050, nessun_dialogo, 4}),
              {{3050, 4, 4}}}),
      // Immediate retries never count and never ask.
      ripeti(20, {3212, nessun_dialogo, 4}),
  };
  for (size_t s = 0; s < sequenze.size(); ++s) {
    test::OperatoreFinto operatore;
    ErroriComuni errori(operatore);
    for (size_t i = 0; i < sequenze[s].size(); ++i) {
      const Passo& p = sequenze[s][i];
      if (p.risposta_dialogo != nessun_dialogo)
        operatore.risposte_errore.push_back(p.risposta_dialogo);
      const size_t dialoghi = operatore.testi_errore.size();
      int32_t linea = 0;
      EXPECT_EQ(errori.elabora_errore(p.numero, linea), p.atteso) << s << "/" << i;
      EXPECT_EQ(operatore.testi_errore.size() - dialoghi,
                p.risposta_dialogo != nessun_dialogo ? 1u : 0u)
          << "sequence " << s << ", step " << i;
    }
    EXPECT_TRUE(operatore.prompt.empty());
  }
}

TEST(ElaboraErrore, RinunciaAUnBloccoSoloConLaParolaDiAccesso) {
  struct Caso {
    std::optional<std::string> digitato;
    int16_t atteso;
  };
  const Caso casi[] = {
      {"kwex", 2}, {"KWEX", 2}, {"Kwex", 2}, {" kwex", 4}, {"altro", 4}, {"", 4}, {std::nullopt, 4},
  };
  for (const auto& caso : casi) {
    test::OperatoreFinto operatore;
    ErroriComuni errori(operatore);
    int32_t linea = 0;
    for (int i = 0; i < 11; ++i) errori.elabora_errore(3261, linea);
    operatore.risposte_errore = {2};
    operatore.risposte_testo = {caso.digitato};
    EXPECT_EQ(errori.elabora_errore(3261, linea), caso.atteso) << caso.digitato.value_or("(nullo)");
    EXPECT_EQ(operatore.prompt,
              std::vector<std::string>{"Inserire la parola di accesso per ignorare l'update"});
  }
}

TEST(ElaboraErrore, PuntatorePredefinitoDuranteIlDialogoERipristinatoDopo) {
  test::OperatoreFinto operatore;
  ErroriComuni errori(operatore);
  int32_t linea = 0;
  operatore.stile_puntatore = puntatore_personalizzato;

  errori.elabora_errore(3218, linea);  // silent path
  EXPECT_EQ(operatore.puntatore(), puntatore_personalizzato);

  for (int i = 0; i < 12; ++i) errori.elabora_errore(3197, linea);  // dialog, then input box
  errori.elabora_errore(ErroreRuntime(57), linea);
  EXPECT_EQ(operatore.puntatori_durante_modale, (std::vector<int16_t>{0, 0, 0}));
  EXPECT_EQ(operatore.puntatore(), puntatore_personalizzato);
}

}  // namespace
}  // namespace borvan
