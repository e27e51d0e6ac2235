#pragma once
// What the settings show in the movie: the options' check boxes, and a word
// about the desktop in the information line. The movie bridge implements it.
#include <string>

#include "base/Variant.h"
#include "mover/MoverView.h"  // ControlKind

namespace quillfen {

class SettingsView {
 public:
  virtual ~SettingsView() = default;
  virtual void SetCtlValue(const std::string& name, const Variant& value, ControlKind kind) = 0;
};

}  // namespace quillfen
