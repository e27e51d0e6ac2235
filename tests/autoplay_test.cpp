#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>

#include "base/PathParts.h"
#include "mover/clsFSMoving.h"
#include "posix/DesktopEntryValues.h"
#include "posix/MimeAppsOffer.h"
#include "settings/AutoPlayKeys.h"
#include "support/Process.h"
#include "support/SettingsHarness.h"

namespace quillfen::testing {
namespace {

namespace fs = std::filesystem;
using namespace autoplay;

std::string Set(const std::string& key, const std::string& name, const std::string& data) {
  return "set " + key + " " + name + "=" + data;
}

class AutoPlayTest : public ::testing::Test {
 protected:
  SettingsHarness h;
  std::string ProgramPath() const { return BuildPath(h.system.programFolder, "quillfen"); }
  void SwitchAutorun(bool on) {
    h.module->settingsLock().Release();
    h.settings().SaveParameter("Autorun", on);
  }
};

TEST_F(AutoPlayTest, FirstSwitchOnWritesTheWholeRegistrationIconLast) {
  SwitchAutorun(true);
  const std::string program = ProgramPath();
  EXPECT_EQ(h.hive.Value(kClassKey, ""), h.Text("quillfen_title"));
  EXPECT_EQ(h.hive.Value(kHandlerKey, "Action"), h.Text("quillfen_action_title"));
  EXPECT_EQ(h.hive.Value(kHandlerKey, "InvokeProgID"), "Quillfen");
  EXPECT_EQ(h.hive.Value(kHandlerKey, "InvokeVerb"), "Quillfen");
  EXPECT_EQ(h.hive.Value(kHandlerKey, "Provider"), h.Text("quillfen_title"));
  EXPECT_EQ(h.hive.Value(kHandlerKey, "DefaultIcon"), program + ",0");
  EXPECT_EQ(h.hive.Value(kMixedContentKey, "_Quillfen"), "");
  EXPECT_EQ(h.hive.Value(kShowPicturesKey, "_Quillfen"), "");
  // The icon is the registration's last entry: a registration cut short
  // before it is recognised and written again at the next switch-on.
  const auto& changes = h.hive.changes;
  const auto icon = std::find(changes.begin(), changes.end(), Set(kHandlerKey, "DefaultIcon", program + ",0"));
  ASSERT_NE(icon, changes.end());
  for (auto change = icon + 1; change != changes.end(); ++change)
    EXPECT_TRUE(change->find(kMixedContentKey) != std::string::npos || change->find(kShowPicturesKey) != std::string::npos)
        << "written after the icon: " << *change;
  EXPECT_EQ(h.hive.Value(kCommandKey, ""), program + " %1");
  EXPECT_TRUE(h.settings().On(Option::Autorun));
  EXPECT_EQ(h.Stored("Autorun"), "True");
  ASSERT_FALSE(h.desktop.updates.empty());
  const AutoPlayRegistration& shown = h.desktop.updates.back();
  EXPECT_TRUE(shown.registered);
  EXPECT_TRUE(shown.offered);
  EXPECT_EQ(shown.programPath, program);
  EXPECT_EQ(shown.name, h.Text("quillfen_title"));
  EXPECT_EQ(shown.action, h.Text("quillfen_action_title"));
}

TEST_F(AutoPlayTest, OnOffOnOnlyAddsAndRemovesTheOffer) {
  SwitchAutorun(true);
  h.hive.changes.clear();
  SwitchAutorun(false);
  EXPECT_EQ(h.hive.changes, (std::vector<std::string>{std::string("delete ") + kMixedContentKey + " _Quillfen",
                                                      std::string("delete ") + kShowPicturesKey + " _Quillfen"}));
  EXPECT_EQ(h.hive.Value(kCommandKey, ""), ProgramPath() + " %1") << "the registration itself stays";
  EXPECT_TRUE(h.desktop.updates.back().registered);
  EXPECT_FALSE(h.desktop.updates.back().offered);
  EXPECT_EQ(h.Stored("Autorun"), "False");

  h.hive.changes.clear();
  SwitchAutorun(true);
  EXPECT_EQ(h.hive.changes, (std::vector<std::string>{Set(kMixedContentKey, "_Quillfen", ""),
                                                      Set(kShowPicturesKey, "_Quillfen", "")}));
  EXPECT_TRUE(h.desktop.updates.back().offered);
  EXPECT_TRUE(h.program.log.Matching("box ").empty());
}

TEST_F(AutoPlayTest, OffWhenNeverRegisteredFindsNothingToRemove) {
  SwitchAutorun(false);
  EXPECT_EQ(h.hive.Value(kClassKey, ""), "(missing)");
  EXPECT_EQ(h.hive.changes.size(), 2u);
  ASSERT_EQ(h.desktop.updates.size(), 1u);
  EXPECT_FALSE(h.desktop.updates.back().registered);
  EXPECT_FALSE(h.desktop.updates.back().offered);
}

TEST_F(AutoPlayTest, AMovedProgramIsFollowedOnlyWithAutorunOn) {
  SwitchAutorun(true);
  const std::string oldPath = ProgramPath();

  h.system.programFolder = "/";  // a program in the root folder
  h.Restart();
  h.Store("Autorun", "False");
  h.LoadSettings();
  EXPECT_EQ(h.hive.Value(kCommandKey, ""), oldPath + " %1");
  EXPECT_EQ(h.hive.Value(kHandlerKey, "DefaultIcon"), oldPath + ",0");
  EXPECT_TRUE(h.desktop.updates.empty());

  h.Restart();
  h.Store("Autorun", "True");
  h.LoadSettings();
  EXPECT_EQ(h.hive.Value(kCommandKey, ""), "/quillfen %1");
  EXPECT_EQ(h.hive.Value(kHandlerKey, "DefaultIcon"), "/quillfen,0");
  ASSERT_FALSE(h.desktop.updates.empty());
  EXPECT_EQ(h.desktop.updates.back().programPath, "/quillfen");
}

TEST_F(AutoPlayTest, RewritingNeverRecreatesADeletedRegistration) {
  h.Store("Autorun", "True");
  h.LoadSettings();
  EXPECT_EQ(h.hive.Value(kCommandKey, ""), "(missing)");
  EXPECT_TRUE(h.hive.changes.empty());
}

TEST_F(AutoPlayTest, AClassKeyHoldingZeroCountsAsMissing) {
  h.hive.hive.CreateKey(RegistryRoot::ClassesRoot, "Quillfen");
  h.hive.hive.SetValue(RegistryRoot::ClassesRoot, "Quillfen", "", "0");
  SwitchAutorun(true);
  EXPECT_EQ(h.hive.changes.front(), std::string("create ") + kCommandKey);
  EXPECT_EQ(h.hive.Value(kClassKey, ""), h.Text("quillfen_title"));
  EXPECT_EQ(h.hive.Value(kCommandKey, ""), ProgramPath() + " %1");
}

TEST_F(AutoPlayTest, ARegistrationCutShortIsWrittenAgainNextTime) {
  // A run killed after the class key's name but before the handler's icon.
  h.hive.hive.CreateKey(RegistryRoot::ClassesRoot, "Quillfen\\shell\\quillfen\\command");
  h.hive.hive.SetValue(RegistryRoot::ClassesRoot, "Quillfen", "", "Quillfen");
  SwitchAutorun(true);
  EXPECT_EQ(h.hive.changes.front(), std::string("create ") + kCommandKey);
  EXPECT_EQ(h.hive.Value(kHandlerKey, "Provider"), h.Text("quillfen_title"));
  EXPECT_EQ(h.hive.Value(kHandlerKey, "DefaultIcon"), ProgramPath() + ",0");
  EXPECT_EQ(h.hive.Value(kCommandKey, ""), ProgramPath() + " %1");
}

TEST_F(AutoPlayTest, AutorunReportedDuringAMoveChangesNothing) {
  h.dir.Write("card/DCIM/100TEST/IMG_0001.JPG", "one");
  fs::create_directories(h.dir.Path("pictures"));
  h.module->settingsLock().Release();
  h.module->objFSMoving().Target(h.dir.Path("pictures"));
  h.module->objFSMoving().Source(h.dir.Path("card"));
  h.store.saves.clear();
  bool lockedWhenReported = false;
  h.program.window.QueueEvent([&] {
    lockedWhenReported = h.module->settingsLock().Held();
    h.settings().SaveParameter("Autorun", true);
  });
  h.program.window.QueueAnswer(BoxAnswer::OK);
  h.module->objFSMoving().StartOperation();
  EXPECT_TRUE(lockedWhenReported);
  EXPECT_FALSE(h.settings().On(Option::Autorun));
  EXPECT_TRUE(h.hive.changes.empty());
  EXPECT_TRUE(h.desktop.updates.empty());
  for (const std::string& save : h.store.saves) EXPECT_NE(save.rfind("Autorun", 0), 0u) << save;
  EXPECT_TRUE(fs::exists(h.dir.Path("pictures/IMG_0001.JPG"))) << "the move itself ran";
}

// The desktop's side, on real files in a temporary home.
class DesktopMirrorTest : public ::testing::Test {
 protected:
  TempDir dir;
  std::string applications = dir.Path("data/applications");
  std::string mimeapps = dir.Path("config/mimeapps.list");
  MimeAppsOffer desktop{applications, mimeapps};

