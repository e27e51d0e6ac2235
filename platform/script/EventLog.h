#pragma once
// The event log of the headless host: one event a line, in order.
#include <functional>
#include <string>
#include <vector>

namespace quillfen {

// Writes backslash, CR and LF of a text as \\, \r and \n.
std::string EscapeLogText(const std::string& text);

class EventLog {
 public:
  void Add(const std::string& line);
  const std::vector<std::string>& Lines() const { return lines_; }
  void Clear() { lines_.clear(); }
  // Called with each new line as it is added (the host prints it at once).
  void SetSink(std::function<void(const std::string&)> sink) { sink_ = std::move(sink); }
  // True when some line starts with the prefix.
  bool Contains(const std::string& prefix) const;
  // The lines that start with the prefix.
  std::vector<std::string> Matching(const std::string& prefix) const;

 private:
  std::vector<std::string> lines_;
  std::function<void(const std::string&)> sink_;
};

}  // namespace quillfen
