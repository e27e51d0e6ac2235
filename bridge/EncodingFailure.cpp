#include "bridge/EncodingFailure.h"

#include <cstdlib>

#include "base/AppNames.h"
#include "bridge/FixedTexts.h"

namespace quillfen {

void EndAfterEncodingFailure(WindowSystem& window, const XmlEncodingError& error) {
  const BoxIcon icon =
      error.cause() == XmlEncodingError::Cause::CallNotStarted ? BoxIcon::Critical : BoxIcon::None;
  window.MessageBox(error.what(), kAppTitle, icon, BoxButtons::OK);
  window.EndProgram(kCodecFailureExitCode);
  // EndProgram does not return; a call through the port is not known to.
  std::abort();
}

}  // namespace quillfen
