// The maximum and the working mode against the emulated converter.

#include <qpa/qwindowsysteminterface.h>

#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QTest>
#include <QTimer>
#include <QTranslator>
#include <chrono>
#include <memory>
#include <utility>

#include "controls/text_xp.h"
#include "link/protocol.h"
#include "support/converter_emulator.h"
#include "toolkit/message_box.h"
#include "ui/chart_window.h"
#include "ui_test_support.h"

namespace ui_test {
namespace {

constexpr int kPort = 17;
const char kTimeout[] = "Przekroczony czas oczekiwania!";

std::string Frame(const std::string& body) { return std::string("\x01") + body + "\x04"; }

class ExchangeTest : public WindowTest {
 protected:
  void SetUp() override {
    WindowTest::SetUp();
    emulator.Attach(kPort);
    WriteSettings("ramka=0\r\nmode=0\r\nmax=000100\r\n", kPort);
  }
  std::vector<std::string> FramesReceived() {
    std::vector<std::string> frames;
    for (const auto& f : emulator.Frames()) frames.push_back(f.bytes);
    return frames;
  }
  void Select(int mode) { Get<tk::OptionButton>("opModPracy", mode).SetValue(true); }
  QImage Chart(int number) { return Get<tk::ImageList>("ImageList1").ListImage(number)(); }
  const QImage& Preview() { return Get<tk::Image>("Image5").Picture(); }

