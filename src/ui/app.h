#pragma once
// Starts the program: the application object, the toolkit's font
// substitutions and message-box sink, then the main window's load.

#include <functional>

namespace ui {

int RunKonwerter(int argc, char** argv);

// Runs the start and the event loop. An error that escapes them never aborts
// the process: it is shown in a critical message box and the status is 1.
int RunGuarded(const std::function<int()>& run);

}  // namespace ui
