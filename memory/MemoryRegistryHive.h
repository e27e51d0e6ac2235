#pragma once
// A registry hive held in memory: keys by root and path, each with a default
// value and named values; names compare without regard to letter case.
#include <map>
#include <string>
#include <utility>

#include "platform/RegistryHive.h"

namespace quillfen {

class MemoryRegistryHive : public RegistryHive {
 public:
  struct Key {
    std::string path;                                             // as first written
    std::map<std::string, std::pair<std::string, std::string>> values;  // folded name -> (name, data)
  };
  using Keys = std::map<std::pair<RegistryRoot, std::string>, Key>;  // folded path

  bool KeyExists(RegistryRoot root, const std::string& subkey) const override;
  bool CreateKey(RegistryRoot root, const std::string& subkey) override;
  bool QueryValue(RegistryRoot root, const std::string& subkey, const std::string& name, std::size_t bufferSize,
                  std::string& data) const override;
  bool SetValue(RegistryRoot root, const std::string& subkey, const std::string& name,
                const std::string& data) override;
  bool DeleteValue(RegistryRoot root, const std::string& subkey, const std::string& name) override;

  const Keys& keys() const { return keys_; }
  Keys& keys() { return keys_; }

 private:
  Keys keys_;
};

// The lower-case form of a key path or value name, with separators collapsed.
std::string FoldRegistryName(const std::string& name);

}  // namespace quillfen