  testing_support::ConverterEmulator emulator;
  HurryingClock hurrying;
};

// ---- The maximum box ----

TEST_F(ExchangeTest, TypedCharactersOtherThanDigitsAndControlKeysAreCancelled) {
  ui::KEY& k = Start();
  for (int code : {int{'a'}, int{'-'}, int{'.'}, int{' '}, int{':'}, 127, 200}) {
    int16_t key_ascii = static_cast<int16_t>(code);
    k.txtMaxVal_KeyPress(key_ascii);
    EXPECT_EQ(key_ascii, 0) << code;
  }
  for (int code : {int{'0'}, int{'5'}, int{'9'}, 8, 13, 27, 3, 22, 24}) {
    int16_t key_ascii = static_cast<int16_t>(code);
    k.txtMaxVal_KeyPress(key_ascii);
    EXPECT_EQ(key_ascii, code);
  }
}

// Opens the box's context menu as a right click does and picks the entry
// that reads `entry`, as the user would.
void PickFromContextMenu(QWidget* box, const QString& entry) {
  QContextMenuEvent right_click(QContextMenuEvent::Mouse, QPoint(3, 3),
                                box->mapToGlobal(QPoint(3, 3)));
  QApplication::sendEvent(box, &right_click);
  auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
  ASSERT_NE(menu, nullptr);
  for (QAction* action : menu->actions()) {
    if (action->text().remove(QLatin1Char('&')).section(QLatin1Char('\t'), 0, 0) == entry) {
      ASSERT_TRUE(action->isEnabled()) << entry.toStdString();
      QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(action).center());
      EXPECT_EQ(QApplication::activePopupWidget(), nullptr);
      return;
    }
  }
  menu->close();
  FAIL() << "no entry " << entry.toStdString();
}

TEST_F(ExchangeTest, APasteGoesInOnlyWhenItIsAllDigits) {
  Start();
  auto* inner = static_cast<QLineEdit*>(Get<controls::TextXP>("txtMaxVal").MyTxt().widget());
  for (const char* pasted : {"abc", "1e400", "-5"}) {
    QApplication::clipboard()->setText(pasted);
    inner->selectAll();
    QTest::keyClick(inner, Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(C("txtMaxVal").Text(), "000100") << pasted;
  }
  // The context menu's Paste is held to the same rule.
  for (const char* pasted : {"abc", "12a", "1\r\n2", "1\t2", "1\x7f", "\uFF11\uFF12", "2\u00B2"}) {
    QApplication::clipboard()->setText(QString::fromUtf8(pasted));
    inner->selectAll();
    PickFromContextMenu(inner, QStringLiteral("Paste"));
    EXPECT_EQ(C("txtMaxVal").Text(), "000100") << pasted;
  }
  QApplication::clipboard()->setText("42");
  inner->selectAll();
  PickFromContextMenu(inner, QStringLiteral("Paste"));
  EXPECT_EQ(C("txtMaxVal").Text(), "42");
  EXPECT_EQ(Get<tk::Slider>("Slider1").Max(), 42);
  // Undo goes back past the paste that went in, to nothing that was refused.
  PickFromContextMenu(inner, QStringLiteral("Undo"));
  EXPECT_EQ(C("txtMaxVal").Text(), "000100");
}

TEST_F(ExchangeTest, OnAPolishDesktopTheBoxMenuReadsPolish) {
  Start();
  // As the start loads it for the user's locale; gone again with the object.
  std::unique_ptr<QTranslator> polish(
      tk::InstallQtTranslation(QLocale(QLocale::Polish, QLocale::Poland)));
  ASSERT_NE(polish, nullptr) << "no qtbase_pl.qm (Debian: qt6-translations-l10n)";
  auto* inner = static_cast<QLineEdit*>(Get<controls::TextXP>("txtMaxVal").MyTxt().widget());
  QApplication::clipboard()->setText("42");
  inner->selectAll();
  PickFromContextMenu(inner, QStringLiteral("Wklej"));
  EXPECT_EQ(C("txtMaxVal").Text(), "42");
  PickFromContextMenu(inner, QStringLiteral("Cofnij"));
  EXPECT_EQ(C("txtMaxVal").Text(), "000100");
}

TEST_F(ExchangeTest, AMaximumBeyondAnyNumberIsReportedAndNothingIsSent) {
  Start();
  ui::KeyTestPeer::ShowPanel(key(), C("picPlik"));
  tk::Control& set = C("cmdUstawMax");
  for (const std::string& text : {std::string(320, '9'), std::string("1e400")}) {
    boxes.clear();
    C("txtMaxVal").SetText(text);
    // The user's click, as the window system delivers it.
    QTest::mouseClick(set.widget(), Qt::LeftButton, Qt::NoModifier, QPoint(10, 10));
    EXPECT_EQ(boxes, std::vector<Box>{Info("Wartość poza zakresem")});
    EXPECT_EQ(C("txtMaxVal").Text(), text);
  }
  EXPECT_TRUE(FramesReceived().empty());
}

TEST_F(ExchangeTest, AMaximumWhoseDigitsADoubleDoesNotHoldIsReportedAndNothingIsSent) {
  Start();
  ui::KeyTestPeer::ShowPanel(key(), C("picPlik"));
  auto* inner = static_cast<QLineEdit*>(Get<controls::TextXP>("txtMaxVal").MyTxt().widget());
  // The refused come first: the first frame received shows that none went out.
  const struct {
    std::string typed;
    bool sent;
  } kCases[] = {{"12345678901234567890", false},
                {std::string(17, '9'), false},
                {std::string(300, '9'), false},
                {"9007199254740992", true},
                {"100000000000000000000", true}};
  std::vector<std::string> frames;
  for (const auto& typed : kCases) {
    SCOPED_TRACE(typed.typed.substr(0, 24));
    boxes.clear();
    inner->selectAll();
    QTest::keyClicks(inner, QString::fromStdString(typed.typed));
    ASSERT_EQ(C("txtMaxVal").Text(), typed.typed);
    QTest::mouseClick(C("cmdUstawMax").widget(), Qt::LeftButton, Qt::NoModifier, QPoint(10, 10));
    if (typed.sent) {
      frames.insert(frames.end(), {Frame("2" + typed.typed), Frame("2?")});
    } else {
      EXPECT_EQ(boxes, std::vector<Box>{Info("Wartość poza zakresem")});
    }
    EXPECT_EQ(FramesReceived(), frames);
  }
}

TEST_F(ExchangeTest, TheBoxSetsTheSliderRangeAndTheLimitLabels) {
  Start();
  EXPECT_EQ(C("lblPlus").Caption(), "100");
  C("txtMaxVal").SetText("000250");
  EXPECT_EQ(Get<tk::Slider>("Slider1").Max(), 250);
  EXPECT_EQ(Get<tk::Slider>("Slider1").Min(), -250);
  EXPECT_EQ(C("lblMinus").Caption(), "-250");
  EXPECT_EQ(C("lblPlus").Caption(), "250");
  C("txtMaxVal").SetText("");
  EXPECT_EQ(Get<tk::Slider>("Slider1").Max(), 0);
  EXPECT_EQ(Get<tk::Slider>("Slider1").Min(), 0);
  EXPECT_EQ(C("lblMinus").Caption(), "0");
  EXPECT_EQ(C("lblPlus").Caption(), "0");
}

TEST_F(ExchangeTest, AMaximumBeyondThirtyTwoBitsLeavesTheSliderAndLabelsAsTheyWere) {
  Start();
  C("txtMaxVal").SetText("000250");
  C("txtMaxVal").SetText("99999999999");
  EXPECT_EQ(Get<tk::Slider>("Slider1").Max(), 250);
  EXPECT_EQ(Get<tk::Slider>("Slider1").Min(), -250);
  EXPECT_EQ(C("lblPlus").Caption(), "250");
}

TEST_F(ExchangeTest, ReadingTheMaximumShowsSixDigits) {
  emulator.SetState('0', '0', "000250", "EMU 1.0");
  ui::KEY& k = Start();
  k.cmdOdbierzMax_Click();
  EXPECT_EQ(C("txtMaxVal").Text(), "000250");
  EXPECT_EQ(Get<tk::Slider>("Slider1").Max(), 250);
  EXPECT_TRUE(boxes.empty());
  EXPECT_EQ(FramesReceived(), std::vector<std::string>{Frame("2?")});
  EXPECT_FALSE(k.comm().PortOpen());
  EXPECT_FALSE(C("txtTransmisja").Visible());
}

TEST_F(ExchangeTest, RepliesWithoutEotTimeOutAndOtherLengthsAreShownRaw) {
  emulator.SetRawReply('2', "250");
  ui::KEY& k = Start(hurrying);  // no EOT: the raw text times out
  k.cmdOdbierzMax_Click();
  EXPECT_EQ(boxes, std::vector<Box>{Info(kTimeout)});
  // The late "250" is written before the next opening, which drops it.
  ASSERT_TRUE(emulator.WaitForReplies(1, std::chrono::milliseconds(5000)));
  boxes.clear();
  emulator.SetRawReply('2', Frame("2250"));  // seven characters: returned raw, not numeric
  hurrying.SetHurrying(false);               // the wait lasts until the reply is in
  k.cmdOdbierzMax_Click();
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].text, Frame("2250"));
  EXPECT_EQ(C("txtMaxVal").Text(), "000100");
}

