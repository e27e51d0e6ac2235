#include "support/Process.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <stdexcept>

extern char** environ;

namespace quillfen::testing {

namespace {

std::vector<char*> Pointers(std::vector<std::string>& strings) {
  std::vector<char*> out;
  for (std::string& s : strings) out.push_back(s.data());
  out.push_back(nullptr);
  return out;
}

// Splits what arrived into lines, keeping an unfinished one for later.
void TakeLines(std::string& pending, ProcessResult& run) {
  const auto now = ProcessClock::now();
  std::size_t start = 0;
  for (std::size_t end; (end = pending.find('\n', start)) != std::string::npos; start = end + 1) {
    run.lines.push_back(pending.substr(start, end - start));
    run.arrived.push_back(now);
  }
  pending.erase(0, start);
}

}  // namespace

long ProcessResult::Find(const std::string& prefix, long from) const {
  for (long i = from; i < static_cast<long>(lines.size()); ++i)
    if (lines[i].rfind(prefix, 0) == 0) return i;
  return -1;
}

std::vector<std::string> ProcessResult::Matching(const std::string& prefix) const {
  std::vector<std::string> out;
  for (const std::string& line : lines)
    if (line.rfind(prefix, 0) == 0) out.push_back(line);
  return out;
}

std::string ProcessResult::Output() const {
  std::string out;
  for (const std::string& line : lines) out += line + "\n";
  return out;
}

std::string ProcessResult::Log() const {
  std::string out;
  for (const std::string& line : lines) out += line.substr(0, 300) + "\n";
  return out;
}

ProcessResult RunProcess(const std::vector<std::string>& argv, const std::vector<std::string>& environment,
                         int timeoutSeconds) {
  int out[2], err[2];
  if (pipe2(out, O_CLOEXEC) != 0 || pipe2(err, O_CLOEXEC) != 0) throw std::runtime_error("pipe failed");
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
  posix_spawn_file_actions_adddup2(&actions, err[1], STDERR_FILENO);
  std::vector<std::string> args = argv, env = environment;
  std::vector<char*> argp = Pointers(args), envp = Pointers(env);
  pid_t pid = 0;
  const int spawned = posix_spawnp(&pid, args[0].c_str(), &actions, nullptr, argp.data(), envp.data());
  posix_spawn_file_actions_destroy(&actions);
  close(out[1]);
  close(err[1]);
  if (spawned != 0) {
    close(out[0]);
    close(err[0]);
    throw std::runtime_error("cannot start " + args[0] + ": " + std::strerror(spawned));
  }

  ProcessResult run;
  const auto deadline = ProcessClock::now() + std::chrono::seconds(timeoutSeconds);
  std::string pending;
  char buffer[1 << 16];
  pollfd fds[2] = {{out[0], POLLIN, 0}, {err[0], POLLIN, 0}};
  while (fds[0].fd >= 0 || fds[1].fd >= 0) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - ProcessClock::now()).count();
    if (left <= 0) {
      run.timedOut = true;
      kill(pid, SIGKILL);
      break;
    }
    if (poll(fds, 2, static_cast<int>(left)) <= 0) continue;
    for (pollfd& fd : fds) {
      if (fd.fd < 0 || !(fd.revents & (POLLIN | POLLHUP | POLLERR))) continue;
      const ssize_t got = read(fd.fd, buffer, sizeof buffer);
      if (got <= 0) {
        close(fd.fd);
        fd.fd = -1;
      } else if (&fd == &fds[0]) {
        pending.append(buffer, static_cast<std::size_t>(got));
        TakeLines(pending, run);
      } else {
        run.errors.append(buffer, static_cast<std::size_t>(got));
      }
    }
  }
  for (const pollfd& fd : fds)
    if (fd.fd >= 0) close(fd.fd);
  if (!pending.empty()) {
    run.lines.push_back(pending);
    run.arrived.push_back(ProcessClock::now());
  }
  int status = 0;
  rusage usage{};
  wait4(pid, &status, 0, &usage);
  if (WIFEXITED(status)) run.exitCode = WEXITSTATUS(status);
  run.peakKilobytes = usage.ru_maxrss;
  return run;
}

ProcessResult RunCommand(const std::vector<std::string>& argv, int timeoutSeconds) {
  std::vector<std::string> environment;
  for (char** e = environ; *e; ++e) environment.emplace_back(*e);
  return RunProcess(argv, environment, timeoutSeconds);
}

bool HaveTool(const std::string& name) {
  const char* path = std::getenv("PATH");
  std::string dirs = path ? path : "/usr/bin:/bin";
  for (std::size_t start = 0; start <= dirs.size();) {
    std::size_t end = dirs.find(':', start);
    if (end == std::string::npos) end = dirs.size();
    const std::string candidate = dirs.substr(start, end - start) + "/" + name;
    if (access(candidate.c_str(), X_OK) == 0) return true;
    start = end + 1;
  }
  return false;
}

// A host built with a sanitizer carries its shadow memory.
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

long CheckedPeakKilobytes(long peakKilobytes) { return kPeakMemoryIsTheProgramsOwn ? peakKilobytes : 0; }

}  // namespace quillfen::testing
