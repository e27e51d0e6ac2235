#pragma once
// The real headless host run as a process of its own, in a folder of the
// test's with a private home and an English interface.
#include <string>
#include <vector>

#include "support/PrivateHome.h"
#include "support/Process.h"
#include "support/TempDir.h"

namespace quillfen::testing {

using HostRun = ProcessResult;
using HostClock = ProcessClock;

class HostSandbox {
 public:
  // Below `parent` (a fast tmpfs for tests with many files), else below the
  // system's temporary folder.
  explicit HostSandbox(const std::string& parent = "") : dir_(parent, "quillfen-host"), home_(dir_.Path("home")) {}

  const std::string& root() const { return dir_.path(); }
  std::string Path(const std::string& relative) const { return dir_.Path(relative); }
  std::string Home() const { return home_.Home(); }
  const PrivateHome& home() const { return home_; }

  // The locale variables of the next runs ("LANG=de_DE.UTF-8"); English
  // (LC_ALL=C.UTF-8) until set.
  void Locale(std::vector<std::string> variables) { locale_ = std::move(variables); }

  // Writes the settings the program starts with, one "key=value" a line.
  void Settings(const std::string& lines) const { WriteFileAt(home_.SettingsFile(), "[Settings]\n" + lines); }
  static void WriteFile(const std::string& path, const std::string& bytes) { WriteFileAt(path, bytes); }

  // Runs `<programFolder>/quillfen-script <transcript> <arguments...>`.
  HostRun Run(const std::string& transcript, const std::vector<std::string>& arguments = {},
              int timeoutSeconds = 60, const std::string& programFolder = QUILLFEN_PROGRAM_DIR) const {
    const std::string transcriptPath = Path("transcript-" + std::to_string(++runs_));
    WriteFileAt(transcriptPath, transcript);
    std::vector<std::string> all{transcriptPath};
    all.insert(all.end(), arguments.begin(), arguments.end());
    return RunHost(all, timeoutSeconds, programFolder);
  }
  // Runs `<programFolder>/quillfen-script <arguments...>` as they stand.
  HostRun RunHost(const std::vector<std::string>& arguments, int timeoutSeconds = 60,
                  const std::string& programFolder = QUILLFEN_PROGRAM_DIR) const {
    std::vector<std::string> argv{programFolder + "/quillfen-script"};
    argv.insert(argv.end(), arguments.begin(), arguments.end());
    return RunProcess(argv, home_.Environment(locale_), timeoutSeconds);
  }

 private:
  TempDir dir_;
  PrivateHome home_;
  std::vector<std::string> locale_ = {"LC_ALL=C.UTF-8"};
  mutable int runs_ = 0;
};

}  // namespace quillfen::testing
