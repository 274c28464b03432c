#pragma once
// The main window's entries of a fresh language file, in the order in which
// the walk first reaches a control of each key, with the design text then
// written. The language service's tests build a stand-in window that must
// give them; the window's start-up tests check the real one gives the same.

#include <string>
#include <utility>
#include <vector>

namespace testing_support {

inline const std::vector<std::pair<std::string, std::string>>& MainWindowEntries() {
  static const std::vector<std::pair<std::string, std::string>> entries = {
      {"param_wagi", "PARAMETRY WAGI"},
      {"odbierz", ""},
      {"ustaw", ""},
      {"max_wagi", "Max wagi"},
      {"wagi_zgodne", "Wzagi zgodne"},
      {"typ_ramki", "Typ ramki"},
      {"text", "Dane tekstowe"},
      {"value", "Dane numeryczne"},
      {"hot key", ""},
      {"dot", "Zmiana \".\" >> \",\""},
      {"LF", "Usuń \"LF\""},
      {"CR", "Usuń \"CR\"  "},
      {"block", "RAMKA"},
      {"wersja", ""},
      {"tryb_pracy", "TRYB PRACY"},
      {"opModPracy0", "- max[4mA] >> 0[12mA] << + max[20mA]"},
      {"opModPracy1", "- max[20mA] >> 0[4mA] << + max[20mA]"},
      {"opModPracy2", "- max[4mA] >> 0[4mA] << + max[20mA]"},
      {"pokaz_wykres", ""},
      {"print", "Nasłuch ciągły"},
      {"transmition", "TRANSMISJA"},
      {"set", "Zastosuj"},
      {"cancel", "Anuluj"},
      {"clr", "CLR"},
      {"conect", "POŁĄCZENIE"},
      {"speed", "prędkość transmisji"},
      {"bits data", "bity danych"},
      {"bits stop", "bity stopu"},
      {"parity", "parzystość"},
      {"comm", "numer portu"},
      {"odczytPlik", ""},
      {"zapiszPlik", ""},
      {"start", ""},
      {"end", "Zamknij"},
      {"cntkonwerter", "Konwerter"},
      {"cntPlik", "Plik"},
      {"CONFIG", "Konfiguracja"},
      {"logoHandel", "Dział handlowy: tel. (00) 000 00 00"},
      {"logoTel", "tel. (00) 000 00 00, faks (00) 000 00 01"},
      {"logo3", ""},
      {"logo2", ""},
      {"logo1", ""},
      {"help", "Help"},
      {"wait", "Czekaj transmisja"},
  };
  return entries;
}

}  // namespace testing_support
