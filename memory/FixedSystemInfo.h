#pragma once
// System facts set by a test or the headless host.
#include <ctime>
#include <cstdint>
#include <string>
#include <utility>

#include "platform/SystemInfo.h"

namespace quillfen {

class FixedSystemInfo : public SystemInfo {
 public:
  std::string programFolder;
  std::string desktopProgramFileName = "quillfen";
  std::string argument;
  std::vector<std::string> localePreferences = {"C"};
  LocalDate today{2026, 12, 6};
  mutable std::int64_t now = 1796551200;  // 6 December 2026, 10:00 UTC
  std::int64_t tick = 0;
  std::string picturesFolder = "/home/user/Pictures";
  // Days in the time zone of the process (TZ) instead of UTC.
  bool localDays = false;
  std::string mediaFolder = "/media/user";

  std::string ProgramFolder() const override { return programFolder; }
  std::string DesktopProgramFileName() const override { return desktopProgramFileName; }
  std::string CommandLineArgument() const override { return argument; }
  std::vector<std::string> LocalePreferences() const override { return localePreferences; }
  LocalDate Today() const override { return today; }
  LocalDate DayOf(std::int64_t seconds) const override { return TimeOf(seconds).date; }
  // The clock moves on by `tick` seconds at every reading.
  std::int64_t Now() const override { return std::exchange(now, now + tick); }
  // In UTC, the same on every machine, unless told otherwise.
  LocalTime TimeOf(std::int64_t seconds) const override {
    const std::time_t moment = static_cast<std::time_t>(seconds);
    std::tm day{};
    if ((localDays ? ::localtime_r(&moment, &day) : ::gmtime_r(&moment, &day)) == nullptr) return {};
    return {{day.tm_year + 1900, day.tm_mon + 1, day.tm_mday}, day.tm_hour, day.tm_min, day.tm_sec};
  }
  std::string PicturesFolder() const override { return picturesFolder; }
  std::string MediaFolder() const override { return mediaFolder; }
};

}  // namespace quillfen
