// The frame options written to the settings file, and the handlers of the
// controls that lie out of the user's reach.

#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QElapsedTimer>
#include <QMenuBar>
#include <QTest>
#include <string>

#include "platform/files.h"
#include "settings/ini.h"
#include "ui_test_support.h"

namespace ui_test {
namespace {

class OptionsTest : public WindowTest {
 protected:
  void StartWith(const std::string& ustawienia = "") {
    WriteSettings("ramka=0\r\n");
    if (!ustawienia.empty()) {
      std::string text = ReadFile("Settings.ini");
      text.replace(text.find("[USTAWIENIA]\r\n"), 14, "[USTAWIENIA]\r\n" + ustawienia);
      WriteFile("Settings.ini", text);
    }
    Start();
    key().lblRamka_Click();  // its menu entry lies outside the menu box
    QCoreApplication::processEvents();
  }
  void ClickOn(const std::string& name) {
    QTest::mouseClick(C(name).widget(), Qt::LeftButton, Qt::NoModifier, QPoint(5, 5));
    QCoreApplication::processEvents();
  }
  std::string Stored(const std::string& key) {
    return settings::ReadIniValue(folder_.File("Settings.ini"), "USTAWIENIA", key, "<none>");
  }
  int Box(const char* name) { return Get<tk::CheckBox>(name).Value(); }
};

TEST_F(OptionsTest, EachOptionIsWrittenTheMomentItChanges) {
  StartWith();
  ClickOn("Option1");
  EXPECT_EQ(Stored("TEKST"), "True");
  ClickOn("Option2");
  EXPECT_EQ(Stored("TEKST"), "False");

  ClickOn("chZmiana");
  EXPECT_EQ(Stored("ZMIANA"), "1");
  ClickOn("chZmiana");
  EXPECT_EQ(Stored("ZMIANA"), "0");
  ClickOn("chZmianaCR");
  EXPECT_EQ(Stored("CR"), "0");
  ClickOn("chZmianaCR");
  EXPECT_EQ(Stored("CR"), "13");
  ClickOn("chZmianaLF");
  EXPECT_EQ(Stored("LF"), "0");
  ClickOn("chZmianaLF");
  EXPECT_EQ(Stored("LF"), "10");

  // The greyed state, which only the program sets: written as it is, and
  // not counted as ticked.
  Get<tk::CheckBox>("chZmiana").SetValue(2);
  EXPECT_EQ(Stored("ZMIANA"), "2");
  Get<tk::CheckBox>("chZmianaCR").SetValue(2);
  EXPECT_EQ(Stored("CR"), "13");
  Get<tk::CheckBox>("chZmianaLF").SetValue(2);
  EXPECT_EQ(Stored("LF"), "10");
  // The port keys beside them are kept.
  EXPECT_EQ(Stored("NR PORTU"), "1");
  EXPECT_EQ(Stored("PRĘDKOŚĆ"), "9600");
}

TEST_F(OptionsTest, TheOptionsStartFromTheDesignWhateverTheFileHolds) {
  StartWith("TEKST=True\r\nZMIANA=1\r\nCR=0\r\nLF=0\r\n");
  const std::string before = ReadFile("Settings.ini");
  EXPECT_FALSE(Get<tk::OptionButton>("Option1").Value());
  EXPECT_TRUE(Get<tk::OptionButton>("Option2").Value());
  EXPECT_EQ(Box("chZmiana"), 0);
  EXPECT_EQ(Box("chZmianaCR"), 0);
  EXPECT_EQ(Box("chZmianaLF"), 0);
  // Clicking the labels beside the boxes changes nothing.
  for (const char* label : {"Label19", "Label20", "lblZmianaLF"}) ClickOn(label);
  EXPECT_EQ(Box("chZmiana"), 0);
  EXPECT_EQ(Box("chZmianaCR"), 0);
  EXPECT_EQ(Box("chZmianaLF"), 0);
  EXPECT_EQ(ReadFile("Settings.ini"), before);
}

TEST_F(OptionsTest, AMissingHelpProgramIsIgnored) {
  StartWith();
  key().mnuHelp_Click();
  QCoreApplication::processEvents();
  EXPECT_TRUE(boxes.empty());
  EXPECT_TRUE(form().Visible());
  EXPECT_EQ(C("picRamka").Container(), &form());
}

TEST_F(OptionsTest, TheHelpProgramIsStartedFromTheProgramFolderAndNotWaitedFor) {
  StartWith();
  // Writes the signals blocked for it, then its process number, then stays
  // for much longer than any wait (perl, because the shell clears its own
  // signal mask at start).
  WriteFile("tormex_help.exe",
            "#!/usr/bin/perl\nopen(S, '/proc/self/status'); open(B, '>blocked.txt');\n"
            "print B grep(/^SigBlk/, <S>); close(B);\n"
            "open(P, '>started.txt'); print P \"$$\\n\"; close(P); sleep 60;\n");
  ASSERT_EQ(chmod(folder_.File("tormex_help.exe").c_str(), 0755), 0);
  // The running program blocks the exit signals for the thread that closes
  // its ports; the help program must not inherit that.
  sigset_t exit_signals, previous;
  sigemptyset(&exit_signals);
  for (int signo : {SIGTERM, SIGINT, SIGHUP}) sigaddset(&exit_signals, signo);
  pthread_sigmask(SIG_BLOCK, &exit_signals, &previous);
  QElapsedTimer took;
  took.start();
  key().mnuHelp_Click();
  pthread_sigmask(SIG_SETMASK, &previous, nullptr);
  EXPECT_LT(took.elapsed(), 30000);
  ASSERT_TRUE(QTest::qWaitFor(
      [&] { return ReadFile("started.txt").find('\n') != std::string::npos; }, 5000));
  const pid_t helper = static_cast<pid_t>(std::stol(ReadFile("started.txt")));
  EXPECT_EQ(kill(helper, 0), 0) << "the help program should still run";
  EXPECT_EQ(ReadFile("blocked.txt"), "SigBlk:\t0000000000000000\n");
  kill(helper, SIGKILL);
  EXPECT_TRUE(boxes.empty());
}

TEST_F(OptionsTest, TheStartButtonSendsWithoutAPortUntilTheFirstTickStopsIt) {
  StartWith();
  key().cmdStart_Click();
  EXPECT_TRUE(Get<tk::Timer>("Timer3").Enabled());
  EXPECT_FALSE(form().Visible());
  for (const char* page : {"picPoloczenie", "picZdarzenia", "picPlik", "picRamka", "picTransmisja"})
    EXPECT_EQ(C(page).Container(), &C("Smietnik")) << page;
  EXPECT_FALSE(key().comm().PortOpen());
  // The tick meets the closed port and stops the sending.
  ASSERT_TRUE(QTest::qWaitFor([&] { return !Get<tk::Timer>("Timer3").Enabled(); }, 2000));
  EXPECT_EQ(Box("chNasluch"), 0);
  EXPECT_TRUE(C("lblzdarzenia").Enabled());
  EXPECT_TRUE(boxes.empty());
}

TEST_F(OptionsTest, TheTrayEntriesShowHideAndUnloadTheWindow) {
  StartWith();
  EXPECT_FALSE(C("mnuTray").Visible());
  EXPECT_EQ(form().widget()->findChild<QMenuBar*>(), nullptr);
  key().cmdUkryj_Click();
  EXPECT_FALSE(form().Visible());
  key().mnuVisible_Click();
  EXPECT_TRUE(form().Visible());
  key().MSComm1_OnComm();
  EXPECT_TRUE(form().Visible());
  key().mnuClose_Click();
  EXPECT_FALSE(form().Loaded());
  EXPECT_FALSE(form().Visible());
}

TEST_F(OptionsTest, TheFunctionKeyPadLiesBelowTheVisibleArea) {
  StartWith();
  EXPECT_EQ(C("picKey").Container(), &form());
  EXPECT_GE(C("picKey").Top(), form().ScaleHeight());
  EXPECT_EQ(C("cmdHotKey", 12).Caption(), "F12");
}

}  // namespace
}  // namespace ui_test