TEST_F(ExchangeTest, ReadingTheMaximumThatTimesOutShowsTheTimeOutText) {
  emulator.SetSilent(true);
  ui::KEY& k = Start(hurrying);
  k.cmdOdbierzMax_Click();
  EXPECT_EQ(boxes, std::vector<Box>{Info(kTimeout)});
  EXPECT_EQ(C("txtMaxVal").Text(), "000100");
  EXPECT_FALSE(k.comm().PortOpen());
  EXPECT_FALSE(C("txtTransmisja").Visible());
}

// The user clicks "Odbierz" again, then closes the window, while the program
// waits: the window system queues both until the wait ends. The close takes
// effect then; the click starts nothing.
TEST_F(ExchangeTest, AWindowClosedDuringAWaitUnloadsWhenTheWaitEnds) {
  emulator.SetSilent(true);
  ui::KEY& k = Start(hurrying);
  ui::KeyTestPeer::ShowPanel(k, C("picPlik"));
  form().Show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(form().widget()));
  bool ended = false;
  k.EndProgram = [&] { ended = true; };
  tk::InstallQtMessageBoxSink();
  QWindow* window = form().widget()->windowHandle();
  QWidget* read = C("cmdOdbierzMax").widget();
  const QPointF at = read->mapTo(form().widget(), read->rect().center());
  hurrying.on_sleep = [&] {
    if (hurrying.sleeps.size() > 1) return;  // the first exchange only
    using Queued = QWindowSystemInterface::AsynchronousDelivery;
    for (QEvent::Type type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease}) {
      QWindowSystemInterface::handleMouseEvent<Queued>(
          window, at, window->mapToGlobal(at),
          type == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton, Qt::LeftButton, type);
    }
    QWindowSystemInterface::handleCloseEvent<Queued>(window);
  };
  // The program is ending: no box shows. One that does is accepted, so that
  // the test cannot hang.
  int shown = 0;
  QTimer accept;
  QObject::connect(&accept, &QTimer::timeout, [&] {
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    if (box && box->isVisible()) {
      ++shown;
      box->accept();
    }
  });
  accept.start(0);
  k.cmdOdbierzMax_Click();
  EXPECT_TRUE(ended);
  EXPECT_FALSE(form().Loaded());
  EXPECT_EQ(shown, 0);
  EXPECT_EQ(FramesReceived(), std::vector<std::string>{Frame("2?")});
}

