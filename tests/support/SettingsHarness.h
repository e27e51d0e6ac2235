#pragma once
// The program's objects over recording ports, for the tests of the settings and
// the AutoPlay registration: every store write, hive change and desktop update
// is kept in order, and the user's folders point into a temporary home.
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/frmQuillfen.h"
#include "base/AppNames.h"
#include "bridge/clsSWFProvider.h"
#include "localization/clsLanguageProvider.h"
#include "platform/DesktopIntegration.h"
#include "posix/XdgPaths.h"
#include "settings/AutoPlayKeys.h"
#include "platform/RegistryRootNames.h"
#include "settings/clsSettings.h"
#include "support/MovieCalls.h"
#include "support/PrivateHome.h"
#include "support/TempDir.h"
#include "support/TestProgram.h"

namespace quillfen::testing {

class RecordingStore : public SettingsStore {
 public:
  MemorySettingsStore values;
  std::vector<std::string> saves;  // "key=value" in order
  std::function<void(const std::string& key)> beforeSave;

  std::string GetSetting(const std::string& app, const std::string& section, const std::string& key,
                         const std::string& defaultValue) const override {
    return values.GetSetting(app, section, key, defaultValue);
  }
  void SaveSetting(const std::string& app, const std::string& section, const std::string& key,
                   const std::string& value) override {
    if (beforeSave) beforeSave(key);
    saves.push_back(key + "=" + value);
    values.SaveSetting(app, section, key, value);
  }
};

class RecordingHive : public RegistryHive {
 public:
  MemoryRegistryHive hive;
  std::vector<std::string> changes;  // "create ROOT\path", "set ROOT\path name=data", "delete ROOT\path name"

  bool KeyExists(RegistryRoot root, const std::string& subkey) const override { return hive.KeyExists(root, subkey); }
  bool CreateKey(RegistryRoot root, const std::string& subkey) override {
    changes.push_back("create " + Path(root, subkey));
    return hive.CreateKey(root, subkey);
  }
  bool QueryValue(RegistryRoot root, const std::string& subkey, const std::string& name, std::size_t size,
                  std::string& data) const override {
    return hive.QueryValue(root, subkey, name, size, data);
  }
  bool SetValue(RegistryRoot root, const std::string& subkey, const std::string& name,
                const std::string& data) override {
    changes.push_back("set " + Path(root, subkey) + " " + name + "=" + data);
    return hive.SetValue(root, subkey, name, data);
  }
  bool DeleteValue(RegistryRoot root, const std::string& subkey, const std::string& name) override {
    changes.push_back("delete " + Path(root, subkey) + " " + name);
    return hive.DeleteValue(root, subkey, name);
  }
  // The value's data, or "(missing)".
  std::string Value(const std::string& fullPath, const std::string& name) const {
    auto separator = fullPath.find('\\');
    auto root = RegistryRootFromName(fullPath.substr(0, separator));
    std::string data;
    if (!root || !hive.QueryValue(*root, separator == std::string::npos ? "" : fullPath.substr(separator + 1),
                                  name, std::string::npos, data))
      return "(missing)";
    return data;
  }

 private:
  static std::string Path(RegistryRoot root, const std::string& subkey) {
    return std::string(RegistryRootName(root)) + (subkey.empty() ? "" : "\\" + subkey);
  }
};

class RecordingDesktop : public DesktopIntegration {
 public:
  std::vector<AutoPlayRegistration> updates;
  DesktopNotices Synchronize(const AutoPlayRegistration& registration) override {
    updates.push_back(registration);
    return {};
  }
};

// The user's picture folder as the desktop names it, read afresh each time.
class DesktopSystemInfo : public FixedSystemInfo {
 public:
  std::string PicturesFolder() const override { return xdg::PicturesFolder(); }
};

class SettingsHarness {
 public:
  TempDir dir;
  PrivateHome home{dir.Path("home")};
  TestProgram program;
  DesktopSystemInfo system;
  RecordingStore store;
  RecordingHive hive;
  RecordingDesktop desktop;
  std::unique_ptr<GlobalModule> module;
  std::unique_ptr<frmQuillfen> form;

  explicit SettingsHarness(bool withDesktop = true) {
    home.ApplyHere();
    system.programFolder = QUILLFEN_PROGRAM_DIR;
    // A Windows system has the AutoPlay event keys from the start.
    for (const char* path : autoplay::kEventKeys)
      if (const auto key = SplitRootAndSubkey(path)) hive.hive.CreateKey(key->first, key->second);
    withDesktop_ = withDesktop;
    Restart();
  }

  // A new start of the program over the same store, hive and desktop.
  void Restart() {
    form.reset();
    module.reset();
    module = std::make_unique<GlobalModule>(Platform{program.window, program.movie, *program.files, store, hive,
                                                     program.shell, system, withDesktop_ ? &desktop : nullptr});
    form = std::make_unique<frmQuillfen>(module->MainWindow());
    module->objSWFProvider().Control(program.movie);
    module->objLanguageProvider().LoadLanguage(Variant(2));
    module->settingsLock().Hold();  // as the program starts
    program.log.Clear();
    hive.changes.clear();
    desktop.updates.clear();
  }

  clsSettings& settings() { return module->objSettings(); }
  // What the main window's loader does once the movie has asked for its
  // settings: they are loaded, a card given on the command line may be moved.
  void LoadSettings() { form->tmrLoader_Timer(); }
  std::string Text(const std::string& key) { return module->objLanguageProvider().GetDialog(key); }
  std::string Stored(const std::string& key) const {
    return store.values.Has(key) ? store.values.Get(key) : "(absent)";
  }
  void Store(const std::string& key, const std::string& value) {
    store.values.SaveSetting(kSettingsApp, kSettingsSection, key, value);
  }

  // The check-box values pushed into the movie, in order ("chkAutorun=false").
  std::vector<std::string> CheckBoxPushes() const { return testing::CheckBoxPushes(program.movie.Calls()); }

 private:
  bool withDesktop_ = true;
};

}  // namespace quillfen::testing
