// Windows: showing, modal showing, unloading, frame and size, menus,
// cancel buttons, message boxes.
#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QTest>
#include <QThread>
#include <QTimer>
#include <QWindow>
#include <functional>

#include "platform/message_box.h"
#include "toolkit/description.h"
#include "toolkit/message_box.h"

namespace tk {
namespace {

const char kMain[] = R"(Begin Form KEY
  Caption = "Main"
  BorderStyle = 1
  ClientWidth = 7310
  ClientHeight = 4625
  MaxButton = False
  Begin CommandButton cmdZamknij
    Caption = "Zamknij"
    Left = 60
    Top = 60
    Width = 1200
    Height = 375
  End
  Begin Menu mnuTray
    Caption = "Tray"
    Visible = False
    Begin Menu mnuVisible
      Caption = "Pokaż okno"
    End
    Begin Menu mnuClose
      Caption = "Zamknij"
    End
  End
End
)";

const char kChart[] = R"(Begin Form frmWykresy
  Caption = "Form1"
  Tag = "wykresy"
  BorderStyle = 0
  ClientWidth = 7680
  ClientHeight = 4860
  StartUpPosition = 2
  Begin Label Label1
    Caption = "Zamknij to okno"
    Tag = "zamknij_okno"
    Left = 4815
    Top = 75
    Width = 2820
    Height = 360
    BackStyle = 0
    MousePointer = 99
    MouseIcon = "hand"
  End
  Begin Image Image1
    Stretch = True
    Left = 75
    Top = 75
    Width = 7545
    Height = 4725
  End
End
)";

const char kSplash[] = R"(Begin Form LOGO
  Caption = "TORMEX"
  ClientWidth = 4590
  ClientHeight = 4170
  StartUpPosition = 2
  Begin CommandButton Command1
    Caption = "&Dalej"
    Left = 3240
    Top = 2040
    Width = 1095
    Height = 375
    TabIndex = 0
  End
  Begin CommandButton cmdAnuluj
    Caption = "Anuluj"
    Cancel = True
    Left = 120
    Top = 2040
    Width = 1095
    Height = 375
    TabIndex = 1
  End
  Begin TextBox Text1
    Left = 120
    Top = 120
    Width = 1095
    Height = 375
    TabIndex = 2
  End
End
)";

TEST(FormTest, ModalShowReturnsWhenTheWindowUnloadsAndBlocksTheMainWindow) {
  auto main = LoadForm(kMain, "key.frm");
  auto chart = LoadForm(kChart, "wykresy.frm");
  main->Show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(main->widget()));
  int main_clicks = 0;
  main->Get("cmdZamknij").Click = [&] { ++main_clicks; };
  bool was_modal = false;
  bool unloaded = false;
  chart->Unloaded = [&](int16_t&) { unloaded = true; };
  chart->Get("Label1").Click = [&] { chart->Unload(); };
  // A click that comes through the window system, as the user's would.
  auto click_close = [&] {
    QWidget* button = main->Get("cmdZamknij").widget();
    QTest::mouseClick(main->widget()->windowHandle(), Qt::LeftButton, Qt::NoModifier,
                      button->mapTo(main->widget(), button->rect().center()));
    QApplication::processEvents();
  };
  QTimer::singleShot(50, [&] {
    was_modal = QApplication::activeModalWidget() == chart->widget();
    // The main window receives no input meanwhile.
    click_close();
    QTest::mouseClick(chart->Get("Label1").widget(), Qt::LeftButton, Qt::NoModifier, QPoint(5, 5));
  });
  chart->ShowModal();
  EXPECT_TRUE(was_modal);
  EXPECT_TRUE(unloaded);
  EXPECT_FALSE(chart->Loaded());
  EXPECT_FALSE(chart->widget()->isVisible());
  EXPECT_EQ(main_clicks, 0);
  click_close();
  EXPECT_EQ(main_clicks, 1);  // usable again
  // A second opening works the same way; Hide ends it too.
  QTimer::singleShot(20, [&] { chart->Hide(); });
  chart->ShowModal();
  EXPECT_TRUE(chart->Loaded());
}

