#include "posix/XfconfChannel.h"

#include <sstream>
#include <vector>

#include "posix/ToolProcess.h"

namespace quillfen {

XfconfChannel::XfconfChannel(std::string tool, std::string channel)
    : tool_(std::move(tool)), channel_(std::move(channel)) {}

std::optional<std::set<std::string>> XfconfChannel::Properties() const {
  const ToolRun run = RunTool(tool_, {"--channel", channel_, "--list"});
  if (!run.succeeded) return std::nullopt;
  // Names start with "/"; an empty channel is reported in words instead.
  std::set<std::string> names;
  std::istringstream lines(run.output);
  for (std::string line; std::getline(lines, line);)
    if (!line.empty() && line.front() == '/') names.insert(line);
  return names;
}

std::optional<std::string> XfconfChannel::Read(const std::string& property) const {
  ToolRun run = RunTool(tool_, {"--channel", channel_, "--property", property});
  if (!run.succeeded) return std::nullopt;
  if (!run.output.empty() && run.output.back() == '\n') run.output.pop_back();
  return run.output;
}

bool XfconfChannel::Set(const std::string& property, const std::string& type, const std::string& value,
                        bool create) const {
  std::vector<std::string> arguments{"--channel", channel_, "--property", property};
  // Older versions refuse to create a property without --create; newer ones
  // only warn about it, so it is given only where it is needed.
  if (create) arguments.push_back("--create");
  arguments.insert(arguments.end(), {"--type", type, "--set=" + value});
  return RunTool(tool_, arguments).succeeded;
}

bool XfconfChannel::Reset(const std::string& property) const {
  return RunTool(tool_, {"--channel", channel_, "--property", property, "--reset"}).succeeded;
}

}  // namespace quillfen
