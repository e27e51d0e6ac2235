#pragma once
// The desktop shell: the file browser and the web browser.
#include <string>

namespace quillfen {

class Shell {
 public:
  virtual ~Shell() = default;
  // Shows the folder in the file browser, without waiting.
  virtual void OpenFolder(const std::string& path) = 0;
  // Opens the address in the default browser; the outcome is not reported.
  virtual void OpenUrl(const std::string& url) = 0;
};

}  // namespace quillfen
