#pragma once
// What the mover shows in the movie: its status fields, the folder boxes and
// the pause button's caption, the progress bar, and the locked or unlocked
// state of the movie's controls. The movie bridge implements it.
#include <string>

#include "base/Variant.h"
#include "settings/SettingsView.h"  // ControlKind

namespace quillfen {

class MoverView {
 public:
  virtual ~MoverView() = default;
  virtual void SetCtlValue(const std::string& name, const Variant& value, ControlKind kind) = 0;
  // 0 to 100.
  virtual void SetProgress(const Variant& value) = 0;
  // False locks the movie's controls for a running move, true unlocks them.
  virtual void SwitchControls(bool enabled) = 0;
};

}  // namespace quillfen
