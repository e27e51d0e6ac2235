#include <gtest/gtest.h>

#include <filesystem>
#include <memory>

#include "posix/FileRegistryHive.h"
#include "memory/HiveText.h"
#include "settings/AutoPlayKeys.h"
#include "settings/registry.h"
#include "support/TempDir.h"
#include "support/TestProgram.h"

namespace quillfen::testing {
namespace {

namespace fs = std::filesystem;

// The registry module over either hive: the one in memory and the file.
class RegistryTest : public ::testing::TestWithParam<bool> {
 protected:
  TempDir dir;
  TestProgram program;
  std::unique_ptr<FileRegistryHive> fileHive;
  RegistryHive* hive = &program.registry;

  void SetUp() override {
    if (GetParam()) {
      fileHive = std::make_unique<FileRegistryHive>(dir.Path("config/Quillfen/registry.ini"), autoplay::EventKeys());
      hive = fileHive.get();
    }
  }

  std::string Query(const std::string& path, const std::string& name = "") {
    return registry::QueryStringValue(*hive, program.window, path, name);
  }
  void Set(const std::string& path, const std::string& name, const std::string& data) {
    registry::SetStringValue(*hive, program.window, path, name, data);
  }
  void Create(const std::string& path) { registry::CreateKey(*hive, program.window, path); }
  void Delete(const std::string& path, const std::string& name) {
    registry::DeleteValue(*hive, program.window, path, name);
  }
  std::vector<std::string> Boxes() const { return program.log.Matching("box "); }
};

TEST_P(RegistryTest, DefaultValueMissingKeysAndTheStoredZero) {
  EXPECT_EQ(Query("HKEY_CLASSES_ROOT\\Quillfen"), "0");
  Create("HKEY_CLASSES_ROOT\\Quillfen");
  EXPECT_EQ(Query("HKEY_CLASSES_ROOT\\Quillfen"), "0") << "a key without its default value";
  Set("HKEY_CLASSES_ROOT\\Quillfen", "", "Quillfen");
  EXPECT_EQ(Query("HKEY_CLASSES_ROOT\\Quillfen"), "Quillfen");
  EXPECT_EQ(Query("HKEY_CLASSES_ROOT\\QUILLFEN"), "Quillfen") << "key names ignore letter case";
  Set("HKEY_CLASSES_ROOT\\Quillfen", "Zero", "0");
  EXPECT_EQ(Query("HKEY_CLASSES_ROOT\\Quillfen", "zero"), "0");
  EXPECT_EQ(Query("HKEY_CLASSES_ROOT\\Quillfen", "Absent"), "0");
  Set("HKEY_CLASSES_ROOT\\Quillfen", "Empty", "");
  EXPECT_EQ(Query("HKEY_CLASSES_ROOT\\Quillfen", "Empty"), "");
  EXPECT_TRUE(Boxes().empty());
}

TEST_P(RegistryTest, TheBufferHolds254CharactersAndLosesLeadingSpaces) {
  Create("HKEY_CURRENT_USER\\Software\\Quillfen");
  const std::string key = "HKEY_CURRENT_USER\\Software\\Quillfen";
  Set(key, "Fits", std::string(254, 'x'));
  Set(key, "Long", std::string(255, 'x'));
  Set(key, "Spaced", "  two leading, two trailing  ");
  Set(key, "Blank", "   ");
  EXPECT_EQ(Query(key, "Fits"), std::string(254, 'x'));
  EXPECT_EQ(Query(key, "Long"), "0");
  EXPECT_EQ(Query(key, "Spaced"), "two leading, two trailing  ");
  EXPECT_EQ(Query(key, "Blank"), "");
}

TEST_P(RegistryTest, FormatMessageForBadPathsAndSilenceForUnknownRoots) {
  EXPECT_EQ(Query("HKEY_CLASSES_ROOT\\Quillfen\\"), "");
  Create("hkey_classes_root\\Quillfen");
  EXPECT_EQ(Boxes(), (std::vector<std::string>{
                         "box none OK title=Quillfen text=Incorrect Format:\\n\\nHKEY_CLASSES_ROOT\\\\Quillfen\\\\ -> OK",
                         "box none OK title=Quillfen text=Incorrect Format:\\n\\nhkey_classes_root\\\\Quillfen -> OK"}));
  program.log.Clear();
  Create("HKEY_Classes_Root\\Quillfen");
  Set("HKEY_NOWHERE\\Quillfen", "", "x");
  EXPECT_EQ(Query("HKEY_Classes_Root\\Quillfen"), "");
  EXPECT_TRUE(Boxes().empty());
  EXPECT_EQ(Query("HKEY_CLASSES_ROOT\\Quillfen"), "0") << "nothing was created under the real root";
}

TEST_P(RegistryTest, TheRootAloneAndWritesOnlyIntoExistingKeys) {
  Set("HKEY_CURRENT_USER", "AtRoot", "yes");
  EXPECT_EQ(Query("HKEY_CURRENT_USER", "AtRoot"), "yes");
  Set("HKEY_CURRENT_USER\\Missing", "Name", "value");
  EXPECT_EQ(Query("HKEY_CURRENT_USER\\Missing", "Name"), "0");
  Create("HKEY_CURRENT_USER\\a\\b\\c");
  EXPECT_EQ(Query("HKEY_CURRENT_USER\\a\\b", ""), "0");
  Set("HKEY_CURRENT_USER\\a\\b", "", "parent made");
  EXPECT_EQ(Query("HKEY_CURRENT_USER\\A\\B"), "parent made");
  Create("HKEY_CURRENT_USER\\a\\b");
  EXPECT_EQ(Query("HKEY_CURRENT_USER\\a\\b"), "parent made") << "creating an existing key changes nothing";
  Delete("HKEY_CURRENT_USER\\a\\b", "");
  Delete("HKEY_CURRENT_USER\\nowhere", "x");
  EXPECT_EQ(Query("HKEY_CURRENT_USER\\a\\b"), "0");
  EXPECT_TRUE(Boxes().empty());
}

INSTANTIATE_TEST_SUITE_P(Hives, RegistryTest, ::testing::Values(false, true),
                         [](const auto& info) { return info.param ? "File" : "Memory"; });

TEST(HiveFileTest, OddNamesAndDataSurviveTheFile) {
  TempDir dir;
  const std::string path = dir.Path("Quillfen/registry.ini");
  FileRegistryHive hive(path);
  const std::string key = "Odd [key] %20 = ;x ";
  ASSERT_TRUE(hive.CreateKey(RegistryRoot::Users, key + "\\@"));
  const std::vector<std::pair<std::string, std::string>> values = {
      {"", "\"quoted\""}, {"@", "at"}, {"a=b", " lead"}, {";comment", "line\nbreak\\back"}, {"[x", "'q'"},
      {" spaced ", "%1 \t"}};
  for (const auto& [name, data] : values) ASSERT_TRUE(hive.SetValue(RegistryRoot::Users, key + "\\@", name, data));

  FileRegistryHive reader(path);
  for (const auto& [name, data] : values) {
    std::string read;
    ASSERT_TRUE(reader.QueryValue(RegistryRoot::Users, key + "\\@", name, 1000, read)) << name;
    EXPECT_EQ(read, data) << name;
  }
  EXPECT_FALSE(reader.KeyExists(RegistryRoot::CurrentUser, key));
  EXPECT_EQ(dir.Read("Quillfen/registry.ini").find('\0'), std::string::npos);
}

TEST(HiveFileTest, TwoCopiesKeepEachOthersChanges) {
  TempDir dir;
  FileRegistryHive first(dir.Path("registry.ini"), autoplay::EventKeys());
  FileRegistryHive second(dir.Path("registry.ini"), autoplay::EventKeys());
  first.CreateKey(RegistryRoot::CurrentUser, "One");
  second.CreateKey(RegistryRoot::CurrentUser, "Two");
  first.SetValue(RegistryRoot::CurrentUser, "Two", "by", "first");
  second.SetValue(RegistryRoot::CurrentUser, "One", "by", "second");
  std::string data;
  EXPECT_TRUE(second.QueryValue(RegistryRoot::CurrentUser, "two", "BY", 255, data));
  EXPECT_EQ(data, "first");
  EXPECT_TRUE(first.QueryValue(RegistryRoot::CurrentUser, "one", "by", 255, data));
  EXPECT_EQ(data, "second");
  // The AutoPlay event keys of a Windows system are there from the start.
  EXPECT_TRUE(first.KeyExists(
      RegistryRoot::LocalMachine,
      "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer\\AutoplayHandlers\\EventHandlers\\ShowPicturesOnArrival"));
}

TEST(HiveFileTest, ADamagedFileIsReportedOnceReadAsEmptyAndKeptAside) {
  TempDir dir;
  const std::string damaged = "[HKEY_CLASSES_ROOT\\Quillfen]\n@=Quillfen\nthis line is not a value\n";
  const std::string path = dir.Write("registry.ini", damaged);
  FileRegistryHive hive(path);

  ::testing::internal::CaptureStderr();
  EXPECT_FALSE(hive.KeyExists(RegistryRoot::ClassesRoot, "Quillfen"));
  std::string data;
  EXPECT_FALSE(hive.QueryValue(RegistryRoot::ClassesRoot, "Quillfen", "", 255, data));
  const std::string firstReport = ::testing::internal::GetCapturedStderr();
  EXPECT_NE(firstReport.find("warning"), std::string::npos);
  EXPECT_NE(firstReport.find("line 3"), std::string::npos);
  EXPECT_EQ(firstReport.find("warning"), firstReport.rfind("warning")) << "reported once";
  EXPECT_EQ(dir.Read("registry.ini"), damaged) << "reading never touches the file";

  ::testing::internal::CaptureStderr();
  EXPECT_TRUE(hive.CreateKey(RegistryRoot::CurrentUser, "Fresh"));
  const std::string asideReport = ::testing::internal::GetCapturedStderr();
  std::vector<std::string> aside;
  for (const auto& entry : fs::directory_iterator(dir.path()))
    if (entry.path().filename().string().rfind("registry.ini.damaged-", 0) == 0) aside.push_back(entry.path());
  ASSERT_EQ(aside.size(), 1u);
  EXPECT_NE(asideReport.find(aside[0]), std::string::npos);
  EXPECT_EQ(dir.Read(fs::path(aside[0]).filename()), damaged);
  EXPECT_TRUE(hive.KeyExists(RegistryRoot::CurrentUser, "Fresh"));
}

TEST(HiveFileTest, WhatCountsAsDamage) {
  using namespace std::string_literals;
  for (const std::string& text : {"stray=value before any key\n"s, "[HKEY_NOWHERE\\x]\n"s, "[HKEY_USERS\\x]\nbad%zz=1\n"s,
                                  "[HKEY_USERS\\x]\nname=broken\\4\n"s, "[HKEY_USERS\\x\n"s,
                                  "[HKEY_USERS]\n\0x=1\n"s})
    EXPECT_FALSE(hive_text::Parse(text).damage.empty()) << text;
  const auto sound = hive_text::Parse("; comment\n\n[HKEY_USERS\\x]\r\n@ = a\r\n# note\n[HKEY_USERS]\n");
  EXPECT_EQ(sound.damage, "");
  EXPECT_TRUE(sound.hive.KeyExists(RegistryRoot::Users, "X"));
}

}  // namespace
}  // namespace quillfen::testing