TEST(FormTest, AWindowDestroyedWhileShownModalEndsTheModalShow) {
  auto chart = LoadForm(kChart, "wykresy.frm");
  Form* raw = chart.get();
  bool shown_modal = false;
  QTimer::singleShot(20, [&] {
    shown_modal = chart->IsModal() && chart->widget()->isVisible();
    chart.reset();
  });
  // Should the destruction leave the modal loop running, this ends it (and
  // every other loop) so that the test fails instead of hanging.
  bool stuck = false;
  QTimer watchdog;
  watchdog.setSingleShot(true);
  QObject::connect(&watchdog, &QTimer::timeout, [&] {
    stuck = true;
    QCoreApplication::exit(1);
  });
  watchdog.start(5000);
  raw->ShowModal();  // returns without touching the destroyed window
  watchdog.stop();
  EXPECT_TRUE(shown_modal);
  EXPECT_EQ(chart, nullptr);
  EXPECT_FALSE(stuck);
  EXPECT_EQ(QThread::currentThread()->loopLevel(), 0);
}

TEST(FormTest, DestroyingAWindowRunsNoHandlerOnIt) {
  const char text[] = R"(Begin Form F
  Begin PictureBox Page
    Width = 1500
    Height = 900
    Begin TextBox Text1
      Width = 900
      Height = 300
    End
  End
  Begin PictureBox Smietnik
    Width = 1500
    Height = 900
  End
End
)";
  auto form = LoadForm(text, "f.frm");
  form->Show();
  ASSERT_TRUE(QTest::qWaitForWindowActive(form->widget()));
  // The page lies in a container that comes after it in control order, so
  // it goes down with that container's widget.
  form->Get("Page").SetContainer(&form->Get("Smietnik"));
  auto& text_box = form->Get("Text1");
  text_box.SetFocus();
  ASSERT_TRUE(text_box.HasFocus());
  int lost = 0;
  Form* raw = form.get();
  text_box.LostFocus = [&] {
    ++lost;
    raw->Find("Page");
  };
  text_box.Change = [&] { raw->Find("Page"); };
  form.reset();
  EXPECT_EQ(lost, 0);
}

TEST(FormTest, CloseButtonGoesThroughQueryUnloadThenUnload) {
  auto main = LoadForm(kMain, "key.frm");
  main->Show();
  std::vector<std::string> calls;
  main->QueryUnload = [&](int16_t& cancel, int16_t& mode) {
    calls.push_back("QueryUnload " + std::to_string(mode));
    // The main window unloads itself from here: that is the same request.
    main->Unload();
    (void)cancel;
  };
  main->Unloaded = [&](int16_t&) { calls.push_back("Unload"); };
  main->widget()->close();
  EXPECT_EQ(calls, std::vector<std::string>({"QueryUnload 0", "Unload"}));
  EXPECT_FALSE(main->Loaded());
  EXPECT_FALSE(main->widget()->isVisible());
  main->Unload();  // already unloaded: nothing more
  EXPECT_EQ(calls.size(), 2u);
  main->Show();
  calls.clear();
  main->Unload();
  EXPECT_EQ(calls, std::vector<std::string>({"QueryUnload 1", "Unload"}));
}

TEST(FormTest, ACancelledUnloadKeepsTheWindow) {
  auto main = LoadForm(kMain, "key.frm");
  main->Show();
  main->QueryUnload = [](int16_t& cancel, int16_t&) { cancel = 1; };
  main->widget()->close();
  EXPECT_TRUE(main->Loaded());
  EXPECT_TRUE(main->widget()->isVisible());
}

