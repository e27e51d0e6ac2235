#include "memory/MemoryRegistryHive.h"

#include "base/NoCase.h"

namespace quillfen {

std::string FoldRegistryName(const std::string& name) {
  std::string out;
  for (char c : name) {
    if (c == '\\' && (out.empty() || out.back() == '\\')) continue;
    out += c;
  }
  while (!out.empty() && out.back() == '\\') out.pop_back();
  // Letters fold as the hive file's INI reader folds them (Cyrillic too), so
  // two names the file cannot tell apart are one name here as well.
  return FoldNoCase(out);
}

bool MemoryRegistryHive::KeyExists(RegistryRoot root, const std::string& subkey) const {
  const std::string folded = FoldRegistryName(subkey);
  return folded.empty() || keys_.count({root, folded}) != 0;
}

bool MemoryRegistryHive::CreateKey(RegistryRoot root, const std::string& subkey) {
  // Every parent on the way is created too.
  std::string path;
  std::size_t start = 0;
  while (start <= subkey.size()) {
    std::size_t end = subkey.find('\\', start);
    if (end == std::string::npos) end = subkey.size();
    if (end > start) {
      if (!path.empty()) path += '\\';
      path += subkey.substr(start, end - start);
      auto& key = keys_[{root, FoldRegistryName(path)}];
      if (key.path.empty()) key.path = path;
    }
    start = end + 1;
  }
  return true;
}

bool MemoryRegistryHive::QueryValue(RegistryRoot root, const std::string& subkey, const std::string& name,
                                    std::size_t bufferSize, std::string& data) const {
  auto key = keys_.find({root, FoldRegistryName(subkey)});
  if (key == keys_.end()) return false;
  auto value = key->second.values.find(FoldRegistryName(name));
  if (value == key->second.values.end()) return false;
  // The value and its terminator must fit the caller's buffer.
  if (value->second.second.size() + 1 > bufferSize) return false;
  data = value->second.second;
  return true;
}

bool MemoryRegistryHive::SetValue(RegistryRoot root, const std::string& subkey, const std::string& name,
                                  const std::string& data) {
  const std::string folded = FoldRegistryName(subkey);
  auto key = keys_.find({root, folded});
  if (key == keys_.end()) {
    if (!folded.empty()) return false;
    key = keys_.emplace(std::make_pair(root, folded), Key{}).first;
  }
  key->second.values[FoldRegistryName(name)] = {name, data};
  return true;
}

bool MemoryRegistryHive::DeleteValue(RegistryRoot root, const std::string& subkey, const std::string& name) {
  auto key = keys_.find({root, FoldRegistryName(subkey)});
  if (key == keys_.end()) return false;
  return key->second.values.erase(FoldRegistryName(name)) != 0;
}

}  // namespace quillfen
