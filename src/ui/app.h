#pragma once
// Starts the program: the application object, the toolkit's font
// substitutions and message-box sink, then the main window's load.

namespace ui {
int RunKonwerter(int argc, char** argv);
}