TEST(FormTest, OuterSizeCountsTheFrame) {
  auto main = LoadForm(kMain, "key.frm");
  // Offscreen the window system tells no frame: the estimate holds.
  main->SetOuterSize(7400, 5000);
  EXPECT_EQ(main->ScaleWidth(), 7310);
  EXPECT_EQ(main->ScaleHeight(), 4625);
  EXPECT_EQ(main->Width(), 7400);
  EXPECT_EQ(main->Height(), 5000);
  EXPECT_EQ(main->widget()->size(), QSize(487, 308));
  // A window without a border is all client area.
  auto chart = LoadForm(kChart, "wykresy.frm");
  chart->SetOuterSize(7680, 4860);
  EXPECT_EQ(chart->ScaleWidth(), 7680);
  EXPECT_EQ(chart->Width(), 7680);
  EXPECT_EQ(chart->ScaleHeight(), 4860);
}

TEST(FormTest, BorderAndButtons) {
  auto main = LoadForm(kMain, "key.frm");
  QWidget* w = main->widget();
  // Fixed single: the user cannot resize it; no maximise button.
  EXPECT_EQ(w->minimumSize(), w->maximumSize());
  EXPECT_TRUE(w->windowFlags() & Qt::WindowMinimizeButtonHint);
  EXPECT_FALSE(w->windowFlags() & Qt::WindowMaximizeButtonHint);
  EXPECT_TRUE(w->windowFlags() & Qt::WindowCloseButtonHint);
  auto chart = LoadForm(kChart, "wykresy.frm");
  EXPECT_TRUE(chart->widget()->windowFlags() & Qt::FramelessWindowHint);
  auto splash = LoadForm(kSplash, "logo.frm");  // sizable by default
  EXPECT_NE(splash->widget()->minimumSize(), splash->widget()->maximumSize());
  EXPECT_TRUE(splash->widget()->windowFlags() & Qt::WindowMaximizeButtonHint);
}

TEST(FormTest, CentredWhenShown) {
  auto chart = LoadForm(kChart, "wykresy.frm");
  chart->Show();
  const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
  const QRect frame = chart->widget()->frameGeometry();
  EXPECT_LE(std::abs(frame.center().x() - screen.center().x()), 1);
  EXPECT_LE(std::abs(frame.center().y() - screen.center().y()), 1);
  EXPECT_EQ(chart->Left(), PixelsToTwips(frame.x()));
}

TEST(FormTest, AHiddenTopLevelMenuShowsNoMenuBar) {
  auto main = LoadForm(kMain, "key.frm");
  main->Show();
  // Nothing to show: no menu bar is even built.
  EXPECT_EQ(main->widget()->findChild<QMenuBar*>(), nullptr);
  EXPECT_EQ(main->ClientWidget()->y(), 0);
  auto& tray = main->Get<Menu>("mnuTray");
  EXPECT_EQ(main->Get("mnuVisible").Container(), &tray);
  EXPECT_EQ(main->Get("mnuVisible").Caption(), "Pokaż okno");
  int clicks = 0;
  main->Get("mnuClose").Click = [&] { ++clicks; };
  main->Get<Menu>("mnuClose").action()->trigger();
  EXPECT_EQ(clicks, 1);
  // Shown, the bar takes room above the client area, which keeps its size.
  tray.SetVisible(true);
  auto* bar = main->widget()->findChild<QMenuBar*>();
  ASSERT_NE(bar, nullptr);
  EXPECT_TRUE(bar->isVisible());
  EXPECT_EQ(bar->actions().front(), tray.action());
  EXPECT_GT(main->ClientWidget()->y(), 0);
  EXPECT_EQ(main->ScaleHeight(), 4625);
}

