#pragma once
// The offer on KDE Plasma: a Solid device action, which Plasma's disks and
// devices notifier lists for every volume its predicate matches when the
// volume arrives, and which starts the program with the volume's mount point
// once Plasma has mounted it.
#include <string>

#include "platform/DesktopIntegration.h"

namespace quillfen {

class SolidActionOffer : public DesktopIntegration {
 public:
  // actionsFolder: $XDG_DATA_HOME/solid/actions.
  explicit SolidActionOffer(std::string actionsFolder);

  DesktopNotices Synchronize(const AutoPlayRegistration& registration) override;

  std::string ActionFilePath() const;

 private:
  std::string actionsFolder_;
};

// The action file's text for a registered program.
std::string SolidActionText(const AutoPlayRegistration& registration);

}  // namespace quillfen