TEST_F(ExchangeTest, ARawReplyIsShownUnchanged) {
  emulator.SetRawReply('2',
                       "\x01"
                       "2ab12\x04");
  ui::KEY& k = Start();
  k.cmdOdbierzMax_Click();
  EXPECT_EQ(boxes, std::vector<Box>{Info("\x01"
                                         "2ab12\x04")});
  EXPECT_EQ(C("txtMaxVal").Text(), "000100");
}

TEST_F(ExchangeTest, SettingTheMaximumSendsSixDigitsAndChecksTheReadBack) {
  ui::KEY& k = Start();
  C("txtMaxVal").SetText("42");
  k.cmdUstawMax_Click();
  EXPECT_TRUE(boxes.empty());
  EXPECT_EQ(FramesReceived(), (std::vector<std::string>{Frame("2000042"), Frame("2?")}));
  EXPECT_EQ(emulator.Max(), "000042");
  EXPECT_EQ(C("txtMaxVal").Text(), "42");
}

TEST_F(ExchangeTest, ADifferingReadBackGivesWriteError) {
  emulator.SetReadBackOverride('2', "000041");
  ui::KEY& k = Start();
  C("txtMaxVal").SetText("42");
  k.cmdUstawMax_Click();
  EXPECT_EQ(boxes, std::vector<Box>{Info("Błąd zapisu")});
  EXPECT_EQ(C("txtMaxVal").Text(), "42");
}

TEST_F(ExchangeTest, AFractionInTheBoxIsReportedAsAWriteError) {
  ui::KEY& k = Start();
  C("txtMaxVal").SetText("12.7");
  k.cmdUstawMax_Click();
  EXPECT_EQ(emulator.Max(), "000013");
  EXPECT_EQ(boxes, std::vector<Box>{Info("Błąd zapisu")});
}

TEST_F(ExchangeTest, SevenDigitsAreSentWhole) {
  ui::KEY& k = Start();
  C("txtMaxVal").SetText("1234567");
  k.cmdUstawMax_Click();
  ASSERT_FALSE(FramesReceived().empty());
  EXPECT_EQ(FramesReceived()[0], Frame("21234567"));
}

TEST_F(ExchangeTest, ASetThatTimesOutShowsOnlyTheTimeOutText) {
  emulator.SetSilent(true);
  ui::KEY& k = Start(hurrying);
  C("txtMaxVal").SetText("42");
  k.cmdUstawMax_Click();
  EXPECT_EQ(boxes, std::vector<Box>{Info(kTimeout)});
}

TEST_F(ExchangeTest, APortThatDoesNotExistGivesTheCriticalMessageThenAnEmptyBox) {
  setenv("KONWERTER_COM250", folder_.File("no-such-device").c_str(), 1);
  WriteSettings("ramka=0\r\nmax=000100\r\n", 250);
  WriteFile("set.lng", "[komunikaty]\r\nBrakPortu=Port com%1 nie jest zainstalowany\r\n");
  ui::KEY& k = Start();
  k.cmdOdbierzMax_Click();
  EXPECT_EQ(boxes, (std::vector<Box>{Critical("Port com250 nie jest zainstalowany"), Info("")}));
  boxes.clear();
  k.cmdUstawMax_Click();
  EXPECT_EQ(boxes, (std::vector<Box>{Critical("Port com250 nie jest zainstalowany"), Info("")}));
  EXPECT_EQ(C("txtMaxVal").Text(), "000100");
  boxes.clear();
  k.cmdOdbierzMod_Click();
  EXPECT_EQ(boxes, (std::vector<Box>{Critical("Port com250 nie jest zainstalowany"), Info("")}));
  EXPECT_TRUE(Get<tk::OptionButton>("opModPracy", 0).Value());
  boxes.clear();
  k.cmdWersja_Click();
  EXPECT_EQ(boxes, (std::vector<Box>{Critical("Port com250 nie jest zainstalowany")}));
  EXPECT_EQ(C("lblWersja").Caption(), "");
  unsetenv("KONWERTER_COM250");
}

