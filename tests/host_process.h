#pragma once
// The real headless host run as a process of its own, with a private home
// and an English interface: its event log line by line with the moment each
// line arrived, its exit status, what it wrote on standard error and its peak
// memory. A run that outlives its time limit is killed and says so, so that
// a hang fails a test instead of stalling it.
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

extern char** environ;

namespace quillfen::testing {

using HostClock = std::chrono::steady_clock;

// A host built with a sanitizer carries its shadow memory: its peak says
// nothing about the program's own, so memory limits are not checked there.
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
constexpr bool kPeakMemoryIsTheProgramsOwn = false;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer) || __has_feature(memory_sanitizer) || __has_feature(thread_sanitizer)
constexpr bool kPeakMemoryIsTheProgramsOwn = false;
#else
constexpr bool kPeakMemoryIsTheProgramsOwn = true;
#endif
#else
constexpr bool kPeakMemoryIsTheProgramsOwn = true;
#endif

// The peak memory of a run, in kilobytes, for a limit check: 0 where it is
// not the program's own.
inline long CheckedPeakKilobytes(long peakKilobytes) { return kPeakMemoryIsTheProgramsOwn ? peakKilobytes : 0; }

struct HostRun {
  int exitCode = -1;  // -1 when the process did not end by itself
  bool timedOut = false;
  std::vector<std::string> lines;
  std::vector<HostClock::time_point> arrived;  // one per line
  std::string errors;                          // standard error
  long peakKilobytes = 0;                      // maximum resident set size

  // The index of the first line at or after `from` that starts with the
  // prefix, or -1.
  long Find(const std::string& prefix, long from = 0) const {
    for (long i = from; i < static_cast<long>(lines.size()); ++i)
      if (lines[i].rfind(prefix, 0) == 0) return i;
    return -1;
  }
  bool Has(const std::string& prefix) const { return Find(prefix) >= 0; }
  std::vector<std::string> Matching(const std::string& prefix) const {
    std::vector<std::string> out;
    for (const std::string& line : lines)
      if (line.rfind(prefix, 0) == 0) out.push_back(line);
    return out;
  }
  std::string Log() const {
    std::string out;
    for (const std::string& line : lines) out += line.substr(0, 300) + "\n";
    return out;
  }
};

// A folder holding the home of one test (HOME, XDG_CONFIG_HOME and
// XDG_DATA_HOME below it) and whatever else the test puts there.
class HostSandbox {
 public:
  // Below `parent` (a fast tmpfs for tests with many files), else below the
  // system's temporary folder.
  explicit HostSandbox(const std::string& parent = "") {
    std::string base = parent.empty() ? std::filesystem::temp_directory_path().string() : parent;
    std::string pattern = base + "/quillfen-host-XXXXXX";
    if (!mkdtemp(pattern.data())) throw std::runtime_error("cannot make a folder below " + base);
    root_ = pattern;
    std::filesystem::create_directories(Path("home/.config/Quillfen"));
    std::filesystem::create_directories(Path("home/.local/share"));
  }
  ~HostSandbox() {
    std::error_code ec;
    std::filesystem::remove_all(root_, ec);
  }
  HostSandbox(const HostSandbox&) = delete;
  HostSandbox& operator=(const HostSandbox&) = delete;

  const std::string& root() const { return root_; }
  std::string Path(const std::string& relative) const { return root_ + "/" + relative; }
  std::string Home() const { return Path("home"); }

  // Writes the settings the program starts with, one "key=value" a line.
  void Settings(const std::string& lines) const { WriteFile(Path("home/.config/Quillfen/settings.ini"), "[Settings]\n" + lines); }

