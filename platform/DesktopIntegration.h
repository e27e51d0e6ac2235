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

class DesktopIntegration {
 public:
  virtual ~DesktopIntegration() = default;
  // Brings the desktop in line with the registration; failures are silent, as
  // those of the registration itself are.
  virtual void Synchronize(const AutoPlayRegistration& registration) = 0;
};

}  // namespace quillfen
