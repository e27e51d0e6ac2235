#pragma once
// The registry hive of the current user, in one text file
// ($XDG_CONFIG_HOME/Quillfen/registry.ini). Every operation reads the file
// afresh; every change is written atomically under a lock, so two running
// copies never lose each other's keys. A damaged file is reported once on
// standard error, reads as empty, and is kept under a new name before
// anything is written in its place.
#include <functional>
#include <string>
#include <vector>

#include "memory/MemoryRegistryHive.h"

namespace quillfen {

class FileRegistryHive : public RegistryHive {
 public:
  static std::string DefaultPath();
  // standingKeys: full key paths ("HKEY_...\\...") that the hive always has,
  // keys the program writes values into but never creates; a fresh or
  // damaged file reads with them too.
  explicit FileRegistryHive(std::string path, std::vector<std::string> standingKeys = {});

  bool KeyExists(RegistryRoot root, const std::string& subkey) const override;
  bool CreateKey(RegistryRoot root, const std::string& subkey) override;
  bool QueryValue(RegistryRoot root, const std::string& subkey, const std::string& name, std::size_t bufferSize,
                  std::string& data) const override;
  bool SetValue(RegistryRoot root, const std::string& subkey, const std::string& name,
                const std::string& data) override;
  bool DeleteValue(RegistryRoot root, const std::string& subkey, const std::string& name) override;

 private:
  // The hive as the file holds it now (empty when absent, unreadable or damaged).
  MemoryRegistryHive Load() const;
  // Applies a change to the file's current content under the lock; the file is
  // rewritten only when the change succeeds.
  bool Change(const std::function<bool(MemoryRegistryHive&)>& change);
  void ReportDamage(const std::string& damage) const;
  void AddStandingKeys(MemoryRegistryHive& hive) const;

  std::string path_;
  std::vector<std::string> standingKeys_;
  mutable bool damageReported_ = false;
};

}  // namespace quillfen
