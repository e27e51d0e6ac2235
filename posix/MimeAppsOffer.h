#pragma once
// The offer on GNOME, Cinnamon and MATE: a desktop entry declaring
// x-content/image-dcf (a camera card), and that type's association in
// mimeapps.list, so that the desktop offers the program when a card is
// inserted and starts it with the card's folder.
#include <string>

#include "platform/DesktopIntegration.h"

namespace quillfen {

inline constexpr const char* kDesktopFileName = "quillfen.desktop";
inline constexpr const char* kCameraCardType = "x-content/image-dcf";

class MimeAppsOffer : public DesktopIntegration {
 public:
  // applicationsFolder: $XDG_DATA_HOME/applications; mimeappsPath:
  // $XDG_CONFIG_HOME/mimeapps.list.
  MimeAppsOffer(std::string applicationsFolder, std::string mimeappsPath);

  DesktopNotices Synchronize(const AutoPlayRegistration& registration) override;

  std::string DesktopFilePath() const;

 private:
  std::string applicationsFolder_;
  std::string mimeappsPath_;
};

// The desktop entry's text for a registered program.
std::string DesktopEntryText(const AutoPlayRegistration& registration);
// The mimeapps.list text with the program's association added or withdrawn;
// every other line stays as it was.
std::string WithCameraCardAssociation(const std::string& mimeapps, bool offered);

}  // namespace quillfen
