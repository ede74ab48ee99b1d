#pragma once

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>

namespace borvan::test {

// A fresh folder, removed with its content at the end: under BORVAN_CARTELLA_PROVE where the run
// names one (a disk of another file system), otherwise under the system's temporary directory.
class CartellaTemporanea {
 public:
  CartellaTemporanea() {
    std::random_device caso;
    const char* base = std::getenv("BORVAN_CARTELLA_PROVE");
    percorso_ = (base != nullptr && *base != '\0' ? std::filesystem::path(base)
                                                  : std::filesystem::temp_directory_path()) /
                ("borvan-test-" + std::to_string(caso()) + std::to_string(caso()));
    std::filesystem::create_directories(percorso_);
  }
  ~CartellaTemporanea() {
    std::error_code ignora;
    std::filesystem::remove_all(percorso_, ignora);
  }

  // The folder with a trailing "/", as the program keeps its application directory.
  std::string cartella() const { return percorso_.string() + "/"; }
  std::string percorso(const std::string& nome) const { return (percorso_ / nome).string(); }
  void scrivi(const std::string& nome, const std::string& contenuto) const {
    std::ofstream(percorso_ / nome, std::ios::binary | std::ios::trunc) << contenuto;
  }
  std::string leggi(const std::string& nome) const {
    std::ifstream file(percorso_ / nome, std::ios::binary);
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
  }
  bool esiste(const std::string& nome) const { return std::filesystem::exists(percorso_ / nome); }
  // How many lines the file holds (its LF count: a roll's, a log's lines end in CR LF).
  size_t conta_righe(const std::string& nome) const {
    const std::string testo = leggi(nome);
    return static_cast<size_t>(std::count(testo.begin(), testo.end(), '\n'));
  }

 private:
  std::filesystem::path percorso_;
};

}  // namespace borvan::test
