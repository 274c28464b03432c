#include "settings/ini.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "support/temp_folder.h"

namespace settings {
namespace {

using testing_support::ReadBytes;
using testing_support::TempFolder;
using testing_support::WriteBytes;

class IniTest : public ::testing::Test {
 protected:
  std::string Ini() const { return folder_.File("Settings.ini"); }
  void Store(const std::string& bytes) const { WriteBytes(Ini(), bytes); }
  std::vector<IniPair> Section(const std::string& name) const {
    std::vector<IniPair> table;
    ReadIniSection(name, Ini(), table);
    return table;
  }

  TempFolder folder_;
};

::testing::AssertionResult PairIs(const IniPair& pair, const std::string& key,
                                  const std::string& value) {
  if (pair.KeyText == key && pair.ValueText == value) return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure() << "(" << pair.KeyText << ", " << pair.ValueText
                                       << ") instead of (" << key << ", " << value << ")";
}

// --- Section reads -----------------------------------------------------------

TEST_F(IniTest, SectionGivesOnePairPerEntryAndAClosingEmptyPair) {
  Store("[wagi]\r\nA=1\r\nB=ALL\r\n[next]\r\nC=2\r\n");
  std::vector<IniPair> table = Section("wagi");
  ASSERT_EQ(table.size(), 3u);
  EXPECT_TRUE(PairIs(table[0], "A", "1"));
  EXPECT_TRUE(PairIs(table[1], "B", "ALL"));
  EXPECT_TRUE(PairIs(table[2], "", ""));

  Store("[wagi]\r\nA=1\r\n");
  table = Section("WAGI");
  ASSERT_EQ(table.size(), 2u);
  EXPECT_TRUE(PairIs(table[0], "A", "1"));
  EXPECT_TRUE(PairIs(table[1], "", ""));
}

TEST_F(IniTest, SectionEntrySplitsAtTheFirstAndSecondEquals) {
  Store("[s]\r\na=b=c\r\na=\r\n=x\r\n");
  std::vector<IniPair> table = Section("s");
  ASSERT_EQ(table.size(), 4u);
  EXPECT_TRUE(PairIs(table[0], "a", "b"));
  EXPECT_TRUE(PairIs(table[1], "a", ""));
  EXPECT_TRUE(PairIs(table[2], "", "x"));
  EXPECT_TRUE(PairIs(table[3], "", ""));
}

TEST_F(IniTest, MissingOrEmptySectionGivesOnlyTheClosingPair) {
  std::vector<IniPair> table(5, IniPair{"old", "old"});
  ReadIniSection("wagi", Ini(), table);  // no file at all
  ASSERT_EQ(table.size(), 1u);
  EXPECT_TRUE(PairIs(table[0], "", ""));

  Store("[wagi]\r\n\r\n; only a comment\r\n[typy ramek]\r\n0=Ramka 0\r\n");
  EXPECT_EQ(Section("wagi").size(), 1u);
  EXPECT_EQ(Section("parametry").size(), 1u);
}

TEST_F(IniTest, EntryWithoutEqualsBecomesAKeyWithAnEmptyValue) {
  Store("[s]\r\nA=1\r\n  just words  \r\nB=2\r\n");
  std::vector<IniPair> table = Section("s");
  ASSERT_EQ(table.size(), 4u);
  EXPECT_TRUE(PairIs(table[0], "A", "1"));
  EXPECT_TRUE(PairIs(table[1], "just words", ""));
  EXPECT_TRUE(PairIs(table[2], "B", "2"));
  EXPECT_TRUE(PairIs(table[3], "", ""));
}

TEST_F(IniTest, SectionSkipsBlankAndCommentLinesAndTrimsEntries) {
  Store("[s]\r\n\r\n; a comment\r\n  key one =  \"quoted value\"  \r\n\t\r\nk2='x'\r\n");
  std::vector<IniPair> table = Section("s");
  ASSERT_EQ(table.size(), 3u);
  EXPECT_TRUE(PairIs(table[0], "key one", "quoted value"));
  EXPECT_TRUE(PairIs(table[1], "k2", "x"));
}

// Entries of 9 bytes ("kNNN=vvvv") count 10 with their terminator.
std::string NineByteEntries(int count) {
  std::string text = "[big]\r\n";
  for (int i = 0; i < count; ++i) {
    std::string number = std::to_string(1000 + i).substr(1);  // 000 to 999
    text += "k" + number + "=vvvv\r\n";
  }
  return text;
}

TEST_F(IniTest, SectionIsCutAtTenThousandCharacters) {
  // 999 entries and one of 9 bytes: 9999 with terminators, which fits with
  // the final NUL.
  Store(NineByteEntries(999) + "last=123\r\n");
  std::vector<IniPair> table = Section("big");
  ASSERT_EQ(table.size(), 1001u);
  EXPECT_TRUE(PairIs(table[999], "last", "123"));
  EXPECT_TRUE(PairIs(table[1000], "", ""));

  // One byte more and the last entry no longer fits: it is lost whole.
  Store(NineByteEntries(999) + "last=1234\r\n");
  table = Section("big");
  ASSERT_EQ(table.size(), 1000u);
  EXPECT_TRUE(PairIs(table[998], "k998", "vvvv"));
  EXPECT_TRUE(PairIs(table[999], "", ""));

  // Far more than fits: whole entries up to the cut, then the closing pair.
  Store(NineByteEntries(1500));
  table = Section("big");
  ASSERT_EQ(table.size(), 1000u);
  EXPECT_TRUE(PairIs(table[998], "k998", "vvvv"));
}

TEST_F(IniTest, SectionLengthCountsWindows1250Bytes) {
  // 1500 entries of "ą=ść" (4 bytes in the file, 7 in UTF-8) fill 7500 bytes.
  std::string text = "[s]\r\n";
  for (int i = 0; i < 1500; ++i) text += "\xB9=\x9C\xE6\r\n";
  Store(text);
  std::vector<IniPair> table = Section("s");
  ASSERT_EQ(table.size(), 1501u);
  EXPECT_TRUE(PairIs(table[1499], "ą", "ść"));
}

// --- Value reads -------------------------------------------------------------

TEST_F(IniTest, KeysAndSectionsIgnoreLetterCase) {
  Store(
      "[GLOWNA]\r\nblock=RAMKA\r\nPR\xCA"
      "DKO\x8C\xC6=19200\r\n");
  EXPECT_EQ(ReadIniValue(Ini(), "glowna", "Block", "x"), "RAMKA");
  EXPECT_EQ(ReadIniValue(Ini(), "Glowna", "BLOCK", "x"), "RAMKA");
  EXPECT_EQ(ReadIniValue(Ini(), "glowna", "prędkość", "x"), "19200");
  EXPECT_EQ(ReadIniValue(Ini(), "glowna", "PRĘDKOŚĆ", "x"), "19200");
  EXPECT_TRUE(WriteIniValue(Ini(), "GŁÓWNA", "ŁĄŻŹŃÓŠŤ", "1"));
  EXPECT_EQ(ReadIniValue(Ini(), "główna", "łążźńóšť", "x"), "1");
  EXPECT_EQ(ReadIniValue(Ini(), "główna", "ß", "x"), "x");
}

TEST_F(IniTest, PresentEmptyValueBeatsTheDefaultAndMissingKeyTrimsIt) {
  Store("[USTAWIENIA]\r\nPUSTY=\r\n");
  EXPECT_EQ(ReadIniValue(Ini(), "USTAWIENIA", "PUSTY", "9600"), "");
  EXPECT_EQ(ReadIniValue(Ini(), "USTAWIENIA", "BRAK", "9600"), "9600");
  EXPECT_EQ(ReadIniValue(Ini(), "USTAWIENIA", "BRAK", " "), "");
  EXPECT_EQ(ReadIniValue(Ini(), "USTAWIENIA", "BRAK", "  a b  "), "  a b");
  EXPECT_EQ(ReadIniValue(Ini(), "BRAK", "PUSTY", "N"), "N");
}

TEST_F(IniTest, ValueOf98CharactersReadsWholeLongerGivesTheDefault) {
  const std::string v98(98, 'x');
  Store("[s]\r\na=" + v98 + "\r\nb=" + std::string(99, 'y') + "\r\nc=" + std::string(120, 'z') +
        "\r\n");
  EXPECT_EQ(ReadIniValue(Ini(), "s", "a", "d"), v98);
  EXPECT_EQ(ReadIniValue(Ini(), "s", "b", "d"), "d");
  EXPECT_EQ(ReadIniValue(Ini(), "s", "c", "d  "), "d  ");  // exactly as given

  // A default of 99 characters or more comes back whole, blanks and all.
  const std::string long_default = std::string(120, 'q') + "  ";
  EXPECT_EQ(ReadIniValue(Ini(), "s", "missing", long_default), long_default);
  const std::string default98 = std::string(98, 'q');
  EXPECT_EQ(ReadIniValue(Ini(), "s", "missing", default98 + "   "), default98);
}

TEST_F(IniTest, ValueLengthCountsWindows1250Bytes) {
  std::string stored98;
  std::string utf8;
  for (int i = 0; i < 98; ++i) {
    stored98 += '\xEA';  // ę
    utf8 += "ę";
  }
  Store("[s]\r\na=" + stored98 + "\r\nb=" + stored98 + "\xEA\r\n");
  EXPECT_EQ(ReadIniValue(Ini(), "s", "a", "d"), utf8);
  EXPECT_EQ(ReadIniValue(Ini(), "s", "b", "d"), "d");
}

TEST_F(IniTest, ValueLosesBlanksAndOnePairOfQuotes) {
  Store(
      "[s]\r\n"
      "a =  two words \t\r\n"
      "b=\"  kept inside  \"\r\n"
      "c='single'\r\n"
      "d=\"\"\"double\"\"\"\r\n"
      "e=\"unbalanced\r\n"
      "f=\"mixed'\r\n");
  EXPECT_EQ(ReadIniValue(Ini(), "s", "a", ""), "two words");
  EXPECT_EQ(ReadIniValue(Ini(), "s", "b", ""), "  kept inside  ");
  EXPECT_EQ(ReadIniValue(Ini(), "s", "c", ""), "single");
  EXPECT_EQ(ReadIniValue(Ini(), "s", "d", ""), "\"\"double\"\"");
  EXPECT_EQ(ReadIniValue(Ini(), "s", "e", ""), "\"unbalanced");
  EXPECT_EQ(ReadIniValue(Ini(), "s", "f", ""), "\"mixed'");
}

TEST_F(IniTest, FirstDuplicateKeyAndFirstDuplicateSectionCount) {
  Store("[s]\r\nk=first\r\nK=second\r\n[S]\r\nk=third\r\nonly=later\r\n");
  EXPECT_EQ(ReadIniValue(Ini(), "s", "k", ""), "first");
  EXPECT_EQ(ReadIniValue(Ini(), "s", "only", "none"), "none");

  EXPECT_TRUE(WriteIniValue(Ini(), "s", "K", "new"));
  EXPECT_EQ(ReadBytes(Ini()), "[s]\r\nk=new\r\nK=second\r\n[S]\r\nk=third\r\nonly=later\r\n");
}

TEST_F(IniTest, CommentsBareLinesAndLinesBeforeAnySectionAreNoKeys) {
  Store("k=outside\r\n[s]\r\n;k=comment\r\nk\r\n");
  EXPECT_EQ(ReadIniValue(Ini(), "s", "k", "dflt"), "dflt");
  EXPECT_EQ(ReadIniValue(Ini(), "s", ";k", "dflt"), "dflt");
  EXPECT_EQ(ReadIniValue(Ini(), "", "k", "dflt"), "dflt");
}

TEST_F(IniTest, MissingFileReadsAsEmpty) {
  EXPECT_EQ(ReadIniValue(Ini(), "USTAWIENIA", "PRĘDKOŚĆ", "9600"), "9600");
  EXPECT_FALSE(testing_support::Exists(Ini()));
}

TEST_F(IniTest, EveryReadSeesTheChangesMadeSinceTheLastOne) {
  Store("[a]\r\nx=1\r\n");
  ASSERT_TRUE(testing_support::SetModifiedLongAgo(Ini(), 100));
  EXPECT_EQ(ReadIniValue(Ini(), "a", "x", ""), "1");
  // Another program's edit: the same size, the same second.
  Store("[a]\r\nx=2\r\n");
  ASSERT_TRUE(testing_support::SetModifiedLongAgo(Ini(), 200));
  EXPECT_EQ(ReadIniValue(Ini(), "a", "x", ""), "2");
  // The program's own write.
  EXPECT_TRUE(WriteIniValue(Ini(), "a", "x", "3"));
  ASSERT_TRUE(testing_support::SetModifiedLongAgo(Ini(), 200));
  EXPECT_EQ(ReadIniValue(Ini(), "a", "x", ""), "3");
  // Replaced by a rename, with the very same size and time.
  WriteBytes(folder_.File("new"), "[a]\r\nx=4\r\n");
  ASSERT_TRUE(testing_support::SetModifiedLongAgo(folder_.File("new"), 200));
  ASSERT_EQ(rename(folder_.File("new").c_str(), Ini().c_str()), 0);
  EXPECT_EQ(ReadIniValue(Ini(), "a", "x", ""), "4");
}

TEST_F(IniTest, LfOnlyFileAndFileWithoutFinalLineEndRead) {
  Store("[a]\nx=1\n[b]\ny=2");
  EXPECT_EQ(ReadIniValue(Ini(), "a", "x", ""), "1");
  EXPECT_EQ(ReadIniValue(Ini(), "b", "y", ""), "2");
  EXPECT_EQ(Section("b").size(), 2u);
}

// --- Writes ------------------------------------------------------------------

TEST_F(IniTest, WriteCreatesAMissingFileWithCrLf) {
  EXPECT_TRUE(WriteIniValue(Ini(), "USTAWIENIA", "PRĘDKOŚĆ", "9600"));
  EXPECT_EQ(ReadBytes(Ini()),
            "[USTAWIENIA]\r\nPR\xCA"
            "DKO\x8C\xC6=9600\r\n");
  EXPECT_EQ(ReadIniValue(Ini(), "USTAWIENIA", "PRĘDKOŚĆ", ""), "9600");
}

TEST_F(IniTest, WriteReplacesTheValueInItsOwnLine) {
  const std::string before = "; ustawienia portu\r\n[USTAWIENIA]\r\nNR PORTU = 1\r\n";
  const std::string after = "BITY STOPU=1\r\n\r\n[parametry]\r\nmax=001500\r\n";
  Store(before + "bity danych=8\r\n" + after);
  EXPECT_TRUE(WriteIniValue(Ini(), "USTAWIENIA", "BITY DANYCH", "7"));
  EXPECT_EQ(ReadBytes(Ini()), before + "bity danych=7\r\n" + after);
  EXPECT_EQ(ReadIniValue(Ini(), "USTAWIENIA", "BITY DANYCH", ""), "7");
}

TEST_F(IniTest, WriteAddsANewKeyAfterTheLastEntryOfItsSection) {
  Store("[a]\r\nx=1\r\n; note\r\ny=2\r\n\r\n; about b\r\n[b]\r\nz=3\r\n");
  EXPECT_TRUE(WriteIniValue(Ini(), "A", "new", "v"));
  EXPECT_EQ(ReadBytes(Ini()),
            "[a]\r\nx=1\r\n; note\r\ny=2\r\nnew=v\r\n\r\n; about b\r\n[b]\r\nz=3\r\n");

  Store("[empty]\r\n\r\n[b]\r\n");
  EXPECT_TRUE(WriteIniValue(Ini(), "empty", "k", "v"));
  EXPECT_EQ(ReadBytes(Ini()), "[empty]\r\nk=v\r\n\r\n[b]\r\n");
}

TEST_F(IniTest, WriteAddsAMissingSectionAtTheEnd) {
  Store("[a]\r\nx=1\r\n\r\n");
  EXPECT_TRUE(WriteIniValue(Ini(), "wagi", "Waga WP-1", "0"));
  EXPECT_EQ(ReadBytes(Ini()), "[a]\r\nx=1\r\n\r\n[wagi]\r\nWaga WP-1=0\r\n");
}

TEST_F(IniTest, WriteKeepsTheFilesLineEnds) {
  Store("[a]\nx=1\n\n[b]\ny=2\n");
  EXPECT_TRUE(WriteIniValue(Ini(), "a", "n", "v"));
  EXPECT_TRUE(WriteIniValue(Ini(), "c", "k", "w"));
  EXPECT_TRUE(WriteIniValue(Ini(), "b", "y", "3"));
  EXPECT_EQ(ReadBytes(Ini()), "[a]\nx=1\nn=v\n\n[b]\ny=3\n[c]\nk=w\n");
}

TEST_F(IniTest, WriteToAFileWithoutFinalLineEnd) {
  Store("[a]\r\nx=1");
  EXPECT_TRUE(WriteIniValue(Ini(), "a", "y", "2"));
  EXPECT_EQ(ReadBytes(Ini()), "[a]\r\nx=1\r\ny=2\r\n");
  Store("[a]");
  EXPECT_TRUE(WriteIniValue(Ini(), "a", "y", "2"));
  EXPECT_EQ(ReadBytes(Ini()), "[a]\r\ny=2\r\n");
  Store("x=1");
  EXPECT_TRUE(WriteIniValue(Ini(), "b", "y", "2"));
  EXPECT_EQ(ReadBytes(Ini()), "x=1\r\n[b]\r\ny=2\r\n");
  Store("[a]\r\nx=1");
  EXPECT_TRUE(WriteIniValue(Ini(), "a", "x", "22"));
  EXPECT_EQ(ReadBytes(Ini()), "[a]\r\nx=22");
}

TEST_F(IniTest, WriteLeavesStrangeBytesOfOtherLinesAlone) {
  const std::string odd = std::string("\x81\x98 bin\0ary \xFF", 13);
  Store("[a]\r\n" + odd + "\r\nx=1\r\n" + odd + "=\x83\r\n");
  EXPECT_TRUE(WriteIniValue(Ini(), "a", "x", "2"));
  EXPECT_EQ(ReadBytes(Ini()), "[a]\r\n" + odd + "\r\nx=2\r\n" + odd + "=\x83\r\n");
}

TEST_F(IniTest, BothSpellingsOfTheFileNameReachOneFile) {
  Store("[USTAWIENIA]\r\nNR PORTU=1\r\n");
  const std::string lower = folder_.File("settings.ini");
  EXPECT_EQ(ReadIniValue(lower, "USTAWIENIA", "NR PORTU", ""), "1");
  EXPECT_TRUE(WriteIniValue(lower, "parametry", "mode", "2"));
  EXPECT_EQ(ReadIniValue(Ini(), "parametry", "mode", ""), "2");
  EXPECT_EQ(folder_.Listing(), "Settings.ini;");
}

TEST_F(IniTest, UnwritableEntriesAreRefusedAndLeaveTheFile) {
  const std::string original = "[a]\r\nx=1\r\n";
  Store(original);
  EXPECT_FALSE(WriteIniValue(Ini(), "a", "x", "1\r\n[evil]"));
  EXPECT_FALSE(WriteIniValue(Ini(), "a", "k=v", "1"));
  EXPECT_FALSE(WriteIniValue(Ini(), "a]", "x", "1"));
  EXPECT_FALSE(WriteIniValue(Ini(), "a", "[x", "1"));
  EXPECT_FALSE(WriteIniValue(Ini(), "a", std::string("x\0y", 3), "1"));
  EXPECT_EQ(ReadBytes(Ini()), original);
}

TEST_F(IniTest, FailedWritesReportFalseAndLoseNothing) {
  // No such folder.
  EXPECT_FALSE(WriteIniValue(folder_.File("missing/Settings.ini"), "a", "x", "1"));
  // A regular file where the folder should be.
  Store("[a]\r\nx=1\r\n");
  EXPECT_FALSE(WriteIniValue(Ini() + "/set.lng", "a", "x", "1"));
  // A folder where the file should be: it is not replaced.
  ASSERT_EQ(::mkdir(folder_.File("set.lng").c_str(), 0755), 0);
  EXPECT_FALSE(WriteIniValue(folder_.File("set.lng"), "a", "x", "1"));
  EXPECT_EQ(ReadBytes(Ini()), "[a]\r\nx=1\r\n");
  EXPECT_EQ(folder_.Listing(), "Settings.ini;set.lng;");
}

TEST_F(IniTest, FullDiskLeavesTheOldFileWhole) {
  const std::string original = "[USTAWIENIA]\r\nNR PORTU=1\r\nBITY STOPU=1\r\n";
  Store(original);
  pid_t child = ::fork();
  ASSERT_NE(child, -1);
  if (child == 0) {
    ::signal(SIGXFSZ, SIG_IGN);
    rlimit limit{1024, 1024};
    ::setrlimit(RLIMIT_FSIZE, &limit);
    bool written = WriteIniValue(Ini(), "USTAWIENIA", "NR PORTU", std::string(4000, '7'));
    ::_exit(written ? 1 : 0);
  }
  int status = 0;
  ASSERT_EQ(::waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 0) << "the write reported success";
  EXPECT_EQ(ReadBytes(Ini()), original);
  EXPECT_EQ(folder_.Listing(), "Settings.ini;");
}

// --- Robustness --------------------------------------------------------------

TEST_F(IniTest, GarbageFilesReadWithoutHarm) {
  std::string garbage(1 << 19, 'a');  // one line of half a megabyte
  garbage += std::string("\0\0[s]\0\r\n[s]\r\nk=v\0w\r\n\x81\x8D\x90=\x98\r\n[", 28);
  Store(garbage);
  EXPECT_EQ(ReadIniValue(Ini(), "s", "k", ""), "v?w");
  EXPECT_EQ(ReadIniValue(Ini(), "s", "ж", "d"), "d");  // no windows-1250 letter
  std::vector<IniPair> table = Section("s");
  ASSERT_EQ(table.size(), 3u);
  EXPECT_TRUE(PairIs(table[0], "k", "v?w"));
  EXPECT_EQ(table[1].ValueText, "?");  // 0x98 is no windows-1250 character
  EXPECT_TRUE(WriteIniValue(Ini(), "s", "k", "1"));
  EXPECT_EQ(ReadIniValue(Ini(), "s", "k", ""), "1");
  EXPECT_EQ(ReadBytes(Ini()).size(), garbage.size() - 2);
}

}  // namespace
}  // namespace settings
