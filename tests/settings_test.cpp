#include <filesystem>

#include <gtest/gtest.h>

#include "mover/Pictures.h"
#include "mover/clsFSMoving.h"
#include "settings/OptionText.h"
#include "support/SettingsHarness.h"

namespace quillfen::testing {
namespace {

namespace fs = std::filesystem;

int PicturesIn(const std::string& folder) {
  int count = 0;
  for (const auto& entry : fs::recursive_directory_iterator(folder))
    if (entry.is_regular_file() && IsPicture(entry.path().string())) ++count;
  return count;
}

TEST(SettingsLoadTest, FirstStartShowsDefaultsAndStoresTheUndefinedSource) {
  SettingsHarness h;
  bool pumpedUnlocked = false;
  h.program.window.QueueEvent([&] { pumpedUnlocked = !h.module->settingsLock().Held(); });

  h.LoadSettings();

  EXPECT_FALSE(h.settings().On(Option::Automoving));
  EXPECT_FALSE(h.settings().On(Option::Autorun));
  EXPECT_TRUE(h.settings().On(Option::AutoRename));
  EXPECT_FALSE(h.settings().On(Option::Subfolder));
  EXPECT_EQ(h.CheckBoxPushes(), (std::vector<std::string>{"chkAutomoving=false", "chkAutorun=false",
                                                          "chkAutoRename=true", "chkSubfolder=false"}));
  // The picture folder stands where a Windows drive letter stood.
  EXPECT_EQ(h.module->objFSMoving().TargetValue(), h.dir.Path("home/Pictures"));
  EXPECT_EQ(h.Stored("Target"), h.dir.Path("home/Pictures"));
  EXPECT_EQ(h.module->objFSMoving().SourceValue(), h.Text("source_undefined"));
  EXPECT_EQ(h.Stored("Source"), h.Text("source_undefined"));
  EXPECT_FALSE(h.module->settingsLock().Held());
  EXPECT_TRUE(pumpedUnlocked) << "the final pump runs after the settings are unlocked";
  // Nothing about the options was written: only the mover's setters stored.
  EXPECT_EQ(h.Stored("AutoRename"), "(absent)");
  EXPECT_TRUE(h.hive.changes.empty());
}

TEST(SettingsLoadTest, StoredOptionTextsAndTheTargetFolderOfTheDesktop) {
  SettingsHarness h;
  h.Store("AutoRename", "False");
  h.Store("Subfolder", " -1 ");
  h.Store("Automoving", "maybe");  // outside the format: the default
  h.Store("Autorun", "0.0");
  h.dir.Write("home/.config/user-dirs.dirs", "# written by xdg-user-dirs-update\nXDG_PICTURES_DIR=\"$HOME/Bilder\"\n");
  h.LoadSettings();
  EXPECT_FALSE(h.settings().On(Option::AutoRename));
  EXPECT_TRUE(h.settings().On(Option::Subfolder));
  EXPECT_FALSE(h.settings().On(Option::Automoving));
  EXPECT_FALSE(h.settings().On(Option::Autorun));
  EXPECT_EQ(h.module->objFSMoving().TargetValue(), h.dir.Path("home/Bilder"));

  ::setenv("XDG_PICTURES_DIR", "/srv/photos", 1);
  EXPECT_EQ(h.settings().DefaultTarget(), "/srv/photos");
  ::unsetenv("XDG_PICTURES_DIR");
}

TEST(SettingsLoadTest, OptionTextsAreTrueFalseOrNumbers) {
  EXPECT_EQ(ParseOptionText("TRUE"), true);
  EXPECT_EQ(ParseOptionText("false"), false);
  EXPECT_EQ(ParseOptionText("1"), true);
  EXPECT_EQ(ParseOptionText("0"), false);
  EXPECT_EQ(ParseOptionText("2.5"), true);
  EXPECT_EQ(ParseOptionText("+0"), false);
  for (const char* odd : {"", "yes", "inf", "nan", "0x1", "1abc", "+-1", "Truee"})
    EXPECT_EQ(ParseOptionText(odd), std::nullopt) << odd;
}

TEST(SettingsLoadTest, StoredSourceAndTargetAreShownAndStoredBack) {
  SettingsHarness h;
  h.Store("Source", "/media/card");
  h.Store("Target", "/home/user/Photos");
  h.LoadSettings();
  EXPECT_EQ(h.module->objFSMoving().SourceValue(), "/media/card");
  EXPECT_EQ(h.module->objFSMoving().TargetValue(), "/home/user/Photos");
}

class SettingsArgumentTest : public ::testing::Test {
 protected:
  SettingsHarness h;
  std::string card = h.dir.Path("card with space");
  std::string pictures = h.dir.Path("pictures");

