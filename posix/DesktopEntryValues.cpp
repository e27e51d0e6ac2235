#include "posix/DesktopEntryValues.h"

#include "base/PathParts.h"

namespace quillfen {

std::string EscapeEntryValue(std::string_view text) {
  std::string out;
  for (std::size_t i = 0; i < text.size(); ++i) {
    switch (text[i]) {
      case '\\': out += "\\\\"; break;
      case '\n': out += "\\n"; break;
      case '\r': out += "\\r"; break;
      case '\t': out += "\\t"; break;
      case ' ':
        out += i == 0 ? "\\s" : " ";  // a leading blank would be trimmed
        break;
      default: out += text[i];
    }
  }
  return out;
}

std::string UnescapeEntryValue(std::string_view value) {
  std::string out;
  for (std::size_t i = 0; i < value.size(); ++i) {
    if (value[i] != '\\' || i + 1 == value.size()) {
      out += value[i];
      continue;
    }
    switch (value[++i]) {
      case 's': out += ' '; break;
      case 'n': out += '\n'; break;
      case 'r': out += '\r'; break;
      case 't': out += '\t'; break;
      default: out += value[i];
    }
  }
  return out;
}

std::string QuoteExecArgument(const std::string& argument) {
  static const std::string_view kReserved = " \t\n\"'\\><~|&;$*?#()`";
  std::string out;
  bool quote = argument.empty();
  for (char c : argument) {
    if (kReserved.find(c) != std::string_view::npos) quote = true;
    if (c == '"' || c == '`' || c == '$' || c == '\\') out += '\\';
    // A literal percent sign is doubled so that it is no field code.
    out += c == '%' ? std::string("%%") : std::string(1, c);
  }
  return quote ? "\"" + out + "\"" : out;
}

std::string ProgramExecValue(const std::string& programPath) {
  return EscapeEntryValue(QuoteExecArgument(programPath) + " %f");
}

std::string ProgramIconPath(const std::string& programPath) {
  return BuildPath(ParentFolder(programPath), "resources/quillfen.png");
}

}  // namespace quillfen
