#pragma once
// Facts about the running program and the user's system.
#include <cstdint>
#include <string>
#include <vector>

#include "base/DayStamp.h"

namespace quillfen {

class SystemInfo {
 public:
  virtual ~SystemInfo() = default;
  // The folder holding the program file, without a trailing separator.
  virtual std::string ProgramFolder() const = 0;
  // The file name (no folder) of the desktop program in the program folder:
  // the program the desktop starts for a card. It is the running program's
  // own name, except in the headless host, which is never offered itself.
  virtual std::string DesktopProgramFileName() const = 0;
  // Everything after the program path, as one text.
  virtual std::string CommandLineArgument() const = 0;
  // The user's languages, most wanted first, as the desktop orders them
  // (LANGUAGE, else the first set of LC_ALL, LC_MESSAGES and LANG): locale
  // names such as "pt_BR.UTF-8", "de" or "C".
  virtual std::vector<std::string> LocalePreferences() const = 0;
  virtual LocalDate Today() const = 0;
  // The day a moment (seconds since 1970, UTC) falls on in the user's time zone.
  virtual LocalDate DayOf(std::int64_t seconds) const = 0;
  // The moment it is, in seconds since 1970 (UTC).
  virtual std::int64_t Now() const = 0;
  // A moment on the user's clock: its day and its time in the user's time zone.
  virtual LocalTime TimeOf(std::int64_t seconds) const = 0;
  // The user's picture folder (the default target), as the desktop names it.
  virtual std::string PicturesFolder() const = 0;
  // The folder the desktop mounts cards in for the user (the home folder
  // where it has none).
  virtual std::string MediaFolder() const = 0;
};

}  // namespace quillfen
