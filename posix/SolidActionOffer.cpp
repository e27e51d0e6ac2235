#include "posix/SolidActionOffer.h"

#include "base/AppNames.h"
#include "base/PathParts.h"
#include "posix/AtomicFile.h"
#include "posix/DesktopEntryValues.h"

namespace quillfen {
namespace {

constexpr const char* kActionFileName = "quillfen.desktop";

// A file system on a volume Plasma shows, formatted as camera cards are: FAT
// up to 32 GB and exFAT above, as the camera file system rules and the SD
// card standards have them. A card without a DCIM folder still matches; the
// program says so itself.
// Plasma's device notifier matches the actions once, when the card arrives,
// before anything has mounted it, so the predicate asks nothing about being
// mounted: an action chosen for a card not yet mounted gets it mounted first
// (it is a StorageAccess and the action does not say X-KDE-SkipMount), and
// %f is then its mount point.
constexpr const char* kPredicate =
    "[ [ [ IS StorageAccess AND StorageVolume.ignored == false ] AND StorageVolume.usage == 'FileSystem' ]"
    " AND [ StorageVolume.fsType == 'vfat' OR StorageVolume.fsType == 'exfat' ] ]";

}  // namespace

std::string SolidActionText(const AutoPlayRegistration& registration) {
  const std::string name = registration.name.empty() ? std::string(kAppTitle) : registration.name;
  const std::string action = registration.action.empty() ? name : registration.action;
  std::string text = "[Desktop Entry]\n";
  text += "Type=Service\n";
  // Every desktop entry has a name, whatever its type.
  text += "Name=" + EscapeEntryValue(name) + "\n";
  text += "Actions=quillfen;\n";
  text += std::string("X-KDE-Solid-Predicate=") + kPredicate + "\n";
  text += "\n[Desktop Action quillfen]\n";
  text += "Name=" + EscapeEntryValue(action) + "\n";
  text += "Icon=" + EscapeEntryValue(ProgramIconPath(registration.programPath)) + "\n";
  text += "Exec=" + ProgramExecValue(registration.programPath) + "\n";
  return text;
}

SolidActionOffer::SolidActionOffer(std::string actionsFolder) : actionsFolder_(std::move(actionsFolder)) {}

std::string SolidActionOffer::ActionFilePath() const { return BuildPath(actionsFolder_, kActionFileName); }

DesktopNotices SolidActionOffer::Synchronize(const AutoPlayRegistration& registration) {
  if (registration.registered && registration.offered) {
    const std::string text = SolidActionText(registration);
    atomic_file::Modify(ActionFilePath(), [&](const std::optional<std::string>&) { return text; }, 0644);
  } else {
    atomic_file::Remove(ActionFilePath());
  }
  return {};
}

}  // namespace quillfen
