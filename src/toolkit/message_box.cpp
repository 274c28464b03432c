#include "toolkit/message_box.h"

#include <QApplication>
#include <QMessageBox>

#include "platform/message_box.h"
#include "toolkit/internal.h"

namespace tk {
namespace {

// The boxes have no title. Qt hands an empty title to the window manager as
// the program's name, so the box carries a lone blank, which shows nothing.
const QString kNoTitle = QStringLiteral(" ");

}  // namespace

void InstallQtMessageBoxSink() {
  platform::SetMsgBoxSink([](const std::string& text, platform::MsgBoxIcon icon) {
    QMessageBox box(
        icon == platform::MsgBoxIcon::kCritical ? QMessageBox::Critical : QMessageBox::Information,
        kNoTitle, Q(text), QMessageBox::Ok, QApplication::activeWindow());
    box.setWindowModality(Qt::ApplicationModal);
    box.exec();
  });
}

}  // namespace tk
