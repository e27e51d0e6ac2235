#pragma once
// The desktop's view of the AutoPlay registration: the desktop offers the
// program for inserted camera cards when it is registered and offered.
#include <string>

namespace quillfen {

struct AutoPlayRegistration {
  // The class key and its command exist.
  bool registered = false;
  // The program the command runs (the command without its " %1").
  std::string programPath;
  // The display name and the action line that the desktop shows.
  std::string name;
  std::string action;
  // The handler is listed for the arrival of pictures.
  bool offered = false;
};

// What the user should hear about the desktop once it is in line.
struct DesktopNotices {
  // The offer stands, but GNOME is set never to prompt for or start any
  // program when a medium is inserted, so it will not be shown. Only the
  // user may change that setting.
  bool gnomeAutorunNever = false;
  // The offer stands, but Xfce (thunar-volman) offers a program only for a
  // card it has mounted itself, and its automatic mounting is off. The user
  // may have it switched on (MountCards).
  bool xfceAutomountOff = false;
};

class DesktopIntegration {
 public:
  virtual ~DesktopIntegration() = default;
  // Brings the desktop in line with the registration; failures are silent, as
  // those of the registration itself are.
  virtual DesktopNotices Synchronize(const AutoPlayRegistration& registration) = 0;
  // Switches on the automatic mounting of inserted cards where the offer
  // needs it and the desktop has it off; given back with the offer.
  virtual void MountCards() {}
};

}  // namespace quillfen
