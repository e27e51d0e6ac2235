#pragma once
// Runs a desktop's command-line tool (xfconf-query) and reads what it prints.
// A tool that is missing, fails or hangs is just a failed run: the desktop
// integration is silent by design, and a hung tool must not hang the window.
#include <chrono>
#include <string>
#include <vector>

namespace quillfen {

struct ToolRun {
  bool succeeded = false;  // ran and ended by itself with status 0
  std::string output;      // its standard output, as printed
};

// The tool's full path when an executable of that name is on the PATH, else "".
std::string FindTool(const std::string& name);

// Runs the tool with no input, in a UTF-8 locale; what it writes to standard
// error is dropped.
// A run that outlives the time limit is killed and counts as failed.
ToolRun RunTool(const std::string& path, const std::vector<std::string>& arguments,
                std::chrono::milliseconds limit = std::chrono::seconds(10));

}  // namespace quillfen
