#pragma once
// Message boxes drawn by Qt: platform::MsgBox's sink for the running program.

namespace tk {

// Installs the sink that shows each message as a modal QMessageBox with the
// information or critical icon, one OK button and an empty title.
void InstallQtMessageBoxSink();

}  // namespace tk
