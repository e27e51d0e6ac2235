#pragma once
// Facts about the running program and the user, read from the system: the
// program file from /proc/self/exe, the languages from the locale variables
// as GLib reads them, the local date from the clock, the picture folder from
// the XDG user folders.
#include <string>

#include "platform/SystemInfo.h"

namespace quillfen {

class PosixSystemInfo : public SystemInfo {
 public:
  // argument: everything after the program path, as one text;
  // desktopProgram: the desktop program's file name in the program folder,
  // where the running program is another one (the headless host); empty
  // when the running program is the desktop program itself.
  explicit PosixSystemInfo(std::string argument, std::string desktopProgram = {});

  std::string ProgramFolder() const override;
  std::string DesktopProgramFileName() const override;
  std::string CommandLineArgument() const override { return argument_; }
  std::vector<std::string> LocalePreferences() const override;
  LocalDate Today() const override;
  LocalDate DayOf(std::int64_t seconds) const override;
  std::int64_t Now() const override;
  LocalTime TimeOf(std::int64_t seconds) const override;
  std::string PicturesFolder() const override;
  std::string MediaFolder() const override;

 private:
  std::string argument_;
  std::string programFile_;  // full path of the running program
  std::string desktopProgram_;
};

// The arguments joined by single spaces, as the program sees its argument.
std::string JoinArguments(int argc, const char* const* argv, int first);

}  // namespace quillfen
