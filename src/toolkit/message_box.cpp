#include "toolkit/message_box.h"

#include <QApplication>
#include <QMessageBox>

#include "platform/message_box.h"
#include "toolkit/internal.h"

namespace tk {

void InstallQtMessageBoxSink() {
  platform::SetMsgBoxSink([](const std::string& text, platform::MsgBoxIcon icon) {
    QMessageBox box(
        icon == platform::MsgBoxIcon::kCritical ? QMessageBox::Critical : QMessageBox::Information,
        QString(), Q(text), QMessageBox::Ok, QApplication::activeWindow());
    box.setWindowModality(Qt::ApplicationModal);
    box.exec();
  });
}

}  // namespace tk
