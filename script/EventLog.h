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
  // Every line so far, for tests; a host that only prints its lines keeps none.
  const std::vector<std::string>& Lines() const { return lines_; }
  void KeepLines(bool keep) { keep_ = keep; }
  void Clear() { lines_.clear(); }
  // Called with each new line as it is added; `flush` when what was handed
  // on must reach its reader now (the host writes the log in blocks).
  void SetSink(std::function<void(const std::string&)> sink, std::function<void()> flush = {}) {
    sink_ = std::move(sink);
    flush_ = std::move(flush);
  }
  // Before the program waits for the user or for time, and at its end.
  void Flush() {
    if (flush_) flush_();
  }
  // True when some line starts with the prefix.
  bool Contains(const std::string& prefix) const;
  // The lines that start with the prefix.
  std::vector<std::string> Matching(const std::string& prefix) const;

 private:
  std::vector<std::string> lines_;
  std::function<void(const std::string&)> sink_;
  std::function<void()> flush_;
  bool keep_ = true;
};

}  // namespace quillfen
