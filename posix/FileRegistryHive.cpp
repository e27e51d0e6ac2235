#include "posix/FileRegistryHive.h"

#include <ctime>
#include <iostream>

#include "base/AppNames.h"
#include "base/PathParts.h"
#include "posix/AtomicFile.h"
#include "posix/XdgPaths.h"
#include "memory/HiveText.h"
#include "platform/RegistryRootNames.h"

namespace quillfen {
namespace {

std::string AsideSuffix() {
  char stamp[32] = "";
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  if (::localtime_r(&now, &local)) std::strftime(stamp, sizeof stamp, "%Y%m%d-%H%M%S", &local);
  return std::string(".damaged-") + stamp;
}

}  // namespace

std::string FileRegistryHive::DefaultPath() { return BuildPath(xdg::ConfigHome(), std::string(kAppTitle) + "/registry.ini"); }

FileRegistryHive::FileRegistryHive(std::string path, std::vector<std::string> standingKeys)
    : path_(std::move(path)), standingKeys_(std::move(standingKeys)) {}

void FileRegistryHive::AddStandingKeys(MemoryRegistryHive& hive) const {
  for (const std::string& path : standingKeys_)
    if (const auto key = SplitRootAndSubkey(path)) hive.CreateKey(key->first, key->second);
}

void FileRegistryHive::ReportDamage(const std::string& damage) const {
  if (damageReported_) return;
  damageReported_ = true;
  std::cerr << "quillfen: warning: the registry file " << path_ << " is damaged (" << damage
            << "); it is read as empty and will be kept under a new name before it is next written\n";
}

MemoryRegistryHive FileRegistryHive::Load() const {
  atomic_file::ReadResult file = atomic_file::Read(path_);
  hive_text::Parsed parsed;
  if (file.ok && file.exists) parsed = hive_text::Parse(file.text);
  if (!parsed.damage.empty()) ReportDamage(parsed.damage);
  AddStandingKeys(parsed.hive);
  return std::move(parsed.hive);
}

bool FileRegistryHive::Change(const std::function<bool(MemoryRegistryHive&)>& change) {
  bool changed = false;
  const bool written = atomic_file::Modify(
      path_,
      [&](const std::optional<std::string>& current) -> std::optional<std::string> {
        MemoryRegistryHive hive;
        bool damaged = false;
        if (current) {
          hive_text::Parsed parsed = hive_text::Parse(*current);
          damaged = !parsed.damage.empty();
          if (damaged) ReportDamage(parsed.damage);
          hive = std::move(parsed.hive);
        }
        AddStandingKeys(hive);
        if (!change(hive)) return std::nullopt;
        if (damaged) {
          // The damaged file is kept for the user; without that, it stays in place.
          auto aside = atomic_file::MoveAside(path_, AsideSuffix());
          if (!aside) return std::nullopt;
          std::cerr << "quillfen: warning: the damaged registry file was kept as " << *aside << "\n";
        }
        changed = true;
        return hive_text::Serialize(hive);
      },
      0600);
  return written && changed;
}

bool FileRegistryHive::KeyExists(RegistryRoot root, const std::string& subkey) const {
  return Load().KeyExists(root, subkey);
}

bool FileRegistryHive::CreateKey(RegistryRoot root, const std::string& subkey) {
  return Change([&](MemoryRegistryHive& hive) { return hive.CreateKey(root, subkey); });
}

bool FileRegistryHive::QueryValue(RegistryRoot root, const std::string& subkey, const std::string& name,
                                  std::size_t bufferSize, std::string& data) const {
  return Load().QueryValue(root, subkey, name, bufferSize, data);
}

bool FileRegistryHive::SetValue(RegistryRoot root, const std::string& subkey, const std::string& name,
                                const std::string& data) {
  return Change([&](MemoryRegistryHive& hive) { return hive.SetValue(root, subkey, name, data); });
}

bool FileRegistryHive::DeleteValue(RegistryRoot root, const std::string& subkey, const std::string& name) {
  return Change([&](MemoryRegistryHive& hive) { return hive.DeleteValue(root, subkey, name); });
}

}  // namespace quillfen
