// Faults of the settings and language files: a folder that cannot be
// written (a read-only mount), a full disk (a small tmpfs: the write fails
// part-way), a file-size limit, a settings file that is no regular file
// (a folder, a dangling link, a pipe, a device, a link loop), read-only
// files, a folder that refuses new files, a shared folder with the sticky
// bit, files far too large, and the leftovers of a run killed during a
// write. The writes report false (or, where the file itself may be written,
// write it in place), nothing is lost, nothing stray stays behind, nothing
// hangs.
//
// The tests run as root, for whom permission bits stop nothing. The folder
// that cannot be written and the full disk are therefore real: a child
// process takes a private view of the mounts (unshare) and mounts the test
// folder read-only, or a tmpfs with no room, over it. Where the machine does
// not allow mounting, those tests are skipped. What an ordinary user may not
// do is tried in a child that has become an ordinary user.

#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "platform/cp1250.h"
#include "settings/ini.h"
#include "settings/language.h"
#include "support/child_process.h"
#include "support/temp_folder.h"

namespace settings {
namespace {

using testing_support::ReadBytes;
using testing_support::TempFolder;
using testing_support::WriteBytes;

using testing_support::kChildCannotSetUp;
using testing_support::kOrdinaryUser;
using testing_support::RunAsOrdinaryUser;
using testing_support::RunInChild;

enum class FolderState { kReadOnly, kFull };

// Runs body in a child process in which folder is read-only, or is a tmpfs
// of room_kb kilobytes holding copies of the named files. Returns the
// child's exit status: body's result, kChildCannotSetUp, or 100 + a signal.
int RunWithFolder(const std::string& folder, FolderState state, int room_kb,
                  const std::vector<std::string>& files, const std::function<int()>& body) {
  std::vector<std::string> contents;
  for (const auto& name : files) contents.push_back(ReadBytes(folder + "/" + name));
  return RunInChild([&] {
    if (!testing_support::PrivateMounts()) return kChildCannotSetUp;
    if (state == FolderState::kReadOnly) {
      if (!testing_support::MakeReadOnly(folder)) return kChildCannotSetUp;
    } else {
      std::string options = "size=" + std::to_string(room_kb) + "k";
      if (mount("tmpfs", folder.c_str(), "tmpfs", 0, options.c_str()) != 0)
        return kChildCannotSetUp;
      for (size_t i = 0; i < files.size(); ++i) WriteBytes(folder + "/" + files[i], contents[i]);
      for (size_t i = 0; i < files.size(); ++i) {
        if (ReadBytes(folder + "/" + files[i]) != contents[i]) return kChildCannotSetUp;  // no room
      }
    }
    return body();
  });
}

// Runs body in a child process whose files may grow to limit bytes at most;
// SIGXFSZ ignored (as the program does) or left to end the process.
int RunWithFileSizeLimit(rlim_t limit, bool ignore_signal, const std::function<int()>& body) {
  return RunInChild([&] {
    signal(SIGXFSZ, ignore_signal ? SIG_IGN : SIG_DFL);
    rlimit rl{limit, limit};
    if (setrlimit(RLIMIT_FSIZE, &rl) != 0) return 90;
    return body();
  });
}

// In a child, the first failed check gives its number as the exit status.
#define CHILD_CHECK(number, condition)                                   \
  do {                                                                   \
    if (!(condition)) {                                                  \
      std::fprintf(stderr, "check %d failed: %s\n", number, #condition); \
      return number;                                                     \
    }                                                                    \
  } while (0)

class FaultFilesTest : public ::testing::Test {
 protected:
  FaultFilesTest() {
    settings_ = folder_.File("Settings.ini");
    language_ = folder_.File("set.lng");
    // Big enough that a second copy does not fit on the small disk below.
    std::string lines = "[USTAWIENIA]\r\nNR PORTU=3\r\n";
    lines += platform::Utf8ToCp1250("PRĘDKOŚĆ=19200\r\n");
    lines += "[wagi]\r\n";
    for (int i = 0; lines.size() < 9000; ++i) lines += "Waga " + std::to_string(i) + "=1\r\n";
    settings_bytes_ = lines;
    language_bytes_ = platform::Utf8ToCp1250("[komunikaty]\r\nBłąd=Błąd zapisu\r\n") +
                      std::string(9000, ';') + "\r\n";
    WriteBytes(settings_, settings_bytes_);
    WriteBytes(language_, language_bytes_);
    LanguageFile = language_;
  }
  ~FaultFilesTest() override { LanguageFile.clear(); }

  // Both files as they were and nothing else in the folder.
  int FilesUnchanged() const {
    CHILD_CHECK(51, ReadBytes(settings_) == settings_bytes_);
    CHILD_CHECK(52, ReadBytes(language_) == language_bytes_);
    CHILD_CHECK(53, folder_.Listing() == "Settings.ini;set.lng;");
    return 0;
  }

  // Everything the program writes, in a folder where no write can succeed.
  int WritesFailAndLoseNothing() const {
    CHILD_CHECK(1, !WriteIniValue(settings_, "USTAWIENIA", "NR PORTU", "4"));
    CHILD_CHECK(2, !WriteIniValue(settings_, "USTAWIENIA", "NOWY", "1"));
    CHILD_CHECK(3, !WriteIniValue(settings_, "nowa", "klucz", "1"));
    CHILD_CHECK(4, !WriteIniValue(folder_.File("settings.ini"), "parametry", "max", "1"));
    CHILD_CHECK(6, ReadIniValue(settings_, "USTAWIENIA", "NR PORTU", "1") == "3");
    CHILD_CHECK(7, ReadIniValue(settings_, "ustawienia", "PRĘDKOŚĆ", "9600") == "19200");
    // The language file cannot fill itself: the built-in text is used.
    CHILD_CHECK(8, TranslateMessageText("Nowy", "Nowy komunikat") == "Nowy komunikat");
    CHILD_CHECK(9, TranslateText("KEY", "cmdX", "Zapisz") == "Zapisz");
    CHILD_CHECK(10, TranslateMessageText("Błąd", "inny") == "Błąd zapisu");
    return FilesUnchanged();
  }

  TempFolder folder_;
  std::string settings_, language_;
  std::string settings_bytes_, language_bytes_;
};

TEST_F(FaultFilesTest, ReadOnlyFolderRefusesEveryWriteAndKeepsTheFiles) {
  int status = RunWithFolder(folder_.path(), FolderState::kReadOnly, 0, {}, [&] {
    CHILD_CHECK(5, !WriteIniValue(folder_.File("nowy.ini"), "a", "b", "c"));
    return WritesFailAndLoseNothing();
  });
  if (status == kChildCannotSetUp) GTEST_SKIP() << "mounting is not allowed here";
  EXPECT_EQ(status, 0);
  EXPECT_EQ(FilesUnchanged(), 0);
}

TEST_F(FaultFilesTest, FullDiskFailsPartWayAndLeavesNoTrace) {
  // 28 KB of room holds the two files (three pages of 4 KB each) and one page
  // more: a new copy of either runs out of room part-way through its bytes.
  int status =
      RunWithFolder(folder_.path(), FolderState::kFull, 28, {"Settings.ini", "set.lng"}, [&] {
        if (int failed = WritesFailAndLoseNothing()) return failed;
        // Once there is room again, the write succeeds.
        unlink(language_.c_str());
        CHILD_CHECK(20, WriteIniValue(settings_, "USTAWIENIA", "NR PORTU", "4"));
        CHILD_CHECK(21, ReadIniValue(settings_, "USTAWIENIA", "NR PORTU", "") == "4");
        CHILD_CHECK(22, folder_.Listing() == "Settings.ini;");
        return 0;
      });
  if (status == kChildCannotSetUp) GTEST_SKIP() << "mounting is not allowed here";
  EXPECT_EQ(status, 0);
  EXPECT_EQ(FilesUnchanged(), 0);  // the mount was the child's only
}

TEST_F(FaultFilesTest, FileSizeLimitBelowTheNewFileFailsTheWrite) {
  // The limit lies between the old size and the new one.
  const rlim_t limit = settings_bytes_.size() + 10;
  for (bool ignore_signal : {true, false}) {
    int status = RunWithFileSizeLimit(limit, ignore_signal, [&] {
      CHILD_CHECK(1, !WriteIniValue(settings_, "USTAWIENIA", "NOWY KLUCZ", "wartość"));
      CHILD_CHECK(2, !WriteIniValue(settings_, "USTAWIENIA", "NR PORTU", std::string(40, '7')));
      CHILD_CHECK(3, !WriteIniValue(language_, "komunikaty", "x", std::string(200, 'y')));
      CHILD_CHECK(4, TranslateMessageText("Nowy", "Nowy komunikat") == "Nowy komunikat");
      if (int failed = FilesUnchanged()) return failed;
      // A write that stays within the limit still works.
      CHILD_CHECK(5, WriteIniValue(settings_, "USTAWIENIA", "NR PORTU", "5"));
      CHILD_CHECK(6, ReadIniValue(settings_, "USTAWIENIA", "NR PORTU", "") == "5");
      return 0;
    });
    EXPECT_EQ(status, 0) << "SIGXFSZ ignored: " << ignore_signal;
    EXPECT_EQ(ReadIniValue(settings_, "USTAWIENIA", "NR PORTU", ""), "5");
    EXPECT_EQ(folder_.Listing(), "Settings.ini;set.lng;");
    WriteBytes(settings_, settings_bytes_);
  }
}

TEST_F(FaultFilesTest, SettingsFileThatIsNoRegularFileGivesTheDefaults) {
  ASSERT_EQ(unlink(settings_.c_str()), 0);
  ASSERT_EQ(mkfifo(folder_.File("pipe").c_str(), 0600), 0);
  struct Case {
    const char* what;
    std::function<void()> make;
  };
  const std::vector<Case> cases = {
      {"folder", [&] { mkdir(settings_.c_str(), 0755); }},
      // Left alone, not replaced: it may point at a drive that is not there now.
      {"dangling link", [&] { symlink("nowhere.ini", settings_.c_str()); }},
      {"link to a pipe", [&] { symlink("pipe", settings_.c_str()); }},
      {"link to an endless device", [&] { symlink("/dev/zero", settings_.c_str()); }},
      {"link loop", [&] { symlink("Settings.ini", settings_.c_str()); }},
  };
  for (const Case& c : cases) {
    c.make();
    struct stat before;
    ASSERT_EQ(lstat(settings_.c_str(), &before), 0) << c.what;
    auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(ReadIniValue(settings_, "USTAWIENIA", "NR PORTU", "1"), "1") << c.what;
    EXPECT_EQ(ReadIniValue(folder_.File("settings.ini"), "USTAWIENIA", "BITY STOPU", "1 "), "1")
        << c.what;
    std::vector<IniPair> table(2, IniPair{"x", "y"});
    ReadIniSection("USTAWIENIA", settings_, table);
    ASSERT_EQ(table.size(), 1u) << c.what;
    EXPECT_TRUE(table[0].KeyText.empty() && table[0].ValueText.empty()) << c.what;
    EXPECT_FALSE(WriteIniValue(settings_, "USTAWIENIA", "NR PORTU", "2")) << c.what;
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(2)) << c.what;
    struct stat after;
    ASSERT_EQ(lstat(settings_.c_str(), &after), 0) << c.what;
    EXPECT_EQ(after.st_ino, before.st_ino) << c.what;
    EXPECT_EQ(after.st_mode, before.st_mode) << c.what;
    std::error_code ignored;
    std::filesystem::remove_all(settings_, ignored);
  }
  EXPECT_EQ(folder_.Listing(), "pipe;set.lng;");
}

TEST_F(FaultFilesTest, LanguageFileThatIsAFolderGivesTheBuiltInTexts) {
  ASSERT_EQ(unlink(language_.c_str()), 0);
  ASSERT_EQ(mkdir(language_.c_str(), 0755), 0);
  EXPECT_EQ(TranslateMessageText("BrakPortu", "Port com1 nie jest zainstalowany"),
            "Port com1 nie jest zainstalowany");
  EXPECT_EQ(TranslateMessageText("Przekroczony czas oczekiwania!", ""),
            "Przekroczony czas oczekiwania!");
  EXPECT_EQ(TranslateText("Formatki", "KEY", "Konwerter"), "Konwerter");
  struct stat info;
  ASSERT_EQ(stat(language_.c_str(), &info), 0);
  EXPECT_TRUE(S_ISDIR(info.st_mode));
}

TEST_F(FaultFilesTest, ReadOnlyFilesAreNeverReplaced) {
  // No write bit: read-only for everybody, root included.
  ASSERT_EQ(chmod(settings_.c_str(), 0444), 0);
  ASSERT_EQ(chmod(language_.c_str(), 0444), 0);
  EXPECT_EQ(WritesFailAndLoseNothing(), 0);
  struct stat info;
  ASSERT_EQ(stat(settings_.c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 07777, 0444u);
  // Root's files that an ordinary user may read but not write, in a folder
  // that user may write.
  ASSERT_EQ(chmod(settings_.c_str(), 0644), 0);
  ASSERT_EQ(chmod(language_.c_str(), 0644), 0);
  ASSERT_EQ(chmod(folder_.path().c_str(), 0777), 0);
  EXPECT_EQ(RunAsOrdinaryUser([&] { return WritesFailAndLoseNothing(); }), 0);
  EXPECT_EQ(FilesUnchanged(), 0);
}

TEST_F(FaultFilesTest, FolderThatRefusesNewFilesStillTakesTheValue) {
  // The user's own files in root's folder, which the user may not add to.
  ASSERT_EQ(chmod(folder_.path().c_str(), 0755), 0);
  ASSERT_EQ(chown(settings_.c_str(), kOrdinaryUser, kOrdinaryUser), 0);
  ASSERT_EQ(chown(language_.c_str(), kOrdinaryUser, kOrdinaryUser), 0);
  int status = RunAsOrdinaryUser([&] {
    CHILD_CHECK(1, WriteIniValue(settings_, "USTAWIENIA", "NR PORTU", "4444"));  // longer
    CHILD_CHECK(2, WriteIniValue(settings_, "USTAWIENIA", "NR PORTU", ""));      // shorter
    CHILD_CHECK(3, TranslateMessageText("Nowy", "Nowy komunikat") == "Nowy komunikat");
    CHILD_CHECK(4, !WriteIniValue(folder_.File("nowy.ini"), "a", "b", "c"));
    return 0;
  });
  EXPECT_EQ(status, 0);
  std::string expected = settings_bytes_;
  expected.replace(expected.find("NR PORTU=3"), 10, "NR PORTU=");
  EXPECT_EQ(ReadBytes(settings_), expected);
  EXPECT_EQ(ReadIniValue(language_, "komunikaty", "Nowy", ""), "Nowy komunikat");
  EXPECT_EQ(folder_.Listing(), "Settings.ini;set.lng;");
}

TEST_F(FaultFilesTest, SharedFolderWithTheStickyBitStillTakesTheValue) {
  // Root's file that everybody may write, in a folder everybody may add to,
  // where only a file's owner may replace it.
  ASSERT_EQ(chmod(folder_.path().c_str(), 01777), 0);
  ASSERT_EQ(chmod(settings_.c_str(), 0666), 0);
  int status = RunAsOrdinaryUser(
      [&] { return WriteIniValue(settings_, "USTAWIENIA", "NR PORTU", "4444") ? 0 : 1; });
  EXPECT_EQ(status, 0);
  std::string expected = settings_bytes_;
  expected.replace(expected.find("NR PORTU=3"), 10, "NR PORTU=4444");
  EXPECT_EQ(ReadBytes(settings_), expected);
  struct stat info;
  ASSERT_EQ(stat(settings_.c_str(), &info), 0);
  EXPECT_EQ(info.st_uid, 0u);
  EXPECT_EQ(info.st_mode & 07777, 0666u);
  EXPECT_EQ(folder_.Listing(), "Settings.ini;set.lng;");
}

TEST_F(FaultFilesTest, FilesFarTooLargeGiveTheDefaultsAndAreNeverWritten) {
  // A sparse terabyte, and garbage just over the megabyte that a real file
  // never comes near.
  ASSERT_EQ(truncate(settings_.c_str(), off_t{1} << 40), 0);
  std::string garbage((1 << 20) + 1, '\n');
  garbage.replace(0, language_bytes_.size(), language_bytes_);
  WriteBytes(language_, garbage);
  const ino_t settings_inode = testing_support::Inode(settings_);
  const ino_t language_inode = testing_support::Inode(language_);
  EXPECT_EQ(ReadIniValue(settings_, "USTAWIENIA", "NR PORTU", "1"), "1");
  std::vector<IniPair> table;
  ReadIniSection("wagi", settings_, table);
  EXPECT_EQ(table.size(), 1u);
  EXPECT_FALSE(WriteIniValue(settings_, "USTAWIENIA", "NR PORTU", "2"));
  EXPECT_EQ(TranslateMessageText("Błąd", "inny"), "inny");
  EXPECT_FALSE(WriteIniValue(language_, "komunikaty", "x", "y"));
  EXPECT_EQ(testing_support::Inode(settings_), settings_inode);
  EXPECT_EQ(testing_support::Inode(language_), language_inode);
  EXPECT_EQ(ReadBytes(language_), garbage);
  EXPECT_EQ(folder_.Listing(), "Settings.ini;set.lng;");

  // Just under the limit the file is read, but no write takes it over.
  garbage.resize((1 << 20) - 1);
  WriteBytes(language_, garbage);
  EXPECT_EQ(ReadIniValue(language_, "komunikaty", "x", "none"), "none");
  EXPECT_FALSE(WriteIniValue(language_, "komunikaty", "x", "y"));
  EXPECT_EQ(ReadBytes(language_), garbage);
}

TEST_F(FaultFilesTest, TemporaryFilesOfAKilledRunGoAtTheNextStart) {
  pid_t gone = fork();
  if (gone == 0) _exit(0);
  ASSERT_EQ(waitpid(gone, nullptr, 0), gone);
  const std::string dead = std::to_string(gone);
  const std::string alive = std::to_string(getppid());  // may be writing now
  for (const std::string& name :
       {".set.lng.tmp" + dead + ".0", ".Settings.ini.tmp" + dead + ".12",
        ".set.lng.tmp" + alive + ".0", ".set.lng.tmp" + dead + ".x", "set.lng.tmp" + dead + ".0"}) {
    WriteBytes(folder_.File(name), language_bytes_);
  }
  EXPECT_EQ(ReadIniValue(settings_, "USTAWIENIA", "NR PORTU", "1"), "3");
  EXPECT_EQ(TranslateMessageText("Błąd", "inny"), "Błąd zapisu");
  // The listing is sorted by name, and the two process ids may sort either way.
  std::vector<std::string> kept = {".set.lng.tmp" + alive + ".0", ".set.lng.tmp" + dead + ".x",
                                   "Settings.ini", "set.lng", "set.lng.tmp" + dead + ".0"};
  std::sort(kept.begin(), kept.end());
  std::string expected;
  for (const std::string& name : kept) expected += name + ";";
  EXPECT_EQ(folder_.Listing(), expected);
}

}  // namespace
}  // namespace settings
