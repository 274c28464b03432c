#include "toolkit/message_box.h"

#include <QApplication>
#include <QFontMetrics>
#include <QLabel>
#include <QMessageBox>
#include <QScreen>
#include <QStringList>
#include <QTextLayout>
#include <QThread>
#include <algorithm>

#include "platform/message_box.h"
#include "toolkit/internal.h"

namespace tk {
namespace {

// The boxes have no title. Qt hands an empty title to the window manager as
// the program's name, so the box carries a lone blank, which shows nothing.
const QString kNoTitle = QStringLiteral(" ");

// Room left for the window frame where the frame is not known yet: as much
// as Qt allows for it when it places a dialog (a title bar and borders).
constexpr int kFrameHeight = 40;  // pixels
constexpr int kFrameWidth = 10;   // pixels

// Shown as their codes: the direction controls (a right-to-left override in
// a folder name would reorder what follows) and the line and paragraph
// separators (a line break where the name has none).
bool ShownAsCode(char16_t c) {
  return (c >= 0x2028 && c <= 0x202E) || (c >= 0x2066 && c <= 0x2069) || c == 0x200E ||
         c == 0x200F || c == 0x061C;
}

// The text as the box shows it. A path or a reply is shown as its characters
// stand: the characters above as their codes, "[U+202E]". CR LF, CR and LF
// each end a line, as the box's label takes them; the lines are measured as
// LF-separated below.
QString ShownText(const QString& text) {
  QString shown;
  shown.reserve(text.size());
  for (qsizetype i = 0; i < text.size(); ++i) {
    const QChar ch = text.at(i);
    if (ShownAsCode(ch.unicode())) {
      shown += QString::asprintf("[U+%04X]", static_cast<unsigned>(ch.unicode()));
    } else if (ch == QLatin1Char('\r')) {
      if (i + 1 < text.size() && text.at(i + 1) == QLatin1Char('\n')) ++i;
      shown += QLatin1Char('\n');
    } else {
      shown += ch;
    }
  }
  return shown;
}

// `text` as lines of at most `width` pixels in `font`, `max_lines` of them at
// most: lines break at blanks, and inside a word only where the word alone is
// wider than a line; the text's own line breaks stay. A text with more lines
// loses lines from its middle, where a line "…" shows the cut: a message's
// first words and its closing sentence stay, and a reply's start and end.
QString WrapAndCut(const QString& text, const QFont& font, int width, int max_lines) {
  QTextOption option;
  option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
  QStringList lines;
  for (const QString& paragraph : text.split(QLatin1Char('\n'))) {
    if (paragraph.isEmpty()) {
      lines << paragraph;
      continue;
    }
    QTextLayout layout(paragraph, font);
    layout.setTextOption(option);
    layout.beginLayout();
    for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
      line.setLineWidth(width);
      QString part = paragraph.mid(line.textStart(), line.textLength());
      // The blank a line breaks at is not shown.
      if (line.textStart() + line.textLength() < paragraph.size()) {
        while (part.endsWith(QLatin1Char(' '))) part.chop(1);
      }
      lines << part;
    }
    layout.endLayout();
  }
  if (lines.size() > max_lines) {
    const qsizetype tail = (max_lines - 1) / 2;
    const qsizetype head = max_lines - 1 - tail;
    lines = lines.mid(0, head) << QString::fromUtf8("…") << lines.mid(lines.size() - tail);
  }
  return lines.join(QLatin1Char('\n'));
}

// The width the label gives its text: its contents less its margin on both
// sides and its indent on the side it aligns to.
int TextWidth(const QLabel& label) {
  return label.contentsRect().width() - 2 * label.margin() - std::max(0, label.indent());
}

// A message box that fits its text to the screen it opens on before it is
// placed: the text is laid out against the label the box shows it in, as wide
// as Qt makes that label, and cut to as many lines as leave OK on the screen.
class FittedMessageBox : public QMessageBox {
 public:
  FittedMessageBox(Icon icon, const QString& text, QWidget* parent)
      : QMessageBox(icon, kNoTitle, QString(), QMessageBox::Ok, parent), text_(ShownText(text)) {
    // A dialog of its window: a title and a close button, nothing to
    // minimise or maximise.
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
    // A converter's reply is shown as it came, never read as markup.
    setTextFormat(Qt::PlainText);
    setText(text_);
  }

 protected:
  void showEvent(QShowEvent* event) override {
    Fit();
    QMessageBox::showEvent(event);  // sizes the box for the fitted text and places it
    KeepOnScreen();
  }

