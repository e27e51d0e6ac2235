#pragma once
// Facts about the running program and the user's system.
#include <string>

namespace quillfen {

struct LocalDate {
  int year = 2000;
  int month = 1;  // 1..12
  int day = 1;    // 1..31
};

class SystemInfo {
 public:
  virtual ~SystemInfo() = default;
  // The folder holding the program file, without a trailing separator.
  virtual std::string ProgramFolder() const = 0;
  // The program file's own name (no folder).
  virtual std::string ProgramFileName() const = 0;
  // Everything after the program path, as one text.
  virtual std::string CommandLineArgument() const = 0;
  // 1049 for a Russian user, 1033 otherwise.
  virtual int UserLanguageId() const = 0;
  virtual LocalDate Today() const = 0;
  virtual bool FileExists(const std::string& path) const = 0;
};

}  // namespace quillfen
