#pragma once
// The desktop shell through GIO: folders and addresses open in the user's
// default programs, started without waiting for them.
#include "platform/Shell.h"

namespace quillfen {

class GtkShell : public Shell {
 public:
  void OpenFolder(const std::string& path) override;
  void OpenUrl(const std::string& url) override;
};

}  // namespace quillfen
