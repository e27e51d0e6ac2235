#pragma once
// The registry hive of the current user, in one file
// ($XDG_CONFIG_HOME/Quillfen/registry.ini), written atomically under a lock.
#include <string>

#include "platform/script/MemoryRegistryHive.h"

namespace quillfen {

class FileRegistryHive : public RegistryHive {
 public:
  static std::string DefaultPath();
  explicit FileRegistryHive(std::string path);

  bool KeyExists(RegistryRoot root, const std::string& subkey) const override;
  bool CreateKey(RegistryRoot root, const std::string& subkey) override;
  bool QueryValue(RegistryRoot root, const std::string& subkey, const std::string& name, std::size_t bufferSize,
                  std::string& data) const override;
  bool SetValue(RegistryRoot root, const std::string& subkey, const std::string& name,
                const std::string& data) override;
  bool DeleteValue(RegistryRoot root, const std::string& subkey, const std::string& name) override;

 private:
  std::string path_;
  MemoryRegistryHive memory_;
};

}  // namespace quillfen
