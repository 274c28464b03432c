#pragma once
// Message boxes drawn by Qt: platform::MsgBox's sink for the running program.

#include <QFont>
#include <QRect>
#include <QString>

namespace tk {

// Installs the sink that shows each message as a modal QMessageBox with the
// information or critical icon, one OK button and an empty title.
void InstallQtMessageBoxSink();

// The text a box shows on a screen area: the whole text when it fits,
// otherwise as much of its start as fits, ending in "…".
QString FitMessageText(const QString& text, const QFont& font, const QRect& available);

}  // namespace tk
