#include "settings/language.h"

#include <dirent.h>
#include <fcntl.h>
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdarg>
#include <map>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

#include "platform/files.h"
#include "settings/fake_window.h"
#include "settings/ini.h"
#include "support/main_window_entries.h"
#include "support/temp_folder.h"

// What the program asks of the disk: the test program is linked with
// --wrap=fsync, --wrap=opendir and --wrap=open, which send the calls here.
namespace {

struct DiskCalls {
  std::vector<std::string> syncs;  // a file's path with its size then, or a folder's
  std::map<std::string, int> listings;
  std::map<std::string, int> opens;
};

std::mutex disk_mutex;
DiskCalls disk_calls;

template <typename Note>
void Record(Note note) {
  std::lock_guard<std::mutex> lock(disk_mutex);
  note(disk_calls);
}

}  // namespace

extern "C" {
int __real_fsync(int fd);
DIR* __real_opendir(const char* name);
int __real_open(const char* path, int flags, ...);

int __wrap_fsync(int fd) {
  char path[4096];
  const ssize_t length =
      readlink(("/proc/self/fd/" + std::to_string(fd)).c_str(), path, sizeof path - 1);
  std::string synced(path, length > 0 ? static_cast<size_t>(length) : 0);
  struct stat info;
  if (fstat(fd, &info) == 0 && S_ISREG(info.st_mode)) {
    synced += " (" + std::to_string(info.st_size) + " bytes)";
  }
  Record([&](DiskCalls& calls) { calls.syncs.push_back(synced); });
  return __real_fsync(fd);
}

DIR* __wrap_opendir(const char* name) {
  Record([&](DiskCalls& calls) { ++calls.listings[name]; });
  return __real_opendir(name);
}

int __wrap_open(const char* path, int flags, ...) {
  va_list args;
  va_start(args, flags);
  const mode_t mode = (flags & (O_CREAT | O_TMPFILE)) != 0 ? va_arg(args, mode_t) : 0;
  va_end(args);
  Record([&](DiskCalls& calls) { ++calls.opens[path]; });
  return __real_open(path, flags, mode);
}
}

namespace settings {
namespace {

using settings_test::FakeControl;
using settings_test::FakeWindow;
using testing_support::Inode;
using testing_support::ReadBytes;
using testing_support::TempFolder;
using testing_support::WriteBytes;

// The main window as the walk sees it: every control that carries a key, in
// window order, with untagged controls and controls without a caption between.
void BuildMainWindow(FakeWindow& w) {
  w.Add("Smietnik", "", std::nullopt);
  w.Add("Label33", "param_wagi", "PARAMETRY WAGI");
  for (const char* n : {"cmdOdbierzMax", "cmdOdbierzRamke", "cmdOdbierzMod", "cmdOdbierzAll"}) {
    w.Add(n, "odbierz", "");
  }
  for (const char* n : {"cmdUstawMax", "cmdUstawRamke", "cmdUstawMod", "cmdUstawAll"}) {
    w.Add(n, "ustaw", "");
  }
  w.Add("txtMaxVal", "", std::nullopt, "000000");
  w.Add("lblMaxCap", "max_wagi", "Max wagi");
  w.Add("Frame2", "wagi_zgodne", "Wzagi zgodne");
  w.Add("lstWagiZgodne", "", std::nullopt, "");
  w.Add("Frame1", "typ_ramki", "Typ ramki");
  w.Add("Option1", "text", "Dane tekstowe");
  w.Add("Option2", "value", "Dane numeryczne");
  for (const char* n : {"chZmiana", "chZmianaLF", "chZmianaCR"}) w.Add(n, "hot key", "");
  w.Add("Label19", "dot", "Zmiana \".\" >> \",\"");
  w.Add("lblZmianaLF", "LF", "Usuń \"LF\"");
  w.Add("Label20", "CR", "Usuń \"CR\"  ");
  w.Add("Label18", "block", "RAMKA");
  w.Add("cmdWersja", "wersja", "");
  w.Add("Label24", "tryb_pracy", "TRYB PRACY");
  w.Add("opModPracy(0)", "opModPracy0", "- max[4mA] >> 0[12mA] << + max[20mA]");
  w.Add("opModPracy(1)", "opModPracy1", "- max[20mA] >> 0[4mA] << + max[20mA]");
  w.Add("opModPracy(2)", "opModPracy2", "- max[4mA] >> 0[4mA] << + max[20mA]");
  w.Add("Timer3", "", std::nullopt);
  w.Add("ButtonXP2", "pokaz_wykres", "");
  w.Add("Label17", "print", "Nasłuch ciągły");
  w.Add("Label9", "transmition", "TRANSMISJA");
  w.Add("cmdOkNrPortu", "set", "Zastosuj");
  w.Add("cmdNoNrPortu", "cancel", "Anuluj");
  w.Add("cmdCLRNrPortu", "clr", "CLR");
  w.Add("Label14", "conect", "POŁĄCZENIE");
  w.Add("lblSpeedCap", "speed", "prędkość transmisji");
  w.Add("lblBitsDataCap", "bits data", "bity danych");
  w.Add("lblBitsStopCap", "bits stop", "bity stopu");
  w.Add("lblPariteCap", "parity", "parzystość");
  w.Add("LblNrPortuCap", "comm", "numer portu");
  w.Add("lblNrPortuVal", "", "1");
  w.Add("cmdWczytajPlik", "odczytPlik", "");
  w.Add("cmdZapiszPlik", "zapiszPlik", "");
  w.Add("cmdStart", "start", "");
  w.Add("cmdZamknij", "end", "Zamknij");
  w.Add("Label2", "cntkonwerter", "Konwerter");
  w.Add("Label7", "cntPlik", "Plik");
  w.Add("Label12", "CONFIG", "Konfiguracja");
  w.Add("lblLogoHandel", "logoHandel", "Dział handlowy: tel. (00) 000 00 00");
  w.Add("lblLogoTel", "logoTel", "tel. (00) 000 00 00, faks (00) 000 00 01");
  w.Add("lblLogo3", "logo3", "");
  w.Add("lblLogo2", "logo2", "");
  w.Add("lblLogo1", "logo1", "");
  w.Add("lblHelp", "help", "Help");
  w.Add("txtTransmisja", "wait", "Czekaj transmisja");
  // The side-menu entries come later in window order than the page titles.
  w.Add("lblPlik", "param_wagi", "PARAMETRY WAGI");
  w.Add("lblRamka", "BLOCK", "Ramka");
  w.Add("lblzdarzenia", "tryb_pracy", "TRYB PRACY");
  w.Add("lblTransmisja", "transmition", "SYMULATOR");
  w.Add("LblUstawieniaPortu", "conect", "POŁACZENIE");
}

class LanguageTest : public ::testing::Test {
 protected:
  void SetUp() override { LanguageFile = folder_.File("set.lng"); }
  void TearDown() override { LanguageFile.clear(); }

