#pragma once
// What the settings show in the movie: the options' check boxes, and a word
// about the desktop in the information line. The movie bridge implements it.
#include <string>

#include "base/Variant.h"

namespace quillfen {

// How the movie takes a value it is given for one of its controls.
enum class ControlKind : int {
  Text = 1,      // the text of a field or a folder box
  Caption = 2,   // the caption of a button
  CheckBox = 4,  // the state of a check box
};

class SettingsView {
 public:
  virtual ~SettingsView() = default;
  virtual void SetCtlValue(const std::string& name, const Variant& value, ControlKind kind) = 0;
};

}  // namespace quillfen
