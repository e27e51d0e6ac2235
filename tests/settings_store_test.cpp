#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <memory>

#include "posix/AtomicFile.h"
#include "posix/IniSettingsStore.h"
#include "posix/XdgPaths.h"
#include "memory/MemorySettingsStore.h"
#include "support/TempDir.h"

namespace quillfen::testing {
namespace {

namespace fs = std::filesystem;

std::string Get(const IniSettingsStore& store, const std::string& key, const std::string& fallback = "(default)") {
  return store.GetSetting("Quillfen", "Settings", key, fallback);
}
void Save(IniSettingsStore& store, const std::string& key, const std::string& value) {
  store.SaveSetting("Quillfen", "Settings", key, value);
}

std::vector<std::string> FilesIn(const std::string& folder) {
  std::vector<std::string> names;
  for (const auto& entry : fs::directory_iterator(folder)) names.push_back(entry.path().filename());
  std::sort(names.begin(), names.end());
  return names;
}

// What every settings store keeps (platform/SettingsStore.h), held against
// the file store and the one in memory.
class SettingsStoreContract : public ::testing::TestWithParam<const char*> {
 protected:
  void SetUp() override {
    if (std::string(GetParam()) == "file")
      store_ = std::make_unique<IniSettingsStore>(dir_.Path("Quillfen/settings.ini"));
    else
      store_ = std::make_unique<MemorySettingsStore>();
  }
  SettingsStore& store() { return *store_; }
  std::string Get(const std::string& section, const std::string& key) {
    return store_->GetSetting("Quillfen", section, key, "(default)");
  }
  void Save(const std::string& section, const std::string& key, const std::string& value) {
    store_->SaveSetting("Quillfen", section, key, value);
  }

