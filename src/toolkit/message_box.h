#pragma once
// Message boxes drawn by Qt: platform::MsgBox's sink for the running program.

namespace tk {

// Installs the sink that shows each message as a modal QMessageBox with the
// information or critical icon, one OK button and an empty title. The box
// fits the screen's available area: its text wraps (a word longer than a line
// breaks across lines), a text too long for the screen loses lines from its
// middle, shown as a line "…", and direction controls and line and paragraph
// separators are shown as their codes ("[U+202E]"). What the window system
// brought while the program was busy is delivered first, its clicks and keys
// dropped: a close asked for meanwhile takes effect, and when it closed the
// program's last window no box shows.
void InstallQtMessageBoxSink();

}  // namespace tk
