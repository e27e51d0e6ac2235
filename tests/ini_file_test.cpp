#include "localization/INI_File.h"
#include "posix/PosixFileSystem.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <string>

#include "support/TempDir.h"

namespace quillfen {
namespace {

using testing::TempDir;

// An INI object on a file of the disk. The file system keeps nothing between
// calls that reading and writing files would touch, so one serves every test.
INI_File At(const std::string& path) {
  static PosixFileSystem disk;
  INI_File ini(disk);
  ini.File(path);
  return ini;
}

TEST(IniFileTest, AbsentFileSectionOrKeyReadsEmpty) {
  TempDir dir;
  EXPECT_EQ(At(dir.Path("none.ini")).GetKeyStr("pause", "Dialogs"), "");
  EXPECT_EQ(At(dir.Path("none.ini")).GetKeyInt("pause", "Dialogs"), 0);
  EXPECT_EQ(At("").GetKeyStr("pause", "Dialogs"), "");
  EXPECT_EQ(At(dir.path()).GetKeyStr("pause", "Dialogs"), "");  // a folder, not a file
  auto ini = At(dir.Write("a.ini", "[Dialogs]\npause=Pause\n"));
  EXPECT_EQ(ini.GetKeyStr("resume", "Dialogs"), "");
  EXPECT_EQ(ini.GetKeyStr("pause", "frmQuillfen"), "");
  EXPECT_FALSE(std::filesystem::exists(dir.Path("none.ini")));  // reading never creates the file
}

TEST(IniFileTest, ValuesAreTrimmedAndLoseOnePairOfQuotes) {
  TempDir dir;
  auto ini = At(dir.Write("a.ini",
                          "[Dialogs]\n"
                          "cmdMove=   Move   \n"
                          "tabbed=\tMove\t\n"
                          "double=\"Move\"\n"
                          "single='Move'\n"
                          "nested=\"'Move'\"\n"
                          "mixed=\"Move'\n"
                          "blank=      \n"
                          "quotedBlank=\"    \"\n"
                          "leading=\"  Move  \"\n"
                          "eq=a=b\n"));
  EXPECT_EQ(ini.GetKeyStr("cmdMove", "Dialogs"), "Move");
  EXPECT_EQ(ini.GetKeyStr("tabbed", "Dialogs"), "Move");
  EXPECT_EQ(ini.GetKeyStr("double", "Dialogs"), "Move");
  EXPECT_EQ(ini.GetKeyStr("single", "Dialogs"), "Move");
  EXPECT_EQ(ini.GetKeyStr("nested", "Dialogs"), "'Move'");
  EXPECT_EQ(ini.GetKeyStr("mixed", "Dialogs"), "\"Move'");
  EXPECT_EQ(ini.GetKeyStr("blank", "Dialogs"), "");
  EXPECT_EQ(ini.GetKeyStr("quotedBlank", "Dialogs"), "");
  EXPECT_EQ(ini.GetKeyStr("leading", "Dialogs"), "Move  ");
  EXPECT_EQ(ini.GetKeyStr("eq", "Dialogs"), "a=b");
}

TEST(IniFileTest, EmbeddedNulEndsTheValue) {
  TempDir dir;
  std::string text = "[s]\nk=ab";
  text += '\0';
  text += "cd\n";
  EXPECT_EQ(At(dir.Write("a.ini", text)).GetKeyStr("k", "s"), "ab");
}

TEST(IniFileTest, LongValuesAreCutAtTheLimitNeverInsideACharacter) {
  constexpr std::size_t kLimit = INI_File::kMaxValueLength;
  TempDir dir;
  std::string latin(kLimit + 40, 'x');
  std::string cyrillic;
  for (std::size_t i = 0; i < kLimit + 40; ++i) cyrillic += "ж";
  std::string mixed = std::string(kLimit - 1, 'a') + "жж";
  auto ini = At(dir.Write("a.ini", "[s]\nlatin=" + latin + "\ncyr=" + cyrillic + "\nmixed=" + mixed +
                                       "\nexact=" + std::string(kLimit, 'y') + "\n"));
  EXPECT_EQ(ini.GetKeyStr("latin", "s"), latin.substr(0, kLimit));
  std::string cut = ini.GetKeyStr("cyr", "s");
  EXPECT_EQ(cut.size(), kLimit * 2);
  EXPECT_EQ(cut, cyrillic.substr(0, kLimit * 2));
  EXPECT_EQ(ini.GetKeyStr("mixed", "s"), std::string(kLimit - 1, 'a') + "ж");
  EXPECT_EQ(ini.GetKeyStr("exact", "s"), std::string(kLimit, 'y'));
}

TEST(IniFileTest, NamesIgnoreLetterCaseAndColonsAreOrdinary) {
  TempDir dir;
  auto ini = At(dir.Write("a.ini", "[dialogs]\nPause=Pause\n[frmQuillfen]\nchkAutorun:tooltip=Start by itself\n"));
  EXPECT_EQ(ini.GetKeyStr("pause", "Dialogs"), "Pause");
  EXPECT_EQ(ini.GetKeyStr("PAUSE", "DIALOGS"), "Pause");
  EXPECT_EQ(ini.GetKeyStr("chkAutorun:tooltip", "frmQuillfen"), "Start by itself");
  EXPECT_EQ(ini.GetKeyStr("CHKAUTORUN:TOOLTIP", "FRMQUILLFEN"), "Start by itself");
  EXPECT_EQ(ini.GetKeyStr("chkAutorun", "frmQuillfen"), "");
}

TEST(IniFileTest, FileThatIsNotUtf8IsReadAsWindows1251) {
  TempDir dir;
  // "Пауза" and "Ёлка №1" in Windows-1251.
  auto ini = At(dir.Write("Russian.ini", "[Dialogs]\r\npause=\xCF\xE0\xF3\xE7\xE0\r\ntree=\xA8\xEB\xEA\xE0 \xB9\x31\r\n"));
  EXPECT_EQ(ini.GetKeyStr("pause", "Dialogs"), "Пауза");
  EXPECT_EQ(ini.GetKeyStr("tree", "Dialogs"), "Ёлка №1");
  auto utf8 = At(dir.Write("utf8.ini", "\xEF\xBB\xBF[Dialogs]\npause=Пауза\n"));
  EXPECT_EQ(utf8.GetKeyStr("pause", "Dialogs"), "Пауза");
}

TEST(IniFileTest, IntegersReadTheLeadingDigits) {
  TempDir dir;
  auto ini = At(dir.Write("a.ini", "[s]\na=42\nb= 17 apples\nc=abc\nd=\ne=99999999999\nf=-5\n"));
  EXPECT_EQ(ini.GetKeyInt("a", "s"), 42);
  EXPECT_EQ(ini.GetKeyInt("b", "s"), 17);
  EXPECT_EQ(ini.GetKeyInt("c", "s"), 0);
  EXPECT_EQ(ini.GetKeyInt("d", "s"), 0);
  EXPECT_EQ(ini.GetKeyInt("e", "s"), 2147483647);
  EXPECT_EQ(ini.GetKeyInt("f", "s"), 0);
  EXPECT_EQ(ini.GetKeyInt("missing", "s"), 0);
}

TEST(IniFileTest, WritesKeepTheRestOfTheFile) {
  TempDir dir;
  std::string original = "; comment\r\n[Settings]\r\nLanguage=English\r\nTarget=/pics\r\n[Other]\r\nx=1\r\n";
  auto ini = At(dir.Write("s.ini", original));
  chmod(ini.File().c_str(), 0600);
  ini.SetKeyStr("language", "Russian", "settings");
  EXPECT_EQ(dir.Read("s.ini"), "; comment\r\n[Settings]\r\nLanguage=Russian\r\nTarget=/pics\r\n[Other]\r\nx=1\r\n");
  ini.SetKeyStr("Source", "  /media/card ", "Settings");
  EXPECT_EQ(ini.GetKeyStr("Source", "Settings"), "/media/card ");  // the reader trims leading spaces
  ini.DeleteKey("SOURCE", "settings");
  ini.DeleteSection("other");
  EXPECT_EQ(dir.Read("s.ini"), "; comment\r\n[Settings]\r\nLanguage=Russian\r\nTarget=/pics\r\n");
  struct stat st;
  ASSERT_EQ(stat(ini.File().c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0600u);
  // No temporary file is left beside it.
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 1);
}

TEST(IniFileTest, SetCreatesTheFileDeletesDoNot) {
  TempDir dir;
  auto fresh = At(dir.Path("new.ini"));
  fresh.DeleteKey("a", "s");
  fresh.DeleteSection("s");
  EXPECT_FALSE(std::filesystem::exists(fresh.File()));
  fresh.SetKeyStr("a", "1", "s");
  EXPECT_EQ(dir.Read("new.ini"), "[s]\na=1\n");
  At(dir.Path("no/such/folder/x.ini")).SetKeyStr("a", "1", "s");  // silently nothing
  EXPECT_FALSE(std::filesystem::exists(dir.Path("no")));
}

TEST(IniFileTest, WriteThroughALinkReplacesItsTarget) {
  TempDir dir;
  dir.Write("real.ini", "[s]\na=1\n");
  std::filesystem::create_symlink(dir.Path("real.ini"), dir.Path("link.ini"));
  At(dir.Path("link.ini")).SetKeyStr("a", "2", "s");
  EXPECT_TRUE(std::filesystem::is_symlink(dir.Path("link.ini")));
  EXPECT_EQ(dir.Read("real.ini"), "[s]\na=2\n");
}

TEST(IniFileTest, EveryReadSeesTheFileAsItIsNow) {
  TempDir dir;
  auto ini = At(dir.Write("a.ini", "[s]\na=1\n"));
  EXPECT_EQ(ini.GetKeyStr("a", "s"), "1");
  dir.Write("a.ini", "[s]\na=2\n");  // rewritten in place, same size, at once
  EXPECT_EQ(ini.GetKeyStr("a", "s"), "2");
  std::filesystem::remove(ini.File());
  EXPECT_EQ(ini.GetKeyStr("a", "s"), "");
  ini.SetKeyStr("b", "3", "s");
  EXPECT_EQ(dir.Read("a.ini"), "[s]\nb=3\n");
}

TEST(IniFileTest, GarbageAndHugeFilesNeitherCrashNorHang) {
  TempDir dir;
  std::string garbage;
  unsigned seed = 12345;
  for (int i = 0; i < 200000; ++i) {
    seed = seed * 1103515245 + 12345;
    garbage += static_cast<char>(seed >> 16);
  }
  auto bad = At(dir.Write("garbage.ini", garbage));
  EXPECT_NO_THROW(bad.GetKeyStr("pause", "Dialogs"));
  EXPECT_NO_THROW(bad.SetKeyStr("pause", "Pause", "Dialogs"));
  EXPECT_EQ(bad.GetKeyStr("pause", "Dialogs"), "Pause");

  std::string big = "[Dialogs]\n";
  for (int i = 0; i < 100000; ++i) big += "key" + std::to_string(i) + "=value " + std::to_string(i) + "\n";
  auto huge = At(dir.Write("huge.ini", big));
  EXPECT_EQ(huge.GetKeyStr("KEY99999", "dialogs"), "value 99999");
  for (int i = 0; i < 50; ++i) EXPECT_EQ(huge.GetKeyStr("key" + std::to_string(i * 2000), "Dialogs"), "value " + std::to_string(i * 2000));

  ASSERT_EQ(mkfifo(dir.Path("pipe.ini").c_str(), 0600), 0);
  auto pipe = At(dir.Path("pipe.ini"));
  EXPECT_EQ(pipe.GetKeyStr("pause", "Dialogs"), "");  // returns at once, nobody writes to the pipe
}

}  // namespace
}  // namespace quillfen
