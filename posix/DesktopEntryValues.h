#pragma once
// Values as desktop entry files (the desktop entry specification's key files)
// write them: the escapes of a string value, and the program on an Exec line
// with the card's folder as its one argument. The menu entry, the Plasma
// device action and the values kept for Xfce all write through these.
#include <string>
#include <string_view>

namespace quillfen {

// A string value on one line: backslash, line breaks and tabs escaped, and a
// leading blank, which a reader would trim.
std::string EscapeEntryValue(std::string_view text);
// The value back as it was before escaping.
std::string UnescapeEntryValue(std::string_view value);
// One argument of an Exec line, quoted as the desktop entry rules require.
std::string QuoteExecArgument(const std::string& argument);
// The Exec value that starts the program with the card's folder (%f), escaped.
std::string ProgramExecValue(const std::string& programPath);
// The icon beside the program, where the window takes its icon from.
std::string ProgramIconPath(const std::string& programPath);

}  // namespace quillfen
