#pragma once
// A shell that only writes what it was asked to open into the event log.
#include "platform/Shell.h"
#include "script/EventLog.h"

namespace quillfen {

class RecordingShell : public Shell {
 public:
  explicit RecordingShell(EventLog& log) : log_(log) {}
  void OpenFolder(const std::string& path) override { log_.Add("open-folder " + EscapeLogText(path)); }
  void OpenUrl(const std::string& url) override { log_.Add("open-url " + EscapeLogText(url)); }

 private:
  EventLog& log_;
};

}  // namespace quillfen
