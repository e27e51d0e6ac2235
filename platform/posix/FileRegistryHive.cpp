#include "platform/posix/FileRegistryHive.h"

namespace quillfen {
// Placeholder until the hive file lands: keeps the keys in memory.
std::string FileRegistryHive::DefaultPath() { return {}; }
FileRegistryHive::FileRegistryHive(std::string path) : path_(std::move(path)) {}
bool FileRegistryHive::KeyExists(RegistryRoot r, const std::string& k) const { return memory_.KeyExists(r, k); }
bool FileRegistryHive::CreateKey(RegistryRoot r, const std::string& k) { return memory_.CreateKey(r, k); }
bool FileRegistryHive::QueryValue(RegistryRoot r, const std::string& k, const std::string& n, std::size_t b,
                                  std::string& d) const {
  return memory_.QueryValue(r, k, n, b, d);
}
bool FileRegistryHive::SetValue(RegistryRoot r, const std::string& k, const std::string& n, const std::string& d) {
  return memory_.SetValue(r, k, n, d);
}
bool FileRegistryHive::DeleteValue(RegistryRoot r, const std::string& k, const std::string& n) {
  return memory_.DeleteValue(r, k, n);
}
}  // namespace quillfen