 private:
  QLabel* TextLabel() const {
    for (QLabel* label : findChildren<QLabel*>()) {
      if (label->pixmap().isNull() && label->text() == text()) return label;
    }
    return nullptr;
  }

  // What the window frame adds, as the parent's frame shows it.
  QSize FrameSize() const {
    QSize frame(kFrameWidth, kFrameHeight);
    if (const QWidget* parent = parentWidget()) {
      const QWidget* window = parent->window();
      frame = frame.expandedTo(window->frameGeometry().size() - window->geometry().size());
    }
    return frame;
  }

  // Runs while the box is being shown, so that each text set resizes the box
  // as Qt will show it.
  void Fit() {
    const QRect area = screen()->availableGeometry();
    const QSize frame = FrameSize();
    setText(text_);  // Qt sizes the box for the whole text
    QLabel* label = TextLabel();
    if (!label) return;
    const bool fits = height() + frame.height() <= area.height();
    if (!label->wordWrap() && fits) return;  // shown whole, no line wrapped
    if (label->wordWrap()) {
      // The text wraps: it gets the width Qt gives a long text of short
      // words, so that one long word does not widen the box to the screen.
      setText(QStringLiteral("x ").repeated(area.width()));
      label = TextLabel();
      if (!label) return;
    }
    const QFontMetrics metrics(label->font());
    int width = TextWidth(*label);
    int lines = std::max(
        1, (area.height() - frame.height() - (height() - label->height())) / metrics.lineSpacing());
    // Qt's label measures a line a pixel or two differently from the layout
    // above: narrow the lines or drop one until the box shows them as given.
    for (int round = 0; round < 8; ++round) {
      setText(WrapAndCut(text_, label->font(), width, lines));
      label = TextLabel();
      if (!label) return;
      if (label->wordWrap()) {
        width -= std::max(1, metrics.averageCharWidth());
      } else if (height() + frame.height() > area.height() && lines > 1) {
        const int over = height() + frame.height() - area.height();
        lines = std::max(1, lines - (over + metrics.lineSpacing() - 1) / metrics.lineSpacing());
      } else {
        return;
      }
    }
  }

  // The frame, and with it OK, inside the screen's available area.
  void KeepOnScreen() {
    const QRect area = screen()->availableGeometry();
    const QSize frame = FrameSize();
    QPoint at = pos();
    at.setX(std::max(area.left(), std::min(at.x(), area.right() + 1 - width() - frame.width())));
    at.setY(std::max(area.top(), std::min(at.y(), area.bottom() + 1 - height() - frame.height())));
    if (at != pos()) move(at);
  }

  QString text_;
};

// Drops the clicks and keys given to the program's windows, as a modal box
// drops those given to the windows it blocks; only in the event loop it is
// made in, so that a box shown meanwhile hears its own.
class InputDrop : public QObject {
 public:
  InputDrop() { QCoreApplication::instance()->installEventFilter(this); }

 protected:
  bool eventFilter(QObject*, QEvent* event) override {
    return (event->isInputEvent() || event->type() == QEvent::Shortcut) &&
           thread()->loopLevel() == level_;
  }

 private:
  const int level_ = QThread::currentThread()->loopLevel();
};

// The box belongs to the window that shows it: centred on it, kept above it,
// with no task-bar entry of its own. That window may have lost the
// activation while an exchange kept the program busy.
QWidget* BoxOwner() {
  QWidget* active = QApplication::activeWindow();
  return active ? active : LastActiveFormWindow();
}

}  // namespace

void InstallQtMessageBoxSink() {
  platform::SetMsgBoxSink([](const std::string& text, platform::MsgBoxIcon icon) {
    const bool over_a_window = BoxOwner() != nullptr;
    // What the window system brought while the program was busy (an exchange
    // blocks the event loop) is delivered before the box blocks its window,
    // which would drop it: so a close asked for then takes effect, while the
    // clicks and keys given to the busy window are dropped, as the box drops
    // them.
    {
      InputDrop drop;
      QCoreApplication::processEvents();
    }
    QWidget* owner = BoxOwner();
    if (over_a_window && !owner) return;  // the user closed the program meanwhile
    FittedMessageBox box(
        icon == platform::MsgBoxIcon::kCritical ? QMessageBox::Critical : QMessageBox::Information,
        Q(text), owner);
    box.setWindowModality(Qt::ApplicationModal);
    box.exec();
  });
}

}  // namespace tk