 private:
  TempDir dir_;
  std::unique_ptr<SettingsStore> store_;
};

TEST_P(SettingsStoreContract, ValuesComeBackAsWritten) {
  EXPECT_EQ(Get("Settings", "Target"), "(default)");
  for (const std::string& value : std::vector<std::string>{"/plain", "  /with spaces/  ", "\"/quoted\"", "'single'", "", "a=b;c#d"}) {
    Save("Settings", "Target", value);
    EXPECT_EQ(Get("Settings", "Target"), value);
  }
  Save("Settings", "Source", "two\r\nlines\nhere");
  EXPECT_EQ(Get("Settings", "Source"), "two  lines here") << "a value stays on one line";
  EXPECT_EQ(store().GetSetting("Another program", "Settings", "Source", ""), "two  lines here")
      << "each program has a store of its own";
}

TEST_P(SettingsStoreContract, NamesMatchWithoutRegardToLetterCase) {
  Save("Settings", "Target", "/x");
  EXPECT_EQ(Get("settings", "TARGET"), "/x");
  Save("Настройки", "Папка", "/y");
  EXPECT_EQ(Get("НАСТРОЙКИ", "папка"), "/y");
  Save("SETTINGS", "target", "/z");
  EXPECT_EQ(Get("Settings", "Target"), "/z") << "one value, whatever the spelling";
}

TEST_P(SettingsStoreContract, NamesThatCannotReadBackAreNeverWritten) {
  for (const std::string& name : std::vector<std::string>{"Target=/evil", "line\nbreak", "", " lead", "trail ", "[x", ";x", "#x", "a]b",
                                 std::string("nul\0", 4)}) {
    Save("Settings", name, "True");
    Save(name, "Target", "True");
    EXPECT_EQ(Get("Settings", name), "(default)") << name;
    EXPECT_EQ(Get(name, "Target"), "(default)") << name;
  }
  EXPECT_EQ(Get("Settings", "Target"), "(default)");
}

INSTANTIATE_TEST_SUITE_P(Both, SettingsStoreContract, ::testing::Values("file", "memory"));

TEST(SettingsStoreTest, ValuesComeBackAsWrittenAndOtherLinesStay) {
  TempDir dir;
  const std::string original = "; my notes\r\n[Other]\r\nkeep = me\r\n[Settings]\r\nTarget=/old\r\n";
  dir.Write("cfg/Quillfen/settings.ini", original);
  IniSettingsStore store(dir.Path("cfg/Quillfen/settings.ini"));
  EXPECT_EQ(Get(store, "Target"), "/old");

  Save(store, "Target", "  /with spaces/  ");
  Save(store, "Autorun", "True");
  const std::string text = dir.Read("cfg/Quillfen/settings.ini");
  EXPECT_EQ(text.rfind("; my notes\r\n[Other]\r\nkeep = me\r\n[Settings]\r\n", 0), 0u) << text;
  EXPECT_NE(text.find("Autorun=True\r\n"), std::string::npos);
  // Only the file and its lock: no temporary file is left behind.
  EXPECT_EQ(FilesIn(dir.Path("cfg/Quillfen")), (std::vector<std::string>{".settings.ini.lock", "settings.ini"}));
}

TEST(SettingsStoreTest, FirstWriteCreatesThePrivateFolderAndFile) {
  TempDir dir;
  IniSettingsStore store(dir.Path("home/.config/Quillfen/settings.ini"));
  EXPECT_EQ(Get(store, "Subfolder", "0"), "0");
  Save(store, "Subfolder", "False");
  EXPECT_EQ(dir.Read("home/.config/Quillfen/settings.ini"), "[Settings]\nSubfolder=False\n");
  struct stat st;
  ASSERT_EQ(::stat(dir.Path("home/.config/Quillfen/settings.ini").c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0600u);
  ASSERT_EQ(::stat(dir.Path("home/.config/Quillfen").c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0700u);
}

TEST(SettingsStoreTest, TwoCopiesWritingInTurnKeepBothKeys) {
  TempDir dir;
  const std::string path = dir.Path("Quillfen/settings.ini");
  IniSettingsStore first(path);
  IniSettingsStore second(path);
  Save(first, "Target", "/first");
  Save(second, "Source", "/second");
  Save(first, "Subfolder", "True");
  EXPECT_EQ(Get(second, "Target"), "/first");
  EXPECT_EQ(Get(first, "Source"), "/second");
  EXPECT_EQ(Get(second, "Subfolder"), "True");
}

TEST(SettingsStoreTest, ProcessesWritingAtOnceLoseNothing) {
  TempDir dir;
  const std::string path = dir.Path("Quillfen/settings.ini");
  constexpr int kCopies = 4;
  constexpr int kKeys = 40;
  std::vector<pid_t> children;
  for (int copy = 0; copy < kCopies; ++copy) {
    pid_t pid = ::fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {
      IniSettingsStore store(path);
      for (int key = 0; key < kKeys; ++key)
        Save(store, "k" + std::to_string(copy) + "_" + std::to_string(key), std::to_string(key));
      ::_exit(0);
    }
    children.push_back(pid);
  }
  for (pid_t pid : children) {
    int status = 0;
    ::waitpid(pid, &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  }
  IniSettingsStore store(path);
  int found = 0;
  for (int copy = 0; copy < kCopies; ++copy)
    for (int key = 0; key < kKeys; ++key)
      found += Get(store, "k" + std::to_string(copy) + "_" + std::to_string(key)) == std::to_string(key);
  EXPECT_EQ(found, kCopies * kKeys);
}

TEST(SettingsStoreTest, OddFilesAndFailuresGiveTheDefaultAndLoseNothing) {
  TempDir dir;
  const std::string odd = std::string("\x89PNG\0\xff garbage\n=no name\n[Settings\nTarget\n", 36);
  dir.Write("odd/settings.ini", odd);
  IniSettingsStore oddStore(dir.Path("odd/settings.ini"));
  EXPECT_EQ(Get(oddStore, "Target"), "(default)");
  Save(oddStore, "Target", "/new");
  EXPECT_EQ(Get(oddStore, "Target"), "/new");
  EXPECT_EQ(dir.Read("odd/settings.ini").rfind(odd, 0), 0u) << "the lines it does not understand stay";

  // A settings "file" that is a folder: reads give the default, writes change nothing.
  fs::create_directories(dir.Path("folder/settings.ini"));
  IniSettingsStore folderStore(dir.Path("folder/settings.ini"));
  EXPECT_EQ(Get(folderStore, "Target"), "(default)");
  Save(folderStore, "Target", "/x");
  EXPECT_TRUE(fs::is_directory(dir.Path("folder/settings.ini")));

  // Names that would not read back as themselves create no file.
  IniSettingsStore store(dir.Path("names/settings.ini"));
  Save(store, "Target=/evil", "True");
  EXPECT_FALSE(fs::exists(dir.Path("names/settings.ini")));
}

TEST(SettingsStoreTest, AnUnwritableFolderLeavesTheOldFileWhole) {
  if (::geteuid() == 0) GTEST_SKIP() << "root writes into read-only folders";
  TempDir dir;
  dir.Write("ro/settings.ini", "[Settings]\nTarget=/old\n");
  IniSettingsStore store(dir.Path("ro/settings.ini"));
  fs::permissions(dir.Path("ro"), fs::perms::owner_read | fs::perms::owner_exec);
  Save(store, "Target", "/new");
  EXPECT_EQ(Get(store, "Target"), "/old");
  fs::permissions(dir.Path("ro"), fs::perms::owner_all);
}

TEST(AtomicFileTest, SymbolicLinksAreFollowedAndModesKept) {
  TempDir dir;
  dir.Write("real/mimeapps.list", "[Default Applications]\n");
  fs::permissions(dir.Path("real/mimeapps.list"), fs::perms(0640));
  fs::create_directories(dir.Path("cfg"));
  fs::create_symlink(dir.Path("real/mimeapps.list"), dir.Path("cfg/mimeapps.list"));
  ASSERT_TRUE(atomic_file::Modify(dir.Path("cfg/mimeapps.list"),
                                  [](const std::optional<std::string>& text) { return *text + "a=b\n"; }));
  EXPECT_TRUE(fs::is_symlink(dir.Path("cfg/mimeapps.list")));
  EXPECT_EQ(dir.Read("real/mimeapps.list"), "[Default Applications]\na=b\n");
  EXPECT_EQ(fs::status(dir.Path("real/mimeapps.list")).permissions(), fs::perms(0640));

  auto aside = atomic_file::MoveAside(dir.Path("real/mimeapps.list"), ".old");
  ASSERT_TRUE(aside);
  dir.Write("real/mimeapps.list", "second");
  auto again = atomic_file::MoveAside(dir.Path("real/mimeapps.list"), ".old");
  ASSERT_TRUE(again);
  EXPECT_NE(*aside, *again) << "an earlier file kept aside is never replaced";
  EXPECT_EQ(dir.Read("real/mimeapps.list.old"), "[Default Applications]\na=b\n");
}

TEST(AtomicFileTest, TemporariesOfKilledWritersAreClearedByTheNextWrite) {
  TempDir dir;
  dir.Write("cfg/settings.ini", "[Settings]\n");
  dir.Write("cfg/.settings.ini.tmp-AbC123", "[Settings]\nhalf");
  dir.Write("cfg/.settings.ini.tmp-longer-than-mkstemp", "not ours");
  dir.Write("cfg/.other.ini.tmp-XyZ789", "another file's");
  ASSERT_TRUE(atomic_file::Modify(dir.Path("cfg/settings.ini"),
                                  [](const std::optional<std::string>& text) { return *text + "a=b\n"; }));
  EXPECT_EQ(FilesIn(dir.Path("cfg")),
            (std::vector<std::string>{".other.ini.tmp-XyZ789", ".settings.ini.lock",
                                      ".settings.ini.tmp-longer-than-mkstemp", "settings.ini"}));
}

TEST(XdgPathsTest, FoldersFollowTheEnvironment) {
  TempDir dir;
  ::setenv("HOME", dir.path().c_str(), 1);
  ::setenv("XDG_CONFIG_HOME", "relative/is/ignored", 1);
  ::unsetenv("XDG_DATA_HOME");
  ::unsetenv("XDG_PICTURES_DIR");
  EXPECT_EQ(xdg::ConfigHome(), dir.Path(".config"));
  EXPECT_EQ(xdg::DataHome(), dir.Path(".local/share"));
  EXPECT_EQ(IniSettingsStore::DefaultPath(), dir.Path(".config/Quillfen/settings.ini"));
  EXPECT_EQ(xdg::PicturesFolder(), dir.Path("Pictures"));
  ::setenv("XDG_CONFIG_HOME", dir.Path("conf").c_str(), 1);
  dir.Write("conf/user-dirs.dirs", "XDG_PICTURES_DIR=\"/data/My \\\"Photos\\\"\"\n");
  EXPECT_EQ(xdg::PicturesFolder(), "/data/My \"Photos\"");
  ::unsetenv("XDG_CONFIG_HOME");

  EXPECT_EQ(xdg::UserDirFromText("XDG_PICTURES_DIR=\"$HOME/\"\n", "XDG_PICTURES_DIR", "/h"), "/h");
  EXPECT_EQ(xdg::UserDirFromText("XDG_PICTURES_DIR=\"$HOMEX\"\n", "XDG_PICTURES_DIR", "/h"), "");
  EXPECT_EQ(xdg::UserDirFromText("XDG_PICTURES_DIR=\"relative\"\n", "XDG_PICTURES_DIR", "/h"), "");
  EXPECT_EQ(xdg::UserDirFromText("#XDG_PICTURES_DIR=\"/x\"\r\nXDG_PICTURES_DIR=\"/y\"\r\n", "XDG_PICTURES_DIR", "/h"),
            "/y");
}

}  // namespace
}  // namespace quillfen::testing
