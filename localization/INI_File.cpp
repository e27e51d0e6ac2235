#include "localization/INI_File.h"

#include <limits>

#include "base/TextEncoding.h"

namespace quillfen {

std::shared_ptr<const IniDocument> INI_File::Read() const {
  if (path_.empty()) return nullptr;
  std::string bytes;
  if (!files_.ReadFile(path_, bytes)) return nullptr;
  if (cached_ && bytes == cachedBytes_) return cached_;
  cached_ = std::make_shared<const IniDocument>(
      IniDocument::Parse(IsValidUtf8(bytes) ? bytes : Windows1251ToUtf8(bytes)));
  cachedBytes_ = std::move(bytes);
  return cached_;
}

IniDocument INI_File::ReadOrEmpty() const {
  auto doc = Read();
  return doc ? *doc : IniDocument();
}

std::string INI_File::GetKeyStr(const std::string& strKey, const std::string& strSection) const {
  auto doc = Read();
  std::optional<std::string> found = doc ? doc->Get(strSection, strKey) : std::nullopt;
  if (!found) return {};
  std::string_view value = *found;
  value = value.substr(0, value.find('\0'));  // the value is a C string for the profile reader
  value = FirstCharacters(value, kMaxValueLength);
  // The reader's buffer is trimmed of spaces once more: a quoted value loses
  // its leading spaces, and a value of spaces alone reads empty.
  while (!value.empty() && value.front() == ' ') value.remove_prefix(1);
  return std::string(value);
}

std::int32_t INI_File::GetKeyInt(const std::string& strKey, const std::string& strSection) const {
  auto doc = Read();
  std::optional<std::string> found = doc ? doc->Get(strSection, strKey) : std::nullopt;
  if (!found) return 0;
  std::int64_t number = 0;
  for (char c : *found) {
    if (c < '0' || c > '9') break;
    number = number * 10 + (c - '0');
    if (number > std::numeric_limits<std::int32_t>::max()) return std::numeric_limits<std::int32_t>::max();
  }
  return static_cast<std::int32_t>(number);
}

void INI_File::SetKeyStr(const std::string& strKey, const std::string& strData, const std::string& strSection) {
  if (path_.empty() || strKey.empty() || strSection.empty()) return;
  IniDocument doc = ReadOrEmpty();
  doc.Set(strSection, strKey, strData);
  Write(doc);
}

void INI_File::DeleteSection(const std::string& strSection) {
  auto found = Read();
  if (!found) return;  // nothing to delete, and no file is created for it
  IniDocument doc = *found;
  doc.DeleteSection(strSection);
  Write(doc);
}

void INI_File::DeleteKey(const std::string& strKey, const std::string& strSection) {
  auto found = Read();
  if (!found) return;
  IniDocument doc = *found;
  doc.DeleteKey(strSection, strKey);
  Write(doc);
}

void INI_File::Write(const IniDocument& doc) const { (void)files_.ReplaceFile(path_, doc.Serialize()); }

}  // namespace quillfen
