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
  // Ejects nothing; fails with `ejectFailure` when a test sets one.
  FsStatus Eject(const std::string& path) override {
    log_.Add("eject " + EscapeLogText(path) + (ejectFailure.empty() ? "" : " -> " + EscapeLogText(ejectFailure)));
    return ejectFailure.empty() ? FsStatus{} : FsStatus::Failed(FsCode::Other, ejectFailure);
  }
  void Notify(const std::string& title, const std::string& body) override {
    log_.Add("notify title=" + EscapeLogText(title) + " body=" + EscapeLogText(body));
  }

  std::string ejectFailure;

 private:
  EventLog& log_;
};

}  // namespace quillfen
