#pragma once
// The desktop program's command line, read as GTK programs read theirs:
// GTK's own options, --help (with --help-all and --help-gtk) and --version;
// every other word, joined by single spaces, is the program's argument (a
// card's folder), a relative path made absolute from the working folder.
// An unknown option ends the start with status 2 and a word on standard
// error, before anything is handed to a window already running.
#include <optional>
#include <string>

namespace quillfen {

struct CommandLine {
  // Set when this start ends at once with that status: help or the version
  // was printed, or the line or the display was refused.
  std::optional<int> exitStatus;
  std::string argument;
};

// Reads the line and initialises GTK (opening the display) unless the start
// ends at once.
CommandLine ReadCommandLine(int argc, char** argv);

}  // namespace quillfen
