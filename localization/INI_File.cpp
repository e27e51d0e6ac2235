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
  auto document = Read();
  return document ? *document : IniDocument();
}

std::string INI_File::GetKeyStr(const std::string& key, const std::string& section) const {
  auto document = Read();
  std::optional<std::string> found = document ? document->Get(section, key) : std::nullopt;
  if (!found) return {};
  std::string_view value = *found;
  // A NUL ends the value: every text the program hands on (to GTK, to the
  // movie) would end there anyway.
  value = value.substr(0, value.find('\0'));
  value = FirstCharacters(value, kMaxValueLength);
  // Leading spaces go once more after the quotes are taken off: a quoted
  // value loses its leading spaces, and a value of spaces alone reads empty.
  while (!value.empty() && value.front() == ' ') value.remove_prefix(1);
  return std::string(value);
}

std::int32_t INI_File::GetKeyInt(const std::string& key, const std::string& section) const {
  auto document = Read();
  std::optional<std::string> found = document ? document->Get(section, key) : std::nullopt;
  if (!found) return 0;
  std::int64_t number = 0;
  for (char c : *found) {
    if (c < '0' || c > '9') break;
    number = number * 10 + (c - '0');
    if (number > std::numeric_limits<std::int32_t>::max()) return std::numeric_limits<std::int32_t>::max();
  }
  return static_cast<std::int32_t>(number);
}

void INI_File::SetKeyStr(const std::string& key, const std::string& value, const std::string& section) {
  if (path_.empty() || key.empty() || section.empty()) return;
  IniDocument document = ReadOrEmpty();
  document.Set(section, key, value);
  Write(document);
}

void INI_File::DeleteSection(const std::string& section) {
  auto found = Read();
  if (!found) return;  // nothing to delete, and no file is created for it
  IniDocument document = *found;
  document.DeleteSection(section);
  Write(document);
}

void INI_File::DeleteKey(const std::string& key, const std::string& section) {
  auto found = Read();
  if (!found) return;
  IniDocument document = *found;
  document.DeleteKey(section, key);
  Write(document);
}

void INI_File::Write(const IniDocument& document) const { (void)files_.ReplaceFile(path_, document.Serialize()); }

}  // namespace quillfen
