#include "platform/posix/XdgDesktopIntegration.h"

#include "base/PathParts.h"
#include "platform/posix/MimeAppsOffer.h"
#include "platform/posix/XdgPaths.h"

namespace quillfen {

XdgDesktopIntegration::XdgDesktopIntegration() {
  const std::string config = xdg::ConfigHome();
  const std::string data = xdg::DataHome();
  desktops_.push_back(
      std::make_unique<MimeAppsOffer>(BuildPath(data, "applications"), BuildPath(config, "mimeapps.list")));
}

XdgDesktopIntegration::~XdgDesktopIntegration() = default;

void XdgDesktopIntegration::Synchronize(const AutoPlayRegistration& registration) {
  for (const auto& desktop : desktops_) desktop->Synchronize(registration);
}

}  // namespace quillfen