  void Store(const std::string& bytes) const { WriteBytes(LanguageFile, bytes); }
  std::vector<IniPair> Section(const std::string& name) const {
    std::vector<IniPair> table;
    ReadIniSection(name, LanguageFile, table);
    return table;
  }

  TempFolder folder_;
};

TEST_F(LanguageTest, FirstStartFillsTheFileInWindowOrder) {
  FakeWindow window("glowna", "Konwerter - C\\I");
  BuildMainWindow(window);
  TranslateControls("glowna", window, window.Caption());
  TranslateFormCaption(window);

  std::vector<IniPair> glowna = Section("glowna");
  const auto& expected = testing_support::MainWindowEntries();
  ASSERT_EQ(glowna.size(), expected.size() + 1);
  for (size_t i = 0; i < expected.size(); ++i) {
    EXPECT_EQ(glowna[i].KeyText, expected[i].first) << i;
    // Values read back without their trailing blanks ("CR").
    std::string value = expected[i].second;
    value.erase(value.find_last_not_of(' ') + 1);
    EXPECT_EQ(glowna[i].ValueText, value) << expected[i].first;
  }

  // "glowna" comes first in the file, then "Formatki".
  const std::string bytes = ReadBytes(LanguageFile);
  EXPECT_EQ(bytes.rfind("[glowna]\r\nparam_wagi=PARAMETRY WAGI\r\nodbierz=\r\nustaw=\r\n", 0), 0u);
  EXPECT_NE(bytes.find("conect=PO\xA3\xA5"
                       "CZENIE\r\n"),
            std::string::npos);
  const std::string tail = "[Formatki]\r\nglowna=Konwerter - C\\I\r\n";
  ASSERT_GE(bytes.size(), tail.size());
  EXPECT_EQ(bytes.substr(bytes.size() - tail.size()), tail);

  EXPECT_EQ(window.Caption(), "Konwerter - C\\I");
  EXPECT_EQ(window.Named("Label33").caption(), "PARAMETRY WAGI");
  EXPECT_EQ(window.Named("lblRamka").caption(), "RAMKA");
  EXPECT_EQ(window.Named("LblUstawieniaPortu").caption(), "POŁĄCZENIE");
  EXPECT_EQ(window.Named("lblTransmisja").caption(), "TRANSMISJA");
  EXPECT_EQ(window.Named("cmdUstawAll").caption(), "");
  EXPECT_EQ(window.Named("Label20").caption(), "Usuń \"CR\"  ");
  EXPECT_EQ(window.Named("lblNrPortuVal").caption(), "1");  // untagged
  EXPECT_EQ(window.Named("txtMaxVal").text(), "000000");
}

// The main window's load, as its start makes it, and what it asked of the
// disk, its background flush included.
DiskCalls LoadMainWindow() {
  platform::WaitForBackgroundSyncs();
  Record([](DiskCalls& calls) { calls = DiskCalls{}; });
  {
    const LanguageLoad load;
    FakeWindow window("glowna", "Konwerter - C\\I");
    BuildMainWindow(window);
    TranslateControls("glowna", window, window.Caption());
    TranslateFormCaption(window);
  }
  platform::WaitForBackgroundSyncs();
  DiskCalls made;
  Record([&](DiskCalls& calls) { made = calls; });
  return made;
}

TEST_F(LanguageTest, AFirstStartReadsTheFileOnceAndFlushesItOnceAtTheEnd) {
  for (const char* start : {static_cast<const char*>(nullptr), "", "\r\n", "[Formatki]\r\n"}) {
    SCOPED_TRACE(start ? start : "no file");
    if (start) Store(start);
    const DiskCalls calls = LoadMainWindow();
    EXPECT_EQ(Section("glowna").size(), testing_support::MainWindowEntries().size() + 1);
    EXPECT_LE(calls.syncs.size(), 2u);
    const std::string filled =
        LanguageFile + " (" + std::to_string(ReadBytes(LanguageFile).size()) + " bytes)";
    EXPECT_THAT(calls.syncs, ::testing::Contains(filled));
    // One read, one flush; one listing of the folder.
    EXPECT_EQ(calls.opens.at(LanguageFile), 2);
    EXPECT_EQ(calls.listings.at(folder_.path()), 1);
  }
  // The start after: nothing to write.
  const DiskCalls calls = LoadMainWindow();
  EXPECT_TRUE(calls.syncs.empty());
  EXPECT_EQ(calls.opens.at(LanguageFile), 1);
  EXPECT_EQ(calls.listings.at(folder_.path()), 1);
}

TEST_F(LanguageTest, StoredTextIsShownAndTheFileIsNotWritten) {
  Store("[GLOWNA]\r\nBlock=Frame\r\nend=Close\r\n");
  const ino_t before = Inode(LanguageFile);
  FakeWindow window("glowna", "Konwerter - C\\I");
  window.Add("Label18", "block", "RAMKA");
  window.Add("lblRamka", "BLOCK", "Ramka");
  window.Add("cmdZamknij", "end", "Zamknij");
  TranslateControls("glowna", window, window.Caption());
  EXPECT_EQ(window.Named("Label18").caption(), "Frame");
  EXPECT_EQ(window.Named("lblRamka").caption(), "Frame");
  EXPECT_EQ(window.Named("cmdZamknij").caption(), "Close");
  EXPECT_EQ(Inode(LanguageFile), before);
  EXPECT_EQ(ReadBytes(LanguageFile), "[GLOWNA]\r\nBlock=Frame\r\nend=Close\r\n");
}

TEST_F(LanguageTest, EmptyEntryIsOverwrittenWithTheBuiltInText) {
  Store("[glowna]\r\nend=\r\nhelp=Pomoc\r\n");
  EXPECT_EQ(TranslateText("glowna", "end", "Zamknij"), "Zamknij");
  EXPECT_EQ(ReadBytes(LanguageFile), "[glowna]\r\nend=Zamknij\r\nhelp=Pomoc\r\n");
}

TEST_F(LanguageTest, EmptyBuiltInTextIsWrittenOnceAndThenLeftAlone) {
  EXPECT_EQ(TranslateText("glowna", "ustaw", ""), "");
  EXPECT_EQ(ReadBytes(LanguageFile), "[glowna]\r\nustaw=\r\n");
  // Writing it again would give the same bytes: the file is not touched.
  const ino_t first = Inode(LanguageFile);
  EXPECT_EQ(TranslateText("glowna", "ustaw", ""), "");
  EXPECT_EQ(Inode(LanguageFile), first);
  EXPECT_EQ(ReadBytes(LanguageFile), "[glowna]\r\nustaw=\r\n");
}

TEST_F(LanguageTest, TooLongEntryIsKeptAndTheBuiltInTextShown) {
  const std::string translation(120, 'T');
  const std::string original = "[glowna]\r\nhelp=" + translation + "\r\n";
  Store(original);
  EXPECT_EQ(TranslateText("glowna", "help", "Help"), "Help");
  EXPECT_EQ(ReadBytes(LanguageFile), original);

  // 98 bytes still read; 99 are too long.
  Store("[glowna]\r\na=" + std::string(98, 'x') + "\r\nb=" + std::string(99, 'y') + "\r\n");
  EXPECT_EQ(TranslateText("glowna", "a", "A"), std::string(98, 'x'));
  EXPECT_EQ(TranslateText("glowna", "b", "B"), "B");
  EXPECT_EQ(ReadIniValue(LanguageFile, "glowna", "b", ""), "");
}

TEST_F(LanguageTest, ControlsWithoutCaptionOrTagAreSkippedAndTheWalkGoesOn) {
  FakeWindow window("wykresy", "Form1");
  window.Add("Picture1", "picture", std::nullopt);        // no Caption: no entry
  window.Add("Text1", "txt", std::nullopt, "some text");  // Text only, mode not "text"
  window.Add("Label2", "", "untagged");                   // never translated
  window.Add("Broken", "broken", "Broken").set_tag_fails(true);
  window.Add("Label1", "zamknij_okno", "Zamknij to okno");
  TranslateControls("wykresy", window, window.Caption());

  EXPECT_EQ(ReadBytes(LanguageFile), "[wykresy]\r\nzamknij_okno=Zamknij to okno\r\n");
  EXPECT_EQ(window.Named("Label1").caption(), "Zamknij to okno");
  EXPECT_EQ(window.Named("Text1").text(), "some text");
  // The chart window's own caption is never looked up.
  EXPECT_EQ(window.Caption(), "Form1");
}

TEST_F(LanguageTest, TextIsTranslatedOnlyInModeText) {
  Store("[s]\r\nt=Stored\r\n");
  FakeWindow window("s", "Caption");
  FakeControl& box = window.Add("Text1", "t", std::nullopt, "typed");
  FakeControl& empty = window.Add("Text2", "e", std::nullopt, "");
  TranslateControls("s", window, "Text");
  EXPECT_EQ(box.text(), "typed");
  TranslateControls("s", window, "text");
  EXPECT_EQ(box.text(), "Stored");
  EXPECT_EQ(empty.text(), "");
  EXPECT_EQ(ReadIniValue(LanguageFile, "s", "e", "absent"), "absent");
}

TEST_F(LanguageTest, MessageKeepsThePortNumberOfItsFirstUse) {
  EXPECT_EQ(TranslateMessageText("BrakPortu", "Port com3 nie jest zainstalowany"),
            "Port com3 nie jest zainstalowany");
  EXPECT_EQ(TranslateMessageText("BrakPortu", "Port com5 nie jest zainstalowany"),
            "Port com3 nie jest zainstalowany");
  EXPECT_EQ(ReadBytes(LanguageFile),
            "[komunikaty]\r\nBrakPortu=Port com3 nie jest zainstalowany\r\n");
}

TEST_F(LanguageTest, MessageWithoutBuiltInTextIsItsOwnKey) {
  const std::string timeout = "Przekroczony czas oczekiwania!";
  EXPECT_EQ(TranslateMessageText(timeout, ""), timeout);
  EXPECT_EQ(ReadBytes(LanguageFile), "[komunikatyProste]\r\n" + timeout + "=" + timeout + "\r\n");
  Store("[KOMUNIKATYPROSTE]\r\n" + timeout + "=Time-out!\r\n");
  EXPECT_EQ(TranslateMessageText(timeout, ""), "Time-out!");
}

TEST_F(LanguageTest, AFirstStartsEntriesReachTheFileAtOnce) {
  // No file yet: the load's writes are flushed once, at its end, but each
  // replaces the file at once.
  const LanguageLoad load;
  EXPECT_EQ(TranslateText("glowna", "end", "Zamknij"), "Zamknij");
  EXPECT_EQ(ReadBytes(LanguageFile), "[glowna]\r\nend=Zamknij\r\n");
  EXPECT_EQ(TranslateText("glowna", "block", "Ramka"), "Ramka");
  EXPECT_EQ(ReadBytes(LanguageFile), "[glowna]\r\nend=Zamknij\r\nblock=Ramka\r\n");
  EXPECT_EQ(TranslateText("glowna", "end", "Koniec"), "Zamknij");
  EXPECT_EQ(folder_.Listing(), "set.lng;");
}

TEST_F(LanguageTest, UnwritableLanguageFileStillGivesTheBuiltInText) {
  LanguageFile = folder_.File("missing/set.lng");
  FakeWindow window("glowna", "Konwerter - C\\I");
  window.Add("cmdZamknij", "end", "Zamknij");
  TranslateControls("glowna", window, window.Caption());
  TranslateFormCaption(window);
  EXPECT_EQ(window.Named("cmdZamknij").caption(), "Zamknij");
  EXPECT_EQ(window.Caption(), "Konwerter - C\\I");
  EXPECT_EQ(TranslateMessageText("PortOtwarty", "Port com1 jest już otwarty"),
            "Port com1 jest już otwarty");
  EXPECT_FALSE(testing_support::Exists(LanguageFile));
}

}  // namespace
}  // namespace settings
