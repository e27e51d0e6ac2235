#pragma once
// The desktop shell through GIO: folders and addresses open in the user's
// default programs, started without waiting for them; cards are ejected by
// the desktop's volume service (GIO's mounts and drives, over udisks2), and
// notifications go to the desktop's notification service.
#include <string>
#include <utility>

#include "platform/Shell.h"

namespace quillfen {

class GtkShell : public Shell {
 public:
  // appId: the desktop entry's name, which the notifications name as their
  // program (its icon and its name in the desktop's settings).
  explicit GtkShell(std::string appId = {}) : appId_(std::move(appId)) {}
  void OpenFolder(const std::string& path) override;
  void OpenUrl(const std::string& url) override;
  FsStatus Eject(const std::string& path) override;
  void Notify(const std::string& title, const std::string& body) override;

 private:
  std::string appId_;
};

}  // namespace quillfen
