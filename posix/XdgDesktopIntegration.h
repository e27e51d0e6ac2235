#pragma once
// The AutoPlay registration on every freedesktop.org desktop at once: GNOME,
// Cinnamon and MATE (a desktop entry and mimeapps.list), KDE Plasma (a Solid
// device action), Xfce (thunar-volman's photo import) and GNOME's own switch
// for media. Each is brought in line whatever desktop runs now, so that the
// offer is there when the user logs into another.
#include <memory>
#include <vector>

#include "platform/DesktopIntegration.h"

namespace quillfen {

class XdgDesktopIntegration : public DesktopIntegration {
 public:
  // Each desktop's files in the user's folders, as the XDG rules name them.
  XdgDesktopIntegration();
  ~XdgDesktopIntegration() override;

  DesktopNotices Synchronize(const AutoPlayRegistration& registration) override;
  void MountCards() override;

 private:
  std::vector<std::unique_ptr<DesktopIntegration>> desktops_;
};

}  // namespace quillfen
