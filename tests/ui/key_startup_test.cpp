// Start-up of the main window and its closing.
#include <fcntl.h>
#include <stdlib.h>
#include <unistd.h>

#include <QImage>
#include <QWidget>
#include <new>
#include <stdexcept>

#include "settings/language.h"
#include "support/main_window_entries.h"
#include "toolkit/description.h"
#include "ui/app.h"
#include "ui_test_support.h"

namespace ui_test {
namespace {

using StartupTest = WindowTest;

TEST_F(StartupTest, FreshLanguageFileGetsTheKeysInWindowOrderThenTheWindowCaption) {
  WriteSettings("ramka=0\r\nmode=0\r\nmax=001500\r\n");
  Start();
  const std::string lng = ReadFile("set.lng");
  EXPECT_EQ(SectionsOf(lng), (std::vector<std::string>{"glowna", "Formatki"}));
  std::vector<std::string> keys;
  for (const auto& [key, text] : testing_support::MainWindowEntries()) {
    keys.push_back(key);
    // Read back without their trailing blanks ("CR").
    EXPECT_EQ(settings::ReadIniValue(folder_.File("set.lng"), "glowna", key, "?"),
              text.substr(0, text.find_last_not_of(' ') + 1))
        << key;
  }
  EXPECT_EQ(KeysOf(lng, "glowna"), keys);
  EXPECT_EQ(KeysOf(lng, "Formatki"), std::vector<std::string>{"glowna"});
  EXPECT_EQ(settings::ReadIniValue(folder_.File("set.lng"), "Formatki", "glowna", "?"),
            "Konwerter - C\\I");
  EXPECT_TRUE(boxes.empty());
}

TEST_F(StartupTest, FreshLanguageFileShowsDesignCaptionsExceptTheSharedKeys) {
  WriteSettings("ramka=0\r\n");
  Start();
  EXPECT_EQ(form().Caption(), "Konwerter - C\\I");
  EXPECT_EQ(C("lblRamka").Caption(), "RAMKA");
  EXPECT_EQ(C("LblUstawieniaPortu").Caption(), "POŁĄCZENIE");
  EXPECT_EQ(C("lblTransmisja").Caption(), "TRANSMISJA");
  EXPECT_EQ(C("lblzdarzenia").Caption(), "TRYB PRACY");
  EXPECT_EQ(C("lblPlik").Caption(), "PARAMETRY WAGI");
  EXPECT_EQ(C("Label12").Caption(), "Konfiguracja");
  EXPECT_EQ(C("cmdZamknij").Caption(), "Zamknij");
  EXPECT_EQ(C("cmdOdbierzMax").Caption(), "");
  EXPECT_EQ(C("cmdWersja").Caption(), "");
  EXPECT_EQ(C("ButtonXP2").Caption(), "");
  EXPECT_EQ(C("ButtonXP1", 7).Caption(), "7");  // untagged: keeps its caption
}

TEST_F(StartupTest, LanguageFileTextsReplaceTheCaptions) {
  WriteSettings("ramka=0\r\n");
  WriteFile(
      "set.lng",
      "[Formatki]\r\nglowna=Converter\r\n[GLOWNA]\r\nodbierz=Read\r\nBlock=FRAME\r\nend=Close\r\n");
  Start();
  EXPECT_EQ(form().Caption(), "Converter");
  EXPECT_EQ(C("cmdOdbierzMax").Caption(), "Read");
  EXPECT_EQ(C("cmdOdbierzMod").Caption(), "Read");
  EXPECT_EQ(C("lblRamka").Caption(), "FRAME");
  EXPECT_EQ(C("Label18").Caption(), "FRAME");
  EXPECT_EQ(C("cmdZamknij").Caption(), "Close");
}

TEST_F(StartupTest, DeliveredTextsOverThePictureLieWhollyInTheClientArea) {
  UseDeliveredFiles();
  Start();
  const QRect client(0, 0, tk::TwipsToPixels(form().ScaleWidth()),
                     tk::TwipsToPixels(form().ScaleHeight()));
  for (const char* name :
       {"Label4", "Label1", "lblLogoTel", "lblLogoHandel", "lblLogo1", "lblLogo2", "lblLogo3"}) {
    QWidget* label = C(name).widget();
    // The label's own drawing without any ground: its letters.
    QImage drawn(label->size(), QImage::Format_ARGB32_Premultiplied);
    drawn.fill(Qt::transparent);
    label->render(&drawn, QPoint(), QRegion(), QWidget::DrawChildren);
    QRect ink;
    for (int y = 0; y < drawn.height(); ++y)
      for (int x = 0; x < drawn.width(); ++x)
        if (qAlpha(drawn.pixel(x, y)) > 0) ink |= QRect(x, y, 1, 1);
    if (ink.isNull()) continue;  // an empty label
    // However deep a face's descenders reach, a text needs its label's whole
    // height in view.
    EXPECT_LE(label->geometry().bottom(), client.bottom()) << name;
    ink.translate(label->pos());
    EXPECT_TRUE(client.contains(ink)) << name << " letters at " << ink.left() << "," << ink.top()
                                      << " to " << ink.right() << "," << ink.bottom();
  }
}

TEST_F(StartupTest, AfterStartThePortIsClosedNoPageIsOpenAndTheWindowHasItsSize) {
  WriteSettings("ramka=0\r\nmode=0\r\nmax=001500\r\n");
  ui::KEY& k = Start();
  EXPECT_FALSE(k.comm().PortOpen());
  EXPECT_EQ(k.comm().CommPort(), 1);
  EXPECT_EQ(k.comm().Settings(), "9600,N,8,1");
  for (const char* page : {"picZdarzenia", "picPlik", "picPoloczenie", "picRamka", "picTransmisja"})
    EXPECT_EQ(C(page).Container(), &C("Smietnik")) << page;
  EXPECT_TRUE(form().widget()->isVisible());
  // The outer size is 7400 x 5000 twips; the client area lies inside it.
  EXPECT_LE(form().ScaleWidth(), 7400);
  EXPECT_GT(form().ScaleWidth(), 7000);
  EXPECT_LE(form().ScaleHeight(), 5000);
  EXPECT_GT(form().ScaleHeight(), 4300);
  // The side bar reaches down to "Zamknij", which is in view; what lies below is not.
  tk::Control& close = C("cmdZamknij");
  EXPECT_LE(C("Picture3").Top() + close.Top() + close.Height(), form().ScaleHeight());
  EXPECT_GT(C("Picture3").Top() + C("cmdStart").Top(), form().ScaleHeight());
  EXPECT_EQ(C("Picture3").Left() + C("Picture3").Width(), form().ScaleWidth());
  EXPECT_FALSE(C("txtTransmisja").Visible());
  // Fixed size: minimise but no maximise, no resizing.
  QWidget* w = form().widget()->window();
  EXPECT_EQ(w->minimumSize(), w->maximumSize());
  EXPECT_FALSE(w->windowFlags().testFlag(Qt::WindowMaximizeButtonHint));
  EXPECT_TRUE(w->windowFlags().testFlag(Qt::WindowMinimizeButtonHint));
}

TEST_F(StartupTest, ListsHoldEveryTableRowAndEndWithAnEmptyRow) {
  WriteSettings("waga=Waga C\r\n");
  Start();
  auto& types = Get<tk::ListBox>("lstTypRamki");
  ASSERT_EQ(types.ListCount(), 5);
  EXPECT_EQ(types.List(0), "Ramka 0");
  EXPECT_EQ(types.List(3), "Ramka 3");
  EXPECT_EQ(types.List(4), "");
  auto& scales = Get<tk::ListBox>("lstWagiZgodne");
  ASSERT_EQ(scales.ListCount(), 6);
  EXPECT_EQ(scales.List(0), "Waga A");
  EXPECT_EQ(scales.List(5), "");
  ASSERT_EQ(key().ScaleTable.size(), 6u);
  ASSERT_EQ(key().FrameTypeTable.size(), 5u);
}

TEST_F(StartupTest, MissingTablesLeaveListsWithTheirClosingEmptyRowOnly) {
  WriteSettings("", 1, "");
  Start();
  EXPECT_EQ(Get<tk::ListBox>("lstTypRamki").ListCount(), 1);
  EXPECT_EQ(Get<tk::ListBox>("lstWagiZgodne").ListCount(), 1);
  EXPECT_EQ(Get<tk::ListBox>("lstTypRamki").ListIndex(),
            0);  // the empty code matches the empty row
  EXPECT_TRUE(boxes.empty());
}

TEST_F(StartupTest, MissingTablesWithAStoredFrameTypeSelectNothingAndListNoScale) {
  WriteSettings("ramka=0\r\n", 1, "");
  Start();
  EXPECT_EQ(Get<tk::ListBox>("lstTypRamki").ListIndex(), -1);
  EXPECT_EQ(Get<tk::ListBox>("lstWagiZgodne").ListCount(), 0);
}

TEST_F(StartupTest, MissingParametersSelectTheEmptyFrameTypeFirstModeAndZeroMaximum) {
  WriteSettings("");
  Start();
  auto& types = Get<tk::ListBox>("lstTypRamki");
  EXPECT_EQ(types.ListIndex(), 4);  // the closing empty row
  auto& scales = Get<tk::ListBox>("lstWagiZgodne");
  ASSERT_EQ(scales.ListCount(), 1);
  EXPECT_EQ(scales.List(0), "");
  EXPECT_TRUE(Get<tk::OptionButton>("opModPracy", 0).Value());
  EXPECT_EQ(Get<tk::Image>("Image5").Picture(), Get<tk::ImageList>("ImageList1").ListImage(1)());
  EXPECT_EQ(C("txtMaxVal").Text(), "000000");
  EXPECT_TRUE(boxes.empty());
}

TEST_F(StartupTest, StoredScaleSelectsItsFrameTypeAndItsRowAndKeepsEveryScale) {
  WriteSettings("waga=Waga C\r\nramka=2\r\n");
  Start();
  EXPECT_EQ(Get<tk::ListBox>("lstTypRamki").ListIndex(), 1);  // code 1, "ramka" ignored
  auto& scales = Get<tk::ListBox>("lstWagiZgodne");
  EXPECT_EQ(scales.ListCount(), 6);
  EXPECT_EQ(scales.ListIndex(), 2);
}

TEST_F(StartupTest, StoredScaleThatNoRowNamesSelectsNothingAndStartUpGoesOn) {
  WriteSettings("waga=Waga X\r\nmode=1\r\nmax=250\r\n");
  Start();
  EXPECT_EQ(Get<tk::ListBox>("lstWagiZgodne").ListIndex(), -1);
  EXPECT_TRUE(Get<tk::OptionButton>("opModPracy", 1).Value());
  EXPECT_EQ(C("txtMaxVal").Text(), "000250");
  EXPECT_TRUE(boxes.empty());
}

TEST_F(StartupTest, StoredFrameTypeSelectsItsRowAndListsItsScales) {
  WriteSettings("ramka=0\r\n");
  Start();
  EXPECT_EQ(Get<tk::ListBox>("lstTypRamki").ListIndex(), 0);
  auto& scales = Get<tk::ListBox>("lstWagiZgodne");
  ASSERT_EQ(scales.ListCount(), 2);
  EXPECT_EQ(scales.List(0), "Waga A");
  EXPECT_EQ(scales.List(1), "Waga B");
  EXPECT_EQ(scales.ListIndex(), -1);
}

// Names a case by its stored text ("Stored7", "StoredMinus1", "StoredNothing"),
// so that it keeps its name from build to build and can be picked by name.
template <typename Case>
std::string StoredName(const ::testing::TestParamInfo<Case>& info) {
  std::string name = "Stored";
  for (const char* c = info.param.stored; *c; ++c)
    name += *c == '-' ? std::string("Minus") : std::string(1, *c);
  return info.param.stored[0] ? name : name + "Nothing";
}

struct ModeCase {
  const char* stored;
  int option;
};

class StartupModeTest : public WindowTest, public ::testing::WithParamInterface<ModeCase> {};

TEST_P(StartupModeTest, ModeEntrySelectsItsOptionAndChart) {
  WriteSettings(std::string("ramka=0\r\nmode=") + GetParam().stored + "\r\n");
  Start();
  const int option = GetParam().option;
  for (int i = 0; i <= 2; ++i)
    EXPECT_EQ(Get<tk::OptionButton>("opModPracy", i).Value(), i == option);
  EXPECT_EQ(Get<tk::Image>("Image5").Picture(),
            Get<tk::ImageList>("ImageList1").ListImage(option + 1)());
}

INSTANTIATE_TEST_SUITE_P(Modes, StartupModeTest,
                         ::testing::Values(ModeCase{"7", 0}, ModeCase{"-1", 0}, ModeCase{"2", 2},
                                           ModeCase{"abc", 0}, ModeCase{"1", 1}, ModeCase{"", 0}),
                         StoredName<ModeCase>);

struct MaxCase {
  const char* stored;
  const char* shown;
  int slider_max;
};

class StartupMaxTest : public WindowTest, public ::testing::WithParamInterface<MaxCase> {};

TEST_P(StartupMaxTest, MaxEntryIsShownAsSixDigitsAndSetsTheSliderRange) {
  WriteSettings(std::string("ramka=0\r\nmax=") + GetParam().stored + "\r\n");
  Start();
  EXPECT_EQ(C("txtMaxVal").Text(), GetParam().shown);
  EXPECT_EQ(Get<tk::Slider>("Slider1").Max(), GetParam().slider_max);
  EXPECT_EQ(Get<tk::Slider>("Slider1").Min(), -GetParam().slider_max);
}

INSTANTIATE_TEST_SUITE_P(Maxima, StartupMaxTest,
                         ::testing::Values(MaxCase{"1234", "001234", 1234},
                                           MaxCase{"1234567", "1234567", 1234567},
                                           MaxCase{"", "000000", 0}, MaxCase{"kg", "000000", 0},
                                           MaxCase{"1e400", "000000", 0},
                                           MaxCase{"-9e999", "000000", 0}),
                         StoredName<MaxCase>);

TEST_F(StartupTest, AnErrorThatEndsTheStartIsShownAndGivesAFailingStatus) {
  const int status = ui::RunGuarded(
      []() -> int { throw tk::DescriptionError(":/ui/key.frm", 9, "Font: bad font size"); });
  EXPECT_EQ(status, 1);
  EXPECT_EQ(boxes, std::vector<Box>{Critical(
                       "Nie można uruchomić programu: :/ui/key.frm:9: Font: bad font size")});
  // A box that cannot be made (no memory left) leaves the text on standard error.
  platform::SetMsgBoxSink([](const std::string&, platform::MsgBoxIcon) { throw std::bad_alloc(); });
  testing::internal::CaptureStderr();
  EXPECT_EQ(ui::RunGuarded([]() -> int { throw std::runtime_error("no display"); }), 1);
  EXPECT_EQ(testing::internal::GetCapturedStderr(),
            "[critical] Nie można uruchomić programu: no display\n");
}

TEST_F(StartupTest, CloseButtonClosesAnOpenPortAndUnloadsTheWindow) {
  WriteSettings("ramka=0\r\n", 9);
  // A terminal of our own for port 9, so that the port can really be open.
  int master = posix_openpt(O_RDWR | O_NOCTTY);
  ASSERT_GE(master, 0);
  ASSERT_EQ(grantpt(master), 0);
  ASSERT_EQ(unlockpt(master), 0);
  setenv("KONWERTER_COM9", ptsname(master), 1);
  ui::KEY& k = Start();
  bool ended = false;
  k.EndProgram = [&] {
    EXPECT_FALSE(k.comm().PortOpen());  // closed before the end
    ended = true;
  };
  k.comm().SetPortOpen(true);
  ASSERT_TRUE(k.comm().PortOpen());
  k.cmdZamknij_Click();
  EXPECT_FALSE(k.comm().PortOpen());
  EXPECT_FALSE(form().Loaded());
  EXPECT_TRUE(ended);
  unsetenv("KONWERTER_COM9");
  close(master);
}

TEST_F(StartupTest, UnloadWithThePortClosedLeavesItClosed) {
  WriteSettings("ramka=0\r\n");
  ui::KEY& k = Start();
  form().Unload();
  EXPECT_FALSE(k.comm().PortOpen());
  EXPECT_FALSE(form().Loaded());
}

TEST_F(StartupTest, PortSettingsAreLoadedShownAndGivenToTheClosedPort) {
  WriteFile("Settings.ini",
            "[USTAWIENIA]\r\nNR PORTU=3\r\nPRĘDKOŚĆ=19200\r\nPARZYSTOŚĆ=E\r\nBITY DANYCH=7\r\n"
            "BITY STOPU=2\r\n" +
                std::string(kDefaultTables));
  ui::KEY& k = Start();
  EXPECT_EQ(k.comm().CommPort(), 3);
  EXPECT_EQ(k.comm().Settings(), "19200,E,7,2");
  EXPECT_FALSE(k.comm().PortOpen());
  EXPECT_EQ(C("lblNrPortuVal").Caption(), "3");
  EXPECT_EQ(C("lblSpeedVal").Caption(), "19200");
  EXPECT_EQ(C("lblPariteVal").Caption(), "E");
  EXPECT_EQ(C("lblBitsDataVal").Caption(), "7");
  EXPECT_EQ(C("lblBitsStopVal").Caption(), "2");
}

TEST_F(StartupTest, TheTitleBarCloseUnloadsTheWindowAndClosesThePort) {
  WriteSettings("ramka=0\r\n", 9);
  int master = posix_openpt(O_RDWR | O_NOCTTY);
  ASSERT_GE(master, 0);
  ASSERT_EQ(grantpt(master), 0);
  ASSERT_EQ(unlockpt(master), 0);
  setenv("KONWERTER_COM9", ptsname(master), 1);
  ui::KEY& k = Start();
  int ends = 0;
  k.EndProgram = [&] { ++ends; };
  k.comm().SetPortOpen(true);
  form().widget()->window()->close();
  QCoreApplication::processEvents();
  EXPECT_FALSE(k.comm().PortOpen());
  EXPECT_FALSE(form().Loaded());
  EXPECT_EQ(ends, 1);
  unsetenv("KONWERTER_COM9");
  close(master);
}

}  // namespace
}  // namespace ui_test
