#pragma once
// The desktop shell: the file browser, the web browser, the volume service
// and the notifications.
#include <string>

#include "platform/FileSystem.h"

namespace quillfen {

class Shell {
 public:
  virtual ~Shell() = default;
  // Shows the folder in the file browser, without waiting.
  virtual void OpenFolder(const std::string& path) = 0;
  // Opens the address in the default browser; the outcome is not reported.
  virtual void OpenUrl(const std::string& url) = 0;
  // Unmounts the volume the path lies on and powers its drive off where it
  // can, as the file browser's Eject does; waits for the outcome. A volume
  // still in use is not forced: the failure says why.
  virtual FsStatus Eject(const std::string& path) = 0;
  // Shows a desktop notification; the outcome is not reported.
  virtual void Notify(const std::string& title, const std::string& body) = 0;
};

}  // namespace quillfen