  static void WriteFile(const std::string& path, const std::string& bytes) {
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!out) throw std::runtime_error("cannot write " + path);
  }

  // Runs `<programFolder>/quillfen-script <transcript> <arguments...>`.
  HostRun Run(const std::string& transcript, const std::vector<std::string>& arguments = {},
              int timeoutSeconds = 60, const std::string& programFolder = QUILLFEN_PROGRAM_DIR) const {
    const std::string transcriptPath = Path("transcript-" + std::to_string(++runs_));
    WriteFile(transcriptPath, transcript);
    const std::string errorsPath = transcriptPath + ".stderr";
    const std::string program = programFolder + "/quillfen-script";

    std::vector<std::string> argStrings{program, transcriptPath};
    argStrings.insert(argStrings.end(), arguments.begin(), arguments.end());
    std::vector<std::string> envStrings = Environment();

    int pipeFds[2];
    if (pipe2(pipeFds, O_CLOEXEC) != 0) throw std::runtime_error("pipe failed");
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, pipeFds[1], STDOUT_FILENO);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, errorsPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    std::vector<char*> argv = Pointers(argStrings);
    std::vector<char*> envp = Pointers(envStrings);
    pid_t pid = 0;
    const int spawned = posix_spawn(&pid, program.c_str(), &actions, nullptr, argv.data(), envp.data());
    posix_spawn_file_actions_destroy(&actions);
    close(pipeFds[1]);
    if (spawned != 0) {
      close(pipeFds[0]);
      throw std::runtime_error("cannot start " + program + ": " + std::strerror(spawned));
    }

    HostRun run;
    const auto deadline = HostClock::now() + std::chrono::seconds(timeoutSeconds);
    std::string pending;
    char buffer[1 << 16];
    for (;;) {
      const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - HostClock::now()).count();
      if (left <= 0) {
        run.timedOut = true;
        kill(pid, SIGKILL);
        break;
      }
      pollfd fd{pipeFds[0], POLLIN, 0};
      if (poll(&fd, 1, static_cast<int>(left)) <= 0) continue;
      const ssize_t got = read(pipeFds[0], buffer, sizeof buffer);
      if (got <= 0) break;
      const auto now = HostClock::now();
      pending.append(buffer, static_cast<std::size_t>(got));
      std::size_t start = 0;
      for (std::size_t end; (end = pending.find('\n', start)) != std::string::npos; start = end + 1) {
        run.lines.push_back(pending.substr(start, end - start));
        run.arrived.push_back(now);
      }
      pending.erase(0, start);
    }
    close(pipeFds[0]);
    if (!pending.empty()) {
      run.lines.push_back(pending);
      run.arrived.push_back(HostClock::now());
    }
    int status = 0;
    rusage usage{};
    wait4(pid, &status, 0, &usage);
    if (WIFEXITED(status)) run.exitCode = WEXITSTATUS(status);
    run.peakKilobytes = usage.ru_maxrss;
    std::ifstream errors(errorsPath, std::ios::binary);
    std::ostringstream text;
    text << errors.rdbuf();
    run.errors = text.str();
    return run;
  }

 private:
  // The caller's environment without anything that would reach the user's
  // own files or choose a language, plus the private home.
  std::vector<std::string> Environment() const {
    std::vector<std::string> env;
    for (char** e = environ; *e; ++e) {
      const std::string entry = *e;
      if (entry.rfind("HOME=", 0) == 0 || entry.rfind("XDG_", 0) == 0 || entry.rfind("LC_", 0) == 0 ||
          entry.rfind("LANG=", 0) == 0 || entry.rfind("LANGUAGE=", 0) == 0)
        continue;
      env.push_back(entry);
    }
    env.push_back("HOME=" + Home());
    env.push_back("XDG_CONFIG_HOME=" + Path("home/.config"));
    env.push_back("XDG_DATA_HOME=" + Path("home/.local/share"));
    env.push_back("LC_ALL=C.UTF-8");
    return env;
  }

  static std::vector<char*> Pointers(std::vector<std::string>& strings) {
    std::vector<char*> out;
    for (std::string& s : strings) out.push_back(s.data());
    out.push_back(nullptr);
    return out;
  }

  std::string root_;
  mutable int runs_ = 0;
};

}  // namespace quillfen::testing