TEST(FormTest, EscClicksTheCancelButtonAndEnterOnlyTheFocusedOne) {
  auto splash = LoadForm(kSplash, "logo.frm");
  splash->Show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(splash->widget()));
  std::vector<std::string> clicks;
  splash->Get("Command1").Click = [&] { clicks.push_back("Dalej"); };
  splash->Get("cmdAnuluj").Click = [&] { clicks.push_back("Anuluj"); };
  auto& text = splash->Get("Text1");
  text.SetFocus();
  QTest::keyClick(text.widget(), Qt::Key_Return);
  QTest::keyClick(text.widget(), Qt::Key_Escape);
  EXPECT_EQ(clicks, std::vector<std::string>({"Anuluj"}));
  // The access key.
  QTest::keyClick(splash->widget(), Qt::Key_D, Qt::AltModifier);
  EXPECT_TRUE(QTest::qWaitFor([&] { return clicks.size() == 2; }, 1000));
  EXPECT_EQ(clicks.back(), "Dalej");
  // Enter on a focused button clicks that one.
  splash->Get("cmdAnuluj").SetFocus();
  QTest::keyClick(splash->Get("cmdAnuluj").widget(), Qt::Key_Return);
  EXPECT_EQ(clicks.back(), "Anuluj");
}

TEST(FormTest, TheWindowDoesNotHearTheKeysOfItsControls) {
  auto splash = LoadForm(kSplash, "logo.frm");
  splash->Show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(splash->widget()));
  auto& text = splash->Get<TextBox>("Text1");
  std::vector<std::string> heard;
  splash->KeyDown = [&](int16_t& code, int16_t&) {
    heard.push_back("form " + std::to_string(code));
  };
  text.KeyDown = [&](int16_t& code, int16_t&) { heard.push_back("text " + std::to_string(code)); };
  text.SetFocus();
  QTest::keyClick(text.widget(), Qt::Key_A);
  QTest::keyClick(text.widget(), Qt::Key_Escape);
  EXPECT_EQ(heard, std::vector<std::string>({"text 65", "text 27"}));
}

TEST(FormTest, FirstTabStopHasTheFocusWhenShown) {
  auto splash = LoadForm(kSplash, "logo.frm");
  splash->Show();
  ASSERT_TRUE(QTest::qWaitForWindowActive(splash->widget()));
  EXPECT_EQ(splash->ActiveControl(), &splash->Get("Command1"));
  splash.reset();
  // Out of view, the first stop takes neither the focus nor its access key;
  // the window keeps the focus, so that no key operates a control, and the
  // first Tab goes to the first stop in view.
  splash = LoadForm(kSplash, "logo.frm");
  std::vector<std::string> clicks;
  splash->Get("Command1").Click = [&] { clicks.push_back("Dalej"); };
  splash->Get("cmdAnuluj").Click = [&] { clicks.push_back("Anuluj"); };
  splash->Get("Command1").SetTop(4170);
  splash->Show();
  ASSERT_TRUE(QTest::qWaitForWindowActive(splash->widget()));
  EXPECT_EQ(splash->ActiveControl(), nullptr);
  for (Qt::Key key : {Qt::Key_Space, Qt::Key_Return}) QTest::keyClick(splash->widget(), key);
  QTest::keyClick(splash->widget(), Qt::Key_D, Qt::AltModifier);
  // The key would press the button at once, and click it a moment later.
  EXPECT_FALSE(static_cast<QPushButton*>(splash->Get("Command1").widget())->isDown());
  EXPECT_TRUE(clicks.empty());
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
  EXPECT_EQ(splash->ActiveControl(), &splash->Get("cmdAnuluj"));
}

TEST(FormTest, PointingHandOverTheChartLabel) {
  auto chart = LoadForm(kChart, "wykresy.frm");
  EXPECT_EQ(chart->Get("Label1").widget()->cursor().shape(), Qt::PointingHandCursor);
  EXPECT_EQ(chart->Get("Image1").widget()->cursor().shape(), Qt::ArrowCursor);
}

