#include "posix/ToolProcess.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <optional>
#include <string_view>

#include "base/PathParts.h"

extern char** environ;

namespace quillfen {
namespace {

using Clock = std::chrono::steady_clock;

// The child's status once it has ended, waiting at most until the deadline;
// a child still running then is killed and has no status.
std::optional<int> Reap(pid_t pid, Clock::time_point deadline) {
  int status = 0;
  while (true) {
    const pid_t done = ::waitpid(pid, &status, WNOHANG);
    if (done == pid) return status;
    if (done < 0 && errno != EINTR) return std::nullopt;
    if (Clock::now() >= deadline) break;
    ::usleep(2000);
  }
  ::kill(pid, SIGKILL);
  while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
  }
  return std::nullopt;
}

// The strings as the NULL-ended array that exec takes.
std::vector<char*> Pointers(std::vector<std::string>& strings) {
  std::vector<char*> pointers;
  for (std::string& text : strings) pointers.push_back(text.data());
  pointers.push_back(nullptr);
  return pointers;
}

// The program's environment in a UTF-8 locale: what a tool prints is read as
// UTF-8, and a GLib tool such as xfconf-query converts its arguments and
// output to and from the locale's character set, losing what that set cannot
// hold.
std::vector<std::string> Utf8Environment() {
  std::vector<std::string> variables;
  for (char** variable = environ; *variable; ++variable)
    if (std::string_view(*variable).rfind("LC_ALL=", 0) != 0) variables.emplace_back(*variable);
  variables.emplace_back("LC_ALL=C.UTF-8");
  return variables;
}

}  // namespace

std::string FindTool(const std::string& name) {
  const char* path = std::getenv("PATH");
  std::string_view rest = path ? path : "";
  while (true) {
    const std::size_t colon = rest.find(':');
    const std::string folder(rest.substr(0, colon));
    // An empty element is the current folder, which is no place to look for a
    // desktop's tool.
    if (!folder.empty() && folder.front() == '/') {
      const std::string candidate = BuildPath(folder, name);
      if (::access(candidate.c_str(), X_OK) == 0) return candidate;
    }
    if (colon == std::string_view::npos) return {};
    rest.remove_prefix(colon + 1);
  }
}

ToolRun RunTool(const std::string& path, const std::vector<std::string>& arguments,
                std::chrono::milliseconds limit) {
  ToolRun run;
  int out[2];
  if (::pipe2(out, O_CLOEXEC) != 0) return run;
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
  posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
  posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
  std::vector<std::string> commandLine{path};
  commandLine.insert(commandLine.end(), arguments.begin(), arguments.end());
  std::vector<std::string> variables = Utf8Environment();
  pid_t pid = 0;
  const int spawned =
      ::posix_spawn(&pid, path.c_str(), &actions, nullptr, Pointers(commandLine).data(), Pointers(variables).data());
  posix_spawn_file_actions_destroy(&actions);
  ::close(out[1]);
  if (spawned != 0) {
    ::close(out[0]);
    return run;
  }
  const Clock::time_point deadline = Clock::now() + limit;
  bool closed = false;  // the tool has closed its output, as it does on ending
  char buffer[4096];
  while (!closed) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
    if (left.count() <= 0) break;
    pollfd ready{out[0], POLLIN, 0};
    const int polled = ::poll(&ready, 1, static_cast<int>(left.count()));
    if (polled < 0 && errno != EINTR) break;
    if (polled <= 0) continue;
    const ssize_t got = ::read(out[0], buffer, sizeof buffer);
    if (got > 0) run.output.append(buffer, static_cast<std::size_t>(got));
    else if (got == 0 || errno != EINTR) closed = true;
  }
  ::close(out[0]);
  const std::optional<int> status = Reap(pid, closed ? deadline : Clock::now());
  run.succeeded = status && WIFEXITED(*status) && WEXITSTATUS(*status) == 0;
  return run;
}

}  // namespace quillfen
