#include "platform/SettingsStore.h"

namespace quillfen {

bool IsStorableSettingName(const std::string& name) {
  if (name.empty()) return false;
  const auto blank = [](char c) { return c == ' ' || c == '\t'; };
  if (blank(name.front()) || blank(name.back())) return false;
  if (name.front() == ';' || name.front() == '#' || name.front() == '[') return false;
  for (char c : name)
    if (c == '=' || c == ']' || c == '\r' || c == '\n' || c == '\0') return false;
  return true;
}

std::string StoredSettingValue(const std::string& value) {
  std::string stored = value;
  for (char& c : stored)
    if (c == '\r' || c == '\n') c = ' ';
  return stored;
}

}  // namespace quillfen