// ---- The working mode ----

TEST_F(ExchangeTest, ClickingAnOptionShowsItsChart) {
  Start();
  Select(1);
  EXPECT_EQ(Preview(), Chart(2));
  Select(2);
  EXPECT_EQ(Preview(), Chart(3));
}

TEST_F(ExchangeTest, ReadingTheModeSelectsItAndItsChart) {
  emulator.SetState('2', '0', "001500", "EMU 1.0");
  ui::KEY& k = Start();
  k.cmdOdbierzMod_Click();
  EXPECT_TRUE(Get<tk::OptionButton>("opModPracy", 2).Value());
  EXPECT_EQ(Preview(), Chart(3));
  EXPECT_TRUE(boxes.empty());
  EXPECT_EQ(FramesReceived(), std::vector<std::string>{Frame("0?")});
}

TEST_F(ExchangeTest, AModeOutsideTheRangeIsShownAndTheSelectionStays) {
  emulator.SetRawReply('0', Frame("05"));
  ui::KEY& k = Start();
  Select(1);
  k.cmdOdbierzMod_Click();
  EXPECT_EQ(boxes, std::vector<Box>{Info("5")});
  EXPECT_TRUE(Get<tk::OptionButton>("opModPracy", 1).Value());
  EXPECT_EQ(Preview(), Chart(2));
}

TEST_F(ExchangeTest, AModeReadThatTimesOutKeepsTheSelection) {
  emulator.SetSilent(true);
  ui::KEY& k = Start(hurrying);
  Select(2);
  k.cmdOdbierzMod_Click();
  EXPECT_EQ(boxes, std::vector<Box>{Info(kTimeout)});
  EXPECT_TRUE(Get<tk::OptionButton>("opModPracy", 2).Value());
  EXPECT_EQ(Preview(), Chart(3));
}

TEST_F(ExchangeTest, SettingTheModeSendsTheSelectedIndex) {
  ui::KEY& k = Start();
  Select(1);
  k.cmdUstawMod_Click();
  EXPECT_EQ(FramesReceived(), (std::vector<std::string>{Frame("01"), Frame("0?")}));
  EXPECT_EQ(emulator.Mode(), '1');
  EXPECT_TRUE(boxes.empty());
}

TEST_F(ExchangeTest, AModeReadBackThatDiffersGivesWriteError) {
  emulator.SetReadBackOverride('0', "0");
  ui::KEY& k = Start();
  Select(1);
  k.cmdUstawMod_Click();
  EXPECT_EQ(boxes, std::vector<Box>{Info("Błąd zapisu")});
  EXPECT_TRUE(Get<tk::OptionButton>("opModPracy", 1).Value());
}

TEST_F(ExchangeTest, AModeReadBackOutsideTheRangeIsShownThenWriteError) {
  emulator.SetReadBackOverride('0', "7");
  ui::KEY& k = Start();
  k.cmdUstawMod_Click();
  EXPECT_EQ(boxes, (std::vector<Box>{Info("7"), Info("Błąd zapisu")}));
}

TEST_F(ExchangeTest, AModeSetThatTimesOutShowsOnlyTheTimeOutText) {
  emulator.SetSilent(true);
  ui::KEY& k = Start(hurrying);
  Select(2);
  k.cmdUstawMod_Click();
  EXPECT_EQ(boxes, std::vector<Box>{Info(kTimeout)});
}

TEST_F(ExchangeTest, TheVersionGoesIntoItsLabelWhateverItIs) {
  emulator.SetState('0', '0', "001500", "KW 2.31");
  ui::KEY& k = Start();
  k.cmdWersja_Click();
  EXPECT_EQ(C("lblWersja").Caption(), "KW 2.31");
  EXPECT_TRUE(boxes.empty());
}

TEST_F(ExchangeTest, AVersionQueryThatTimesOutShowsTheTextInTheLabel) {
  emulator.SetSilent(true);
  ui::KEY& k = Start(hurrying);
  k.cmdWersja_Click();
  EXPECT_EQ(C("lblWersja").Caption(), kTimeout);
  EXPECT_TRUE(boxes.empty());
}

