#pragma once
// Reads and writes one INI file (a language file) as the language files are
// written to be read: names match without regard to letter case, values are
// trimmed of blanks and of one pair of enclosing quotes, at most
// kMaxValueLength characters are read. A file that is not valid UTF-8 is read as Windows-1251.
#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "base/IniDocument.h"
#include "platform/FileSystem.h"

namespace quillfen {

class INI_File {
 public:
  // Every read and write of the file goes through `files`.
  explicit INI_File(FileSystem& files) : files_(files) {}

  // The longest value GetKeyStr gives, in characters: room for a text with
  // the plural forms of two counts in a language that has six.
  static constexpr std::size_t kMaxValueLength = 1023;

  void File(const std::string& path) { path_ = path; }
  const std::string& File() const { return path_; }

  // Failures are silent: a missing or unreadable file reads as empty values,
  // and a write that cannot be made leaves the file as it was.
  std::string GetKeyStr(const std::string& key, const std::string& section) const;
  std::int32_t GetKeyInt(const std::string& key, const std::string& section) const;
  void SetKeyStr(const std::string& key, const std::string& value, const std::string& section);
  void DeleteSection(const std::string& section);
  void DeleteKey(const std::string& key, const std::string& section);

 private:
  // The parsed file, or nothing when it is missing or cannot be read. The
  // file is read on every call; it is parsed again only when its bytes
  // changed, so reading many keys of a large file stays fast.
  std::shared_ptr<const IniDocument> Read() const;
  IniDocument ReadOrEmpty() const;
  // Replaces the file with the text in one step, so that a crash never
  // leaves half a file.
  void Write(const IniDocument& doc) const;

  FileSystem& files_;
  std::string path_;
  mutable std::string cachedBytes_;
  mutable std::shared_ptr<const IniDocument> cached_;
};

}  // namespace quillfen
