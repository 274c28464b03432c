#include "toolkit/message_box.h"

#include <QApplication>
#include <QFontMetrics>
#include <QMessageBox>
#include <QScreen>
#include <algorithm>

#include "platform/message_box.h"
#include "toolkit/internal.h"

namespace tk {
namespace {

// The boxes have no title. Qt hands an empty title to the window manager as
// the program's name, so the box carries a lone blank, which shows nothing.
const QString kNoTitle = QStringLiteral(" ");

// What a box takes besides its text: title bar, margins and the button row.
constexpr int kBoxOverhead = 160;  // pixels

}  // namespace

QString FitMessageText(const QString& text, const QFont& font, const QRect& available) {
  const QFontMetrics metrics(font);
  // The box wraps its text at no less than this width, so a text that fits
  // at it fits the box however wide the box grows.
  const int width = std::max(100, std::min(available.width() / 2, 500));
  const int room = std::max(metrics.lineSpacing(), available.height() - kBoxOverhead);
  auto fits = [&](const QString& candidate) {
    return metrics
               .boundingRect(QRect(0, 0, width, 1 << 24),
                             Qt::TextWordWrap | Qt::TextWrapAnywhere | Qt::TextExpandTabs,
                             candidate)
               .height() <= room;
  };
  if (fits(text)) return text;
  const QString ellipsis = QString::fromUtf8("…");
  qsizetype shown = 0, too_long = text.size();  // shown fits; too_long does not
  while (too_long - shown > 1) {
    const qsizetype mid = shown + (too_long - shown) / 2;
    if (fits(text.left(mid) + ellipsis)) {
      shown = mid;
    } else {
      too_long = mid;
    }
  }
  if (shown > 0 && text.at(shown - 1).isHighSurrogate()) --shown;
  return text.left(shown) + ellipsis;
}

void InstallQtMessageBoxSink() {
  platform::SetMsgBoxSink([](const std::string& text, platform::MsgBoxIcon icon) {
    QMessageBox box(
        icon == platform::MsgBoxIcon::kCritical ? QMessageBox::Critical : QMessageBox::Information,
        kNoTitle, Q(text), QMessageBox::Ok, QApplication::activeWindow());
    // A converter's reply is shown as it came, never read as markup; a long
    // one is cut to what the screen holds, so that OK stays in reach.
    box.setTextFormat(Qt::PlainText);
    QScreen* screen = box.screen() ? box.screen() : QGuiApplication::primaryScreen();
    if (screen) box.setText(FitMessageText(Q(text), box.font(), screen->availableGeometry()));
    box.setWindowModality(Qt::ApplicationModal);
    box.exec();
  });
}

}  // namespace tk
