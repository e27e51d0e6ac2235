#pragma once
// System facts set by a test or the headless host.
#include <ctime>
#include <string>

#include "platform/SystemInfo.h"

namespace quillfen {

class FixedSystemInfo : public SystemInfo {
 public:
  std::string programFolder;
  std::string desktopProgramFileName = "quillfen";
  std::string argument;
  std::vector<std::string> localePreferences = {"C"};
  LocalDate today{2026, 12, 6};
  std::string picturesFolder = "/home/user/Pictures";
  // Days in the time zone of the process (TZ) instead of UTC.
  bool localDays = false;
  std::string mediaFolder = "/media/user";

  std::string ProgramFolder() const override { return programFolder; }
  std::string DesktopProgramFileName() const override { return desktopProgramFileName; }
  std::string CommandLineArgument() const override { return argument; }
  std::vector<std::string> LocalePreferences() const override { return localePreferences; }
  LocalDate Today() const override { return today; }
  // In UTC, the same on every machine, unless told otherwise.
  LocalDate DayOf(std::int64_t seconds) const override {
    const std::time_t moment = static_cast<std::time_t>(seconds);
    std::tm day{};
    if ((localDays ? ::localtime_r(&moment, &day) : ::gmtime_r(&moment, &day)) == nullptr) return {};
    return {day.tm_year + 1900, day.tm_mon + 1, day.tm_mday};
  }
  std::string PicturesFolder() const override { return picturesFolder; }
  std::string MediaFolder() const override { return mediaFolder; }
};

}  // namespace quillfen
