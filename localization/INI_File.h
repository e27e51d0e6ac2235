#pragma once
// Reads and writes one INI file with the profile-string rules the program
// relies on: names match without regard to letter case, values are trimmed of
// blanks and of one pair of enclosing quotes, at most 259 characters are read.
// A file that is not valid UTF-8 is read as Windows-1251.
#include <cstdint>
#include <string>

namespace quillfen {

class INI_File {
 public:
  void File(const std::string& path) { path_ = path; }
  const std::string& File() const { return path_; }

  std::string GetKeyStr(const std::string& strKey, const std::string& strSection) const;
  std::int32_t GetKeyInt(const std::string& strKey, const std::string& strSection) const;
  void SetKeyStr(const std::string& strKey, const std::string& strData, const std::string& strSection);
  void DeleteSection(const std::string& strSection);
  void DeleteKey(const std::string& strKey, const std::string& strSection);

 private:
  std::string path_;
};

}  // namespace quillfen
