#pragma once
// The start-up parameters of section "parametry" of the settings file, turned
// into what the main window shows when it opens. No part of the program writes
// these keys, so they hold whatever a hand-edited file gives them.

#include <string>

namespace settings {

struct StartupParams {
  std::string Waga;   // a scale name; "" when none is stored
  std::string Ramka;  // a frame-type code, used only when Waga is ""
  int Mode = 0;       // index of the working-mode option, always 0, 1 or 2
  std::string Max;    // the text of the maximum box
};

// Reads "waga", "ramka", "mode" and "max" (each with the default "").
StartupParams ReadStartupParams(const std::string& file);

// The option of a stored working mode: the number at the start of the text
// when it lies from 0 to 2, otherwise 0.
int ModeOption(const std::string& stored);

// A stored maximum as the box shows it: the number at the start of the text,
// rounded, with at least six digits ("250" gives "000250"). A number beyond a
// double's range ("1e400") has no such form and shows as "000000".
std::string ShownMaximum(const std::string& stored);

}  // namespace settings