TEST_F(ExchangeTest, TheBannerShowsWhileAReplyIsAwaited) {
  // The exchange blocks the event loop, so the banner is looked at from the
  // clock's wait for the reply; the converter answers then, and the wait
  // lasts until the answer is in.
  testing_support::TestClock clock;
  emulator.SetSilent(true);
  bool seen = false, answered = false;
  clock.on_wait = [&] {
    if (std::exchange(answered, true)) return;
    seen = C("txtTransmisja").Visible();
    emulator.SendRaw(Frame("3EMU 1.0"));
  };
  ui::KEY& k = Start(clock);
  k.cmdWersja_Click();
  EXPECT_TRUE(seen);
  EXPECT_EQ(C("lblWersja").Caption(), "EMU 1.0");
  EXPECT_FALSE(C("txtTransmisja").Visible());
}

// ---- The chart window ----

class ChartWindowTest : public ExchangeTest {
 protected:
  // Opens the chart window and, inside its modal loop, records the chart it
  // shows and clicks its label.
  QImage OpenAndClose(ui::KEY& k, std::string* label_text = nullptr) {
    QImage shown;
    QTimer::singleShot(0, [&] {
      ui::frmWykresy* chart = k.chart_window();
      ASSERT_NE(chart, nullptr);
      ASSERT_NE(chart->form(), nullptr);
      shown = chart->form()->Get<tk::Image>("Image1").Picture();
      if (label_text) *label_text = chart->form()->Find("Label1").Caption();
      chart->form()->Find("Label1").Click();
    });
    k.ButtonXP2_Click();
    return shown;
  }
};

TEST_F(ChartWindowTest, TheChartButtonShowsTheSelectedModesChart) {
  ui::KEY& k = Start();
  std::string label;
  EXPECT_EQ(OpenAndClose(k, &label), Chart(1));
  EXPECT_EQ(label, "Zamknij to okno");
  EXPECT_EQ(k.chart_window()->wykres_id_for_testing(), 1);
  EXPECT_EQ(k.chart_window()->form(), nullptr);  // closed again
  Select(1);
  EXPECT_EQ(OpenAndClose(k), Chart(2));
  EXPECT_TRUE(form().Loaded());
  EXPECT_TRUE(Get<tk::OptionButton>("opModPracy", 1).Value());
}

TEST_F(ChartWindowTest, ANumberOutsideOneToThreeShowsTheFirstChartAndIsCorrected) {
  ui::KEY& k = Start();
  for (int id : {0, 4, -1}) {
    ui::frmWykresy chart(Get<tk::ImageList>("ImageList1"));
    chart.WykresId(id);
    QImage shown;
    QTimer::singleShot(0, [&] {
      shown = chart.form()->Get<tk::Image>("Image1").Picture();
      chart.Label1_Click();
    });
    chart.ShowModal();
    EXPECT_EQ(shown, Chart(1)) << id;
    EXPECT_EQ(chart.wykres_id_for_testing(), 1) << id;
    // Opened again without a new number: the first chart again.
    QTimer::singleShot(0, [&] {
      shown = chart.form()->Get<tk::Image>("Image1").Picture();
      chart.Label1_Click();
    });
    chart.ShowModal();
    EXPECT_EQ(shown, Chart(1)) << id;
  }
  (void)k;
}

TEST_F(ChartWindowTest, TheLabelTextComesFromTheLanguageFile) {
  WriteFile("set.lng", "[wykresy]\r\nzamknij_okno=Close this window\r\n");
  ui::KEY& k = Start();
  std::string label;
  OpenAndClose(k, &label);
  EXPECT_EQ(label, "Close this window");
}

TEST_F(ChartWindowTest, WithoutTheEntryTheLanguageFileGainsIt) {
  ui::KEY& k = Start();
  OpenAndClose(k);
  EXPECT_EQ(settings::ReadIniValue(folder_.File("set.lng"), "wykresy", "zamknij_okno", "?"),
            "Zamknij to okno");
  EXPECT_EQ(KeysOf(ReadFile("set.lng"), "Formatki"), std::vector<std::string>{"glowna"});
}

}  // namespace
}  // namespace ui_test