  static AutoPlayRegistration Registered(const std::string& programPath, bool offered) {
    AutoPlayRegistration r;
    r.registered = true;
    r.programPath = programPath;
    r.name = "Quillfen";
    r.action = "Move pictures to this computer";
    r.offered = offered;
    return r;
  }
  // Runs a command with the temporary home as the user's folders; its output.
  std::string Run(const std::string& command) {
    const std::string line = "HOME='" + dir.path() + "' XDG_CONFIG_HOME='" + dir.Path("config") +
                             "' XDG_DATA_HOME='" + dir.Path("data") + "' " + command + " 2>&1";
    const ProcessResult run = RunCommand({"/bin/sh", "-c", line});
    lastStatus = run.exitCode;
    return run.Output();
  }
  static bool Have(const char* tool) { return HaveTool(tool); }
  int lastStatus = -1;
};

TEST_F(DesktopMirrorTest, TheEntryQuotesOddProgramPathsAndPassesTheValidator) {
  desktop.Synchronize(Registered("/opt/My Apps/quill$fen%/quillfen", true));
  const std::string entry = dir.Read("data/applications/quillfen.desktop");
  EXPECT_NE(entry.find("\nExec=\"/opt/My Apps/quill\\\\$fen%%/quillfen\" %f\n"), std::string::npos) << entry;
  EXPECT_NE(entry.find("\nIcon=/opt/My Apps/quill$fen%/resources/quillfen.png\n"), std::string::npos) << entry;
  EXPECT_NE(entry.find("\nMimeType=x-content/image-dcf;\n"), std::string::npos);
  EXPECT_NE(entry.find("\nType=Application\n"), std::string::npos);
  EXPECT_EQ(QuoteExecArgument("/usr/lib/quillfen/quillfen"), "/usr/lib/quillfen/quillfen");
  EXPECT_EQ(QuoteExecArgument("/a \"b\" `c` \\d"), "\"/a \\\"b\\\" \\`c\\` \\\\d\"");
  if (!Have("desktop-file-validate")) GTEST_SKIP() << "desktop-file-validate is not installed";
  const std::string report = Run("desktop-file-validate '" + desktop.DesktopFilePath() + "'");
  EXPECT_EQ(lastStatus, 0) << report;
  EXPECT_EQ(report, "");
}

TEST_F(DesktopMirrorTest, TheAssociationComesAndGoesAndEverythingElseStays) {
  const std::string before =
      "# the user's own notes\n"
      "[Default Applications]\n"
      "text/plain=gedit.desktop\n"
      "x-content/image-dcf = shotwell.desktop\n"
      "[Added Associations]\n"
      "image/jpeg=eog.desktop;gimp.desktop;\n"
      "[Removed Associations]\n"
      "video/mp4=totem.desktop;\n";
  dir.Write("config/mimeapps.list", before);
  // The desktop lists only entries whose program exists.
  const std::string program = dir.Write("program/quillfen", "#!/bin/sh\n");
  fs::permissions(program, fs::perms::owner_all);

  desktop.Synchronize(Registered(program, true));
  const std::string offered = dir.Read("config/mimeapps.list");
  EXPECT_NE(offered.find("x-content/image-dcf = quillfen.desktop;shotwell.desktop\n"), std::string::npos) << offered;
  EXPECT_NE(offered.find("[Added Associations]\nimage/jpeg=eog.desktop;gimp.desktop;\nx-content/image-dcf=quillfen.desktop;\n"),
            std::string::npos)
      << offered;
  if (Have("gio")) {
    const std::string gio = Run("gio mime x-content/image-dcf");
    EXPECT_NE(gio.find("Default application for “x-content/image-dcf”: quillfen.desktop"), std::string::npos) << gio;
  }
  desktop.Synchronize(Registered(program, true));
  EXPECT_EQ(dir.Read("config/mimeapps.list"), offered) << "offering twice changes nothing";

  desktop.Synchronize(Registered(program, false));
  EXPECT_EQ(dir.Read("config/mimeapps.list"), before);
  EXPECT_TRUE(fs::exists(desktop.DesktopFilePath())) << "registered but not offered keeps the entry";
  if (Have("gio")) {
    EXPECT_EQ(Run("gio mime x-content/image-dcf").find("quillfen.desktop"), std::string::npos);
  }
}

TEST_F(DesktopMirrorTest, WithoutRegistrationThereIsNoEntryAndNoAssociation) {
  desktop.Synchronize(Registered("/usr/lib/quillfen/quillfen", true));
  AutoPlayRegistration gone;
  gone.offered = true;  // a stray offer without its class key offers nothing
  desktop.Synchronize(gone);
  EXPECT_FALSE(fs::exists(desktop.DesktopFilePath()));
  EXPECT_EQ(dir.Read("config/mimeapps.list"), "[Added Associations]\n[Default Applications]\n")
      << "a withdrawn association leaves its sections, which may be the user's own";

  // Withdrawing from a home that never had a mimeapps.list creates none.
  TempDir other;
  MimeAppsOffer fresh(other.Path("apps"), other.Path("cfg/mimeapps.list"));
  fresh.Synchronize(gone);
  EXPECT_FALSE(fs::exists(other.Path("cfg/mimeapps.list")));
}

TEST_F(DesktopMirrorTest, ADamagedMimeappsListIsKeptAsItIs) {
  const std::string damaged = std::string("\xff\xfe binary\0junk\n[Default Applications\n=x\n[Added Associations]\n", 61);
  dir.Write("config/mimeapps.list", damaged);
  desktop.Synchronize(Registered("/usr/lib/quillfen/quillfen", true));
  const std::string offered = dir.Read("config/mimeapps.list");
  EXPECT_EQ(offered.rfind(damaged, 0), 0u);
  EXPECT_NE(offered.find("x-content/image-dcf=quillfen.desktop;"), std::string::npos);
  desktop.Synchronize(Registered("/usr/lib/quillfen/quillfen", false));
  EXPECT_EQ(dir.Read("config/mimeapps.list"), damaged + "[Default Applications]\n")
      << "the broken header is no section; the one added for the offer stays";
}

}  // namespace
}  // namespace quillfen::testing
