#include "platform/script/EventLog.h"

namespace quillfen {

std::string EscapeLogText(const std::string& text) {
  std::string out;
  out.reserve(text.size());
  for (char c : text) {
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
  lines_.push_back(line);
  if (sink_) sink_(line);
}

bool EventLog::Contains(const std::string& prefix) const {
  for (const auto& l : lines_)
    if (l.rfind(prefix, 0) == 0) return true;
  return false;
}

std::vector<std::string> EventLog::Matching(const std::string& prefix) const {
  std::vector<std::string> out;
  for (const auto& l : lines_)
    if (l.rfind(prefix, 0) == 0) out.push_back(l);
  return out;
}

}  // namespace quillfen
