// The language files that ship with the program: complete, well-formed, and
// with the placeholders their callers fill in.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "app/MainMenu.h"
#include "base/IniDocument.h"
#include "base/Utf8.h"
#include "localization/INI_File.h"
#include "localization/clsLanguageProvider.h"
#include "posix/PosixFileSystem.h"
#include "support/TestProgram.h"

namespace quillfen {
namespace {

using testing::TestProgram;

const std::string kLangFolder = QUILLFEN_SOURCE_DIR "/lang";
const char* const kLanguages[] = {"English", "Russian"};

// The window's caption, every item of its menu bar (the option items too)
// and its label; the language items name their own languages instead.
std::vector<std::string> WindowKeys() {
  std::vector<std::string> keys = {"Caption", "lblFirst"};
  for (const menu::Item& item : menu::Items())
    if (item.control != "mnuLang") keys.push_back(item.control);
  return keys;
}
const std::vector<std::string> kMovieComponents = {
    "cmbSource",     "cmbTarget",  "cmdBrowseSource", "cmdBrowseTarget", "lblSource", "lblTarget", "chkAutomoving",
    "chkAutorun",    "chkAutoRename", "chkSubfolder", "cmdMove",         "cmdPause",  "cmdCancel"};

std::string ReadBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

TEST(LanguageFilesTest, EveryDialogKeyLoadsWithoutAMessage) {
  for (const char* name : kLanguages) {
    TestProgram program;
    program.system.programFolder = kLangFolder;
    clsLanguageProvider& language = program.Module().objLanguageProvider();
    ASSERT_TRUE(language.LoadLanguage(Variant(name))) << name;
    EXPECT_TRUE(program.log.Matching("box ").empty()) << name;
    for (const std::string& key : clsLanguageProvider::DialogKeys())
      EXPECT_EQ(language.GetDialog(key).find("<value for"), std::string::npos) << name << " " << key;
    EXPECT_EQ(language.GetDialog("quillfen_id"), "Quillfen") << name;
  }
}

TEST(LanguageFilesTest, TextsCarryThePlaceholdersTheirCallersFill) {
  const std::map<std::string, int> placeholders = {{"no_space", 2},  {"operation_alert", 2},
                                                   {"too_long_filename", 1}, {"same_names", 1},
                                                   {"move_failed", 2}, {"operation_failed", 2},
                                                   {"target_in_source", 2}, {"operation_alert_days", 3},
                                                   {"double_names_in", 1}, {"camera_files_left", 1},
                                                   {"argument_not_folder", 1}};
  for (const char* name : kLanguages) {
    PosixFileSystem files;
    INI_File ini(files);
    ini.File(kLangFolder + "/" + name + ".ini");
    for (const std::string& key : clsLanguageProvider::DialogKeys()) {
      std::string text = ini.GetKeyStr(key, "Dialogs");
      auto wanted = placeholders.find(key);
      int count = wanted == placeholders.end() ? 0 : wanted->second;
      for (int n = 1; n <= 3; ++n)
        EXPECT_EQ(text.find("%" + std::to_string(n)) != std::string::npos, n <= count) << name << " " << key;
    }
    EXPECT_NE(ini.GetKeyStr("chkSubfolder", "frmQuillfen").find("%1"), std::string::npos) << name;
  }
}

TEST(LanguageFilesTest, WindowAndMovieKeysArePresent) {
  for (const char* name : kLanguages) {
    PosixFileSystem files;
    INI_File ini(files);
    ini.File(kLangFolder + "/" + name + ".ini");
    for (const auto& keys : {WindowKeys(), kMovieComponents})
      for (const std::string& key : keys) EXPECT_NE(ini.GetKeyStr(key, "frmQuillfen"), "") << name << " " << key;
    EXPECT_NE(ini.GetKeyStr("chkAutorun:tooltip", "frmQuillfen"), "") << name;
    // Both language items share one name; each keeps the name of its own language.
    EXPECT_EQ(ini.GetKeyStr("mnuLang", "frmQuillfen"), "") << name;
  }
}

TEST(LanguageFilesTest, FilesAreUtf8AndNoTextIsCut) {
  for (const char* name : kLanguages) {
    std::string bytes = ReadBytes(kLangFolder + "/" + name + ".ini");
    ASSERT_FALSE(bytes.empty()) << name;
    EXPECT_TRUE(IsValidUtf8(bytes)) << name;
    IniDocument doc = IniDocument::Parse(bytes);
    PosixFileSystem files;
    INI_File ini(files);
    ini.File(kLangFolder + "/" + name + ".ini");
    for (const std::string& section : doc.Sections())
      for (const std::string& key : doc.Keys(section))
        EXPECT_EQ(ini.GetKeyStr(key, section), doc.Get(section, key).value()) << name << " " << key;
  }
}

}  // namespace
}  // namespace quillfen
