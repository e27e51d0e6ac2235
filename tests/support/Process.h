#pragma once
// Runs a program as a process of its own and gathers what it did: standard
// output line by line with the moment each line arrived, standard error, the
// exit status and the peak memory. A run that outlives its time limit is
// killed and says so, so that a hang fails a test instead of stalling it.
#include <chrono>
#include <string>
#include <vector>

namespace quillfen::testing {

using ProcessClock = std::chrono::steady_clock;

struct ProcessResult {
  int exitCode = -1;  // -1 when the process did not end by itself
  bool timedOut = false;
  std::vector<std::string> lines;                 // standard output
  std::vector<ProcessClock::time_point> arrived;  // one per line
  std::string errors;                             // standard error
  long peakKilobytes = 0;                         // maximum resident set size

  // The index of the first line at or after `from` that starts with the
  // prefix, or -1.
  long Find(const std::string& prefix, long from = 0) const;
  bool Has(const std::string& prefix) const { return Find(prefix) >= 0; }
  std::vector<std::string> Matching(const std::string& prefix) const;
  // Standard output as it came, every line ended by "\n".
  std::string Output() const;
  // The output for a failure message, long lines cut.
  std::string Log() const;
};

// argv[0] is the program's path; `environment` replaces the caller's.
ProcessResult RunProcess(const std::vector<std::string>& argv, const std::vector<std::string>& environment,
                         int timeoutSeconds = 60);
// A command with the caller's environment (a tool such as desktop-file-validate).
ProcessResult RunCommand(const std::vector<std::string>& argv, int timeoutSeconds = 60);
// True when the tool is on the PATH.
bool HaveTool(const std::string& name);

// A sanitizer build carries its shadow memory: its peak says nothing about
// the program's own, so memory limits are not checked there. The peak of a
// run, in kilobytes, for a limit check: 0 where it is not the program's own.
long CheckedPeakKilobytes(long peakKilobytes);

}  // namespace quillfen::testing
