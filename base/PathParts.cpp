#include "base/PathParts.h"

#include <string_view>

namespace quillfen {

std::string BuildPath(const std::string& folder, const std::string& name) {
  if (folder.empty()) return name;
  std::string_view rest(name);
  while (!rest.empty() && rest.front() == '/') rest.remove_prefix(1);
  if (folder.back() == '/') return folder + std::string(rest);
  return folder + "/" + std::string(rest);
}

std::string GetFileName(const std::string& path) {
  auto slash = path.find_last_of('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string GetExtensionName(const std::string& path) {
  std::string name = GetFileName(path);
  auto dot = name.find_last_of('.');
  return dot == std::string::npos ? std::string() : name.substr(dot + 1);
}

std::string GetBaseName(const std::string& path) {
  std::string name = GetFileName(path);
  auto dot = name.find_last_of('.');
  return dot == std::string::npos ? name : name.substr(0, dot);
}

std::string ParentFolder(const std::string& path) {
  auto slash = path.find_last_of('/');
  if (slash == std::string::npos) return ".";
  if (slash == 0) return "/";
  return path.substr(0, slash);
}

}  // namespace quillfen