TEST(MessageBoxTest, TestsRecordTheBoxes) {
  std::vector<std::pair<std::string, platform::MsgBoxIcon>> boxes;
  auto old = platform::SetMsgBoxSink(
      [&](const std::string& text, platform::MsgBoxIcon icon) { boxes.emplace_back(text, icon); });
  platform::MsgBox("Błąd zapisu");
  platform::MsgBox("Port zajęty", platform::MsgBoxIcon::kCritical);
  platform::SetMsgBoxSink(old);
  ASSERT_EQ(boxes.size(), 2u);
  EXPECT_EQ(boxes[0].first, "Błąd zapisu");
  EXPECT_EQ(boxes[0].second, platform::MsgBoxIcon::kInformation);
  EXPECT_EQ(boxes[1].second, platform::MsgBoxIcon::kCritical);
}

// Runs `look` on the message box from inside its event loop, once it shows
// (what the window system brought meanwhile is delivered first), then
// presses its OK.
void WhenTheBoxShows(const std::function<void(QMessageBox*)>& look) {
  auto* watch = new QTimer;
  QObject::connect(watch, &QTimer::timeout, [watch, look] {
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    if (!box) return;
    watch->deleteLater();
    watch->stop();
    look(box);
    box->button(QMessageBox::Ok)->click();
  });
  watch->start(0);
}

TEST(MessageBoxTest, TheQtBoxHasOneOkButtonAndAnEmptyTitle) {
  InstallQtMessageBoxSink();
  QString text, title;
  QMessageBox::Icon icon = QMessageBox::NoIcon;
  int buttons = 0;
  WhenTheBoxShows([&](QMessageBox* box) {
    text = box->text();
    title = box->windowHandle() ? box->windowHandle()->title() : QStringLiteral("no window");
    icon = box->icon();
    buttons = static_cast<int>(box->buttons().size());
  });
  platform::MsgBox("Błąd zapisu", platform::MsgBoxIcon::kCritical);
  EXPECT_EQ(text, QString::fromUtf8("Błąd zapisu"));
  // The title bar shows nothing: the platform would show the program's name
  // for an empty title.
  const QString shown = title.isEmpty() ? QCoreApplication::applicationName() : title;
  EXPECT_TRUE(shown.trimmed().isEmpty()) << shown.toStdString();
  EXPECT_EQ(icon, QMessageBox::Critical);
  EXPECT_EQ(buttons, 1);
  platform::SetMsgBoxSink(nullptr);
}

TEST(MessageBoxTest, TheBoxIsADialogOfTheWindowThatShowsIt) {
  InstallQtMessageBoxSink();
  auto main = LoadForm(kMain, "key.frm");
  main->Show();
  ASSERT_TRUE(QTest::qWaitForWindowActive(main->widget()));
  // The user went to another program while the window waited for a reply.
  QApplication::setActiveWindow(nullptr);
  Qt::WindowFlags flags;
  const QWindow* transient_parent = nullptr;
  WhenTheBoxShows([&](QMessageBox* box) {
    flags = box->windowFlags();
    transient_parent = box->windowHandle()->transientParent();
  });
  platform::MsgBox("Przekroczony czas oczekiwania!");
  EXPECT_EQ(flags & Qt::WindowType_Mask, Qt::Dialog);
  EXPECT_FALSE(flags & (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint));
  EXPECT_EQ(transient_parent, main->widget()->windowHandle());
  platform::SetMsgBoxSink(nullptr);
}

// A timer's tick shows a box while another box is on its way: its user's
// keys reach it.
TEST(MessageBoxTest, ABoxShownBeforeAnotherHearsItsKeys) {
  InstallQtMessageBoxSink();
  std::vector<std::string> closed_by_enter;
  const auto press_enter = [&](QMessageBox* box) {
    QTest::keyClick(box, Qt::Key_Return);
    if (!box->isVisible()) closed_by_enter.push_back(box->text().toStdString());
  };
  QTimer::singleShot(0, [&] {
    WhenTheBoxShows(press_enter);
    platform::MsgBox("Nieoczekiwany błąd");
    WhenTheBoxShows(press_enter);
  });
  platform::MsgBox("Przekroczony czas oczekiwania!");
  EXPECT_EQ(closed_by_enter,
            (std::vector<std::string>{"Nieoczekiwany błąd", "Przekroczony czas oczekiwania!"}));
  platform::SetMsgBoxSink(nullptr);
}

