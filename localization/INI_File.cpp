#include "localization/INI_File.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <fstream>
#include <limits>
#include <sstream>

#include "localization/TextEncoding.h"

namespace quillfen {

std::optional<std::string> INI_File::ReadText() const {
  if (path_.empty()) return std::nullopt;
  std::ifstream in(path_, std::ios::binary);
  if (!in) return std::nullopt;
  std::ostringstream bytes;
  bytes << in.rdbuf();
  if (in.bad()) return std::nullopt;
  std::string text = bytes.str();
  if (IsValidUtf8(text)) return text;
  return Windows1251ToUtf8(text);
}

IniDocument INI_File::Read() const { return IniDocument::Parse(ReadText().value_or(std::string())); }

std::string INI_File::GetKeyStr(const std::string& strKey, const std::string& strSection) const {
  std::optional<std::string> found = Read().Get(strSection, strKey);
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
  std::optional<std::string> found = Read().Get(strSection, strKey);
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
  IniDocument doc = Read();
  doc.Set(strSection, strKey, strData);
  Write(doc);
}

void INI_File::DeleteSection(const std::string& strSection) {
  std::optional<std::string> text = ReadText();
  if (!text) return;  // nothing to delete, and no file is created for it
  IniDocument doc = IniDocument::Parse(*text);
  doc.DeleteSection(strSection);
  Write(doc);
}

void INI_File::DeleteKey(const std::string& strKey, const std::string& strSection) {
  std::optional<std::string> text = ReadText();
  if (!text) return;
  IniDocument doc = IniDocument::Parse(*text);
  doc.DeleteKey(strSection, strKey);
  Write(doc);
}

void INI_File::Write(const IniDocument& doc) const {
  namespace fs = std::filesystem;
  std::error_code ec;
  // Through a link the file it points to is replaced, not the link.
  fs::path target = fs::exists(path_, ec) ? fs::canonical(path_, ec) : fs::path(path_);
  if (ec) return;
  mode_t mode = 0644;
  struct stat st;
  if (::stat(target.c_str(), &st) == 0) mode = st.st_mode & 07777;

  std::string temp = target.string() + ".XXXXXX";
  int fd = ::mkstemp(temp.data());
  if (fd < 0) return;
  std::string text = doc.Serialize();
  bool ok = ::fchmod(fd, mode) == 0;
  for (std::size_t done = 0; ok && done < text.size();) {
    ssize_t n = ::write(fd, text.data() + done, text.size() - done);
    if (n < 0 && errno != EINTR) ok = false;
    else if (n < 0) continue;
    else done += static_cast<std::size_t>(n);
  }
  ok = ok && ::fsync(fd) == 0;
  ok = (::close(fd) == 0) && ok;
  if (!ok || ::rename(temp.c_str(), target.c_str()) != 0) ::unlink(temp.c_str());
}

}  // namespace quillfen
