#include "script/EventLog.h"

#include <string_view>

namespace quillfen {

std::string EscapeLogText(const std::string& text) {
  // A plain loop: find_first_of looks each character up in the set with a
  // call of its own, which showed in the time of a large move.
  std::size_t first = 0;
  while (first < text.size() && text[first] != '\\' && text[first] != '\r' && text[first] != '\n') ++first;
  if (first == text.size()) return text;  // most texts: nothing to escape
  std::string out;
  out.reserve(text.size() + 8);
  out.append(text, 0, first);
  for (char c : std::string_view(text).substr(first)) {
    switch (c) {
      case '\\': out += "\\\\"; break;
      case '\r': out += "\\r"; break;
      case '\n': out += "\\n"; break;
      default: out += c;
    }
  }
  return out;
}

void EventLog::Add(const std::string& line) {
  if (keep_) lines_.push_back(line);
  if (sink_) sink_(line);
}

bool EventLog::Contains(const std::string& prefix) const {
  for (const auto& line : lines_)
    if (line.rfind(prefix, 0) == 0) return true;
  return false;
}

std::vector<std::string> EventLog::Matching(const std::string& prefix) const {
  std::vector<std::string> out;
  for (const auto& line : lines_)
    if (line.rfind(prefix, 0) == 0) out.push_back(line);
  return out;
}

}  // namespace quillfen