// What the user sees of a box the running program shows.
struct ShownBox {
  QString text;
  QRect frame, ok, area;
  bool lines_clipped = false;
};

ShownBox ShowQtBox(const std::string& text) {
  ShownBox shown;
  WhenTheBoxShows([&](QMessageBox* box) {
    shown.text = box->text();
    shown.frame = box->frameGeometry();
    shown.area = box->screen()->availableGeometry();
    QAbstractButton* ok = box->button(QMessageBox::Ok);
    shown.ok = QRect(ok->mapToGlobal(QPoint(0, 0)), ok->size());
    for (QLabel* label : box->findChildren<QLabel*>()) {
      if (label->text() != shown.text) continue;
      for (const QString& line : shown.text.split(QLatin1Char('\n'))) {
        if (label->fontMetrics().horizontalAdvance(line) > label->contentsRect().width()) {
          shown.lines_clipped = true;
        }
      }
    }
  });
  platform::MsgBox(text);
  return shown;
}

// Run on the default screen and, from the build's test list, on 1024 x 768
// and 1280 x 1024 screens.
TEST(MessageBoxTest, ALongTextFitsTheScreenWithOkInReach) {
  InstallQtMessageBoxSink();
  std::string lines, words;
  while (lines.size() < 65536) lines += "<b>linia " + std::to_string(lines.size()) + "\r\n";
  for (int i = 0; i < 1000; ++i) words += "slowo ";
  std::string path = "/home/a/abc\u202Eini\u2028\u2029.exe";
  while (path.size() < 3000) path += "/katalog";
  const std::string digits(300, '7');
  const std::string saving =
      "Nie można zapisać pliku " + path + "/Settings.ini. Ustawienie nie zostało zapisane.";
  // What the text says, whatever lines it is shown on.
  const auto words_of = [](QString text) {
    return text.remove(QLatin1Char(' ')).remove(QLatin1Char('\n')).remove(QLatin1Char('\r'));
  };
  for (const std::string& utf8 : {lines, words, digits, saving}) {
    const ShownBox box = ShowQtBox(utf8);
    const QString text = QString::fromStdString(utf8);
    const std::string start = utf8.substr(0, 20);
    EXPECT_TRUE(box.area.contains(box.frame)) << start;
    EXPECT_TRUE(box.area.contains(box.ok)) << start;
    EXPECT_FALSE(box.lines_clipped) << start;
    // A text too long loses its middle: its first words and its last stay.
    EXPECT_TRUE(words_of(box.text).startsWith(words_of(text.left(30)))) << start;
    EXPECT_TRUE(words_of(box.text).endsWith(words_of(text.right(40)))) << start;
    EXPECT_FALSE(box.text.contains(QLatin1String("\n\n"))) << start;  // one break for a CR LF
    if (utf8 == digits) {
      // The word longer than a line breaks across lines, whole.
      EXPECT_EQ(QString(box.text).remove(QLatin1Char('\n')), text);
      EXPECT_TRUE(box.text.contains(QLatin1Char('\n')));
    } else if (utf8 == saving) {
      EXPECT_TRUE(
          words_of(box.text).contains(QLatin1String("/abc[U+202E]ini[U+2028][U+2029].exe/")));
      for (char16_t code : {0x202E, 0x2028, 0x2029}) EXPECT_FALSE(box.text.contains(QChar(code)));
    } else {
      EXPECT_TRUE(box.text.contains(QString::fromUtf8("\n…\n"))) << start;
    }
  }
  platform::SetMsgBoxSink(nullptr);
}

}  // namespace
}  // namespace tk
