#include "localization/INI_File.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <limits>

#include "localization/TextEncoding.h"

namespace quillfen {

std::shared_ptr<const IniDocument> INI_File::Read() const {
  if (path_.empty()) return nullptr;
  // Non-blocking, so that a pipe in the file's place cannot stall the program.
  int fd = ::open(path_.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (fd < 0) return nullptr;
  struct stat st;
  if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    ::close(fd);
    return nullptr;
  }
  std::string bytes;
  char buffer[65536];
  bool ok = true;
  for (;;) {
    ssize_t n = ::read(fd, buffer, sizeof buffer);
    if (n > 0) bytes.append(buffer, static_cast<std::size_t>(n));
    else if (n == 0) break;
    else if (errno != EINTR) { ok = false; break; }
  }
  ::close(fd);
  if (!ok) return nullptr;
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
