#include "platform/files.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "support/child_process.h"
#include "support/temp_folder.h"

namespace platform {
namespace {

namespace fs = std::filesystem;

// The test program starts the way the program does.
class IgnoreFileSizeSignalAtStart : public ::testing::Environment {
 public:
  void SetUp() override { IgnoreFileSizeSignal(); }
};
const auto* const kAtStart = ::testing::AddGlobalTestEnvironment(new IgnoreFileSizeSignalAtStart);

class FilesTest : public ::testing::Test {
 protected:
  void TearDown() override { SetAppFolderForTesting(""); }

  std::string Path(const std::string& name) const { return dir_.File(name); }
  void Put(const std::string& name, const std::string& bytes) const {
    testing_support::WriteBytes(Path(name), bytes);
  }
  std::string Get(const std::string& path) const {
    std::string bytes;
    EXPECT_TRUE(ReadWholeFile(path, &bytes)) << path;
    return bytes;
  }

  testing_support::TempFolder dir_;
};

TEST_F(FilesTest, AppFolderIsTheExecutablesFolderUnlessOverridden) {
  std::string real = AppFolder();
  ASSERT_FALSE(real.empty());
  EXPECT_NE(real.back(), '/');
  EXPECT_TRUE(fs::exists(real + "/platform_tests")) << real;
  SetAppFolderForTesting(dir_.path() + "/");
  EXPECT_EQ(AppFolder(), dir_.path());
  EXPECT_EQ(AppPath("settings.ini"), dir_.File("settings.ini"));
  SetAppFolderForTesting("");
  EXPECT_EQ(AppFolder(), real);
}

TEST_F(FilesTest, ResolvesNamesWithoutRegardToCase) {
  Put("Settings.ini", "x");
  EXPECT_EQ(ResolveCaseInsensitive(Path("Settings.ini")), Path("Settings.ini"));
  EXPECT_EQ(ResolveCaseInsensitive(Path("settings.ini")), Path("Settings.ini"));
  EXPECT_EQ(ResolveCaseInsensitive(Path("SETTINGS.INI")), Path("Settings.ini"));
  // A file that is not there keeps the name it was given.
  EXPECT_EQ(ResolveCaseInsensitive(Path("set.lng")), Path("set.lng"));
  EXPECT_EQ(ResolveCaseInsensitive(Path("missing/set.lng")), Path("missing/set.lng"));
}

TEST_F(FilesTest, SeveralCaseVariantsResolveToTheFirstInNameOrder) {
  Put("sEt.lng", "b");
  Put("SET.lng", "a");
  EXPECT_EQ(ResolveCaseInsensitive(Path("set.lng")), Path("SET.lng"));
  // Every spelling reaches the same file, the exact one included.
  EXPECT_EQ(ResolveCaseInsensitive(Path("sEt.lng")), Path("SET.lng"));
}

TEST_F(FilesTest, ALoadResolvesAndReadsEachFileOnceAndSeesItsOwnWrites) {
  const std::string file = Path("settings.ini");
  std::string bytes;
  Put("settings.ini", "AAAA");
  {
    const FileLoad load;
    EXPECT_EQ(ResolveCaseInsensitive(Path("Settings.ini")), file);
    ASSERT_TRUE(ReadFileInLoad(file, &bytes));
    // What others change waits for the next load, even past a load inside this one.
    Put("Settings.ini", "new");
    Put("settings.ini", "BBBB");
    { const FileLoad inner; }
    EXPECT_EQ(ResolveCaseInsensitive(Path("Settings.ini")), file);
    ASSERT_TRUE(ReadFileInLoad(file, &bytes));
    EXPECT_EQ(bytes, "AAAA");
    // What the load writes, it reads back.
    ASSERT_TRUE(WriteFileAtomically(file, "CCCC", FileSync::kLater));
    ASSERT_TRUE(ReadFileInLoad(file, &bytes));
    EXPECT_EQ(bytes, "CCCC");
  }
  EXPECT_EQ(ResolveCaseInsensitive(file), Path("Settings.ini"));
  Put("settings.ini", "DDDD");
  ASSERT_TRUE(ReadFileInLoad(file, &bytes));
  EXPECT_EQ(bytes, "DDDD");
}

TEST_F(FilesTest, ABackgroundSyncWithNoThreadToBeHadRunsAtOnce) {
  Put("set.lng", "x");
  const std::string file = Path("set.lng");
  // As from the destructor that calls it: a throw ends the process.
  const int status = testing_support::RunWithoutThreads([&]() noexcept {
    SyncFileInBackground(file);
    WaitForBackgroundSyncs();
    return 0;
  });
  if (status == testing_support::kChildCannotSetUp) GTEST_SKIP() << "cannot limit processes here";
  EXPECT_EQ(status, 0);
}

TEST_F(FilesTest, ReadWholeFileReadsEveryByte) {
  std::string bytes("a\0\xFF\r\nb", 6);
  Put("data", bytes);
  EXPECT_EQ(Get(Path("data")), bytes);
  Put("empty", "");
  EXPECT_EQ(Get(Path("empty")), "");
  std::string big(300000, 'x');
  Put("big", big);
  EXPECT_EQ(Get(Path("big")), big);
}

TEST_F(FilesTest, ReadWholeFileFailsOnWhatIsNoReadableFile) {
  std::string bytes = "stale";
  EXPECT_FALSE(ReadWholeFile(Path("missing"), &bytes));
  EXPECT_EQ(bytes, "");
  bytes = "stale";
  EXPECT_FALSE(ReadWholeFile(dir_.path(), &bytes));
  EXPECT_EQ(bytes, "");
  ASSERT_EQ(symlink(Path("nowhere").c_str(), Path("dangling").c_str()), 0);
  EXPECT_FALSE(ReadWholeFile(Path("dangling"), &bytes));
  ASSERT_EQ(mkfifo(Path("pipe").c_str(), 0600), 0);
  EXPECT_FALSE(ReadWholeFile(Path("pipe"), &bytes));  // and does not wait for a writer
}

TEST_F(FilesTest, WriteReplacesContentsAndLeavesNoTemporaryFile) {
  EXPECT_TRUE(WriteFileAtomically(Path("new.ini"), "first"));
  EXPECT_EQ(Get(Path("new.ini")), "first");
  EXPECT_TRUE(WriteFileAtomically(Path("new.ini"), "second, longer"));
  EXPECT_EQ(Get(Path("new.ini")), "second, longer");
  EXPECT_TRUE(WriteFileAtomically(Path("new.ini"), ""));
  EXPECT_EQ(Get(Path("new.ini")), "");
  EXPECT_EQ(dir_.Listing(), "new.ini;");
}

TEST_F(FilesTest, WriteKeepsPermissionBits) {
  Put("a.ini", "old");
  ASSERT_EQ(chmod(Path("a.ini").c_str(), 0640), 0);
  ASSERT_TRUE(WriteFileAtomically(Path("a.ini"), "new"));
  struct stat info;
  ASSERT_EQ(stat(Path("a.ini").c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 07777, 0640u);
}

TEST_F(FilesTest, WriteThroughASymbolicLinkKeepsTheLink) {
  Put("real.ini", "old");
  ASSERT_EQ(symlink("real.ini", Path("link.ini").c_str()), 0);
  ASSERT_TRUE(WriteFileAtomically(Path("link.ini"), "new"));
  struct stat info;
  ASSERT_EQ(lstat(Path("link.ini").c_str(), &info), 0);
  EXPECT_TRUE(S_ISLNK(info.st_mode));
  EXPECT_EQ(Get(Path("real.ini")), "new");
  EXPECT_EQ(dir_.Listing(), "link.ini;real.ini;");
}

TEST_F(FilesTest, WriteRefusesFoldersAndMissingParents) {
  ASSERT_EQ(mkdir(Path("folder").c_str(), 0755), 0);
  Put("folder/inside", "kept");
  EXPECT_FALSE(WriteFileAtomically(Path("folder"), "x"));
  EXPECT_EQ(Get(Path("folder/inside")), "kept");
  EXPECT_FALSE(WriteFileAtomically(Path("missing/file.ini"), "x"));
  EXPECT_FALSE(fs::exists(Path("missing")));
  Put("plain", "kept");
  EXPECT_FALSE(WriteFileAtomically(Path("plain/file.ini"), "x"));  // parent is a file
  EXPECT_EQ(Get(Path("plain")), "kept");
  EXPECT_FALSE(WriteFileAtomically("", "x"));
  ASSERT_EQ(mkfifo(Path("pipe").c_str(), 0600), 0);
  EXPECT_FALSE(WriteFileAtomically(Path("pipe"), "x"));
}

// Runs body in a child process with a small file-size limit, as a full disk
// would stop a write; returns the child's exit status (or 100 + signal).
template <typename Body>
int RunWithFileSizeLimit(rlim_t limit, bool ignore_signal, Body body) {
  pid_t pid = fork();
  if (pid == 0) {
    if (ignore_signal) {
      IgnoreFileSizeSignal();
    } else {
      signal(SIGXFSZ, SIG_DFL);
    }
    struct rlimit rl = {limit, limit};
    if (setrlimit(RLIMIT_FSIZE, &rl) != 0) _exit(90);
    _exit(body());
  }
  int status = 0;
  waitpid(pid, &status, 0);
  if (WIFSIGNALED(status)) return 100 + WTERMSIG(status);
  return WEXITSTATUS(status);
}

TEST_F(FilesTest, FailedWriteLeavesTheOldFileWhole) {
  std::string old(500, 'o');
  Put("s.ini", old);
  std::string path = Path("s.ini");
  for (bool ignore : {false, true}) {
    int status = RunWithFileSizeLimit(1000, ignore, [&] {
      if (WriteFileAtomically(path, std::string(5000, 'n'))) return 1;
      if (!WriteFileAtomically(path, std::string(900, 'k'))) return 2;  // within the limit
      if (WriteFileAtomically(path, std::string(1001, 'n'))) return 3;
      return 0;
    });
    EXPECT_EQ(status, 0) << "ignore=" << ignore;
    EXPECT_EQ(Get(path), std::string(900, 'k'));
    EXPECT_EQ(dir_.Listing(), "s.ini;");
    Put("s.ini", old);
  }
}

TEST_F(FilesTest, IgnoredFileSizeSignalTurnsIntoAnError) {
  std::string path = Path("raw");
  int status = RunWithFileSizeLimit(10, true, [&] {
    FILE* f = std::fopen(path.c_str(), "w");
    if (f == nullptr) return 1;
    std::fputs("more than ten bytes", f);
    return std::fclose(f) == 0 ? 2 : 0;  // the flush fails instead of killing the child
  });
  EXPECT_EQ(status, 0);
}

}  // namespace
}  // namespace platform
