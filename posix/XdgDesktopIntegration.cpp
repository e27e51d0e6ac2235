#include "posix/XdgDesktopIntegration.h"

#include "base/AppNames.h"
#include "base/PathParts.h"
#include "posix/GnomeAutorunCheck.h"
#include "posix/MimeAppsOffer.h"
#include "posix/SolidActionOffer.h"
#include "posix/ThunarVolmanOffer.h"
#include "posix/XdgPaths.h"

namespace quillfen {

XdgDesktopIntegration::XdgDesktopIntegration() {
  const std::string config = xdg::ConfigHome();
  const std::string data = xdg::DataHome();
  desktops_.push_back(
      std::make_unique<MimeAppsOffer>(BuildPath(data, "applications"), BuildPath(config, "mimeapps.list")));
  desktops_.push_back(std::make_unique<SolidActionOffer>(BuildPath(data, "solid/actions")));
  // Beside the settings and the hive: the program's own folder, found again
  // by every later start, and gone with the rest of the program's files.
  desktops_.push_back(
      std::make_unique<ThunarVolmanOffer>(BuildPath(config, std::string(kAppTitle) + "/thunar-volman.ini")));
  desktops_.push_back(std::make_unique<GnomeAutorunCheck>());
}

XdgDesktopIntegration::~XdgDesktopIntegration() = default;

DesktopNotices XdgDesktopIntegration::Synchronize(const AutoPlayRegistration& registration) {
  DesktopNotices all;
  for (const auto& desktop : desktops_) {
    const DesktopNotices notices = desktop->Synchronize(registration);
    all.gnomeAutorunNever = all.gnomeAutorunNever || notices.gnomeAutorunNever;
    all.xfceAutomountOff = all.xfceAutomountOff || notices.xfceAutomountOff;
  }
  return all;
}

void XdgDesktopIntegration::MountCards() {
  for (const auto& desktop : desktops_) desktop->MountCards();
}

}  // namespace quillfen
