#pragma once
// System facts set by a test or the headless host.
#include <string>

#include "platform/SystemInfo.h"

namespace quillfen {

class FixedSystemInfo : public SystemInfo {
 public:
  std::string programFolder;
  std::string programFileName = "quillfen";
  std::string argument;
  int languageId = 1033;
  LocalDate today{2026, 12, 6};
  std::string picturesFolder = "/home/user/Pictures";

  std::string ProgramFolder() const override { return programFolder; }
  std::string ProgramFileName() const override { return programFileName; }
  std::string CommandLineArgument() const override { return argument; }
  int UserLanguageId() const override { return languageId; }
  LocalDate Today() const override { return today; }
  std::string PicturesFolder() const override { return picturesFolder; }
};

}  // namespace quillfen