  void SetUp() override {
    h.dir.Write("card with space/DCIM/100TEST/IMG_0001.JPG", "one");
    h.dir.Write("card with space/DCIM/100TEST/IMG_0002.JPG", "two");
    fs::create_directories(pictures);
    h.Store("Target", pictures);
    h.Store("Source", "/stored/source");
    h.system.argument = card;
  }
};

TEST_F(SettingsArgumentTest, WithAutomovingTheMoveRunsBeforeLoadingReturns) {
  h.Store("Automoving", "True");
  h.program.window.QueueAnswer(BoxAnswer::OK);  // the confirmation
  h.LoadSettings();
  EXPECT_EQ(h.module->objFSMoving().SourceValue(), card);
  EXPECT_EQ(h.Stored("Source"), card) << "the argument replaces the stored source";
  EXPECT_EQ(PicturesIn(pictures), 2);
  EXPECT_EQ(PicturesIn(card), 0);
  EXPECT_FALSE(h.module->settingsLock().Held());
}

TEST_F(SettingsArgumentTest, WithoutAutomovingOrWithoutArgumentNothingMoves) {
  h.LoadSettings();
  EXPECT_EQ(h.module->objFSMoving().SourceValue(), card);
  EXPECT_EQ(PicturesIn(card), 2);

  SettingsHarness other;
  other.Store("Automoving", "True");
  other.Store("Source", card);
  other.Store("Target", pictures);
  other.LoadSettings();
  EXPECT_TRUE(other.settings().On(Option::Automoving));
  EXPECT_EQ(other.module->objFSMoving().SourceValue(), card);
  EXPECT_EQ(PicturesIn(card), 2);
  EXPECT_FALSE(other.program.log.Contains("box "));
}

TEST(SettingsSaveTest, LockedSettingsAreNeitherAppliedNorStored) {
  SettingsHarness h;
  h.settings().SaveParameter("Subfolder", true);
  h.settings().SaveParameter("Autorun", true);
  EXPECT_FALSE(h.settings().On(Option::Subfolder));
  EXPECT_FALSE(h.settings().On(Option::Autorun));
  EXPECT_TRUE(h.store.saves.empty());
  EXPECT_TRUE(h.hive.changes.empty());
}

TEST(SettingsSaveTest, NamesMatchExactlyAndEveryNameIsStored) {
  SettingsHarness h;
  h.module->settingsLock().Release();
  h.settings().SaveParameter("Subfolder", true);
  h.settings().SaveParameter("AutoRename", false);
  h.settings().SaveParameter("Automoving", true);
  h.settings().SaveParameter("chkUnknown", true);
  h.settings().SaveParameter("autorun", true);
  h.settings().SaveParameter("SUBFOLDER", false);
  EXPECT_TRUE(h.settings().On(Option::Subfolder));
  EXPECT_FALSE(h.settings().On(Option::AutoRename));
  EXPECT_TRUE(h.settings().On(Option::Automoving));
  EXPECT_FALSE(h.settings().On(Option::Autorun)) << "another letter case neither sets Autorun nor registers";
  EXPECT_TRUE(h.hive.changes.empty());
  EXPECT_EQ(h.store.saves, (std::vector<std::string>{"Subfolder=True", "AutoRename=False", "Automoving=True",
                                                     "chkUnknown=True", "autorun=True", "SUBFOLDER=False"}));
}

TEST(SettingsSaveTest, AutorunIsStoredOnlyAfterTheRegistration) {
  SettingsHarness h;
  h.module->settingsLock().Release();
  std::string offeredWhenStored;
  h.store.beforeSave = [&](const std::string& key) {
    if (key == "Autorun")
      offeredWhenStored = h.hive.Value(autoplay::kShowPicturesKey, "_Quillfen");
  };
  h.settings().SaveParameter("Autorun", true);
  EXPECT_TRUE(h.settings().On(Option::Autorun));
  EXPECT_EQ(offeredWhenStored, "");
  EXPECT_EQ(h.store.saves, std::vector<std::string>{"Autorun=True"});
}

}  // namespace
}  // namespace quillfen::testing
