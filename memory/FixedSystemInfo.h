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
  int languageId = 1033;
  LocalDate today{2026, 12, 6};
  std::string picturesFolder = "/home/user/Pictures";
  std::string mediaFolder = "/media/user";

  std::string ProgramFolder() const override { return programFolder; }
  std::string DesktopProgramFileName() const override { return desktopProgramFileName; }
  std::string CommandLineArgument() const override { return argument; }
  int UserLanguageId() const override { return languageId; }
  LocalDate Today() const override { return today; }
  // In UTC, the same on every machine.
  LocalDate DayOf(std::int64_t seconds) const override {
    const std::time_t moment = static_cast<std::time_t>(seconds);
    std::tm utc{};
    if (::gmtime_r(&moment, &utc) == nullptr) return {};
    return {utc.tm_year + 1900, utc.tm_mon + 1, utc.tm_mday};
  }
  std::string PicturesFolder() const override { return picturesFolder; }
  std::string MediaFolder() const override { return mediaFolder; }
};

}  // namespace quillfen
