#pragma once
// Remembers what the movie was last shown: the last value of each control,
// the progress and whether its controls are locked. A page loaded anew after the
// last one was lost starts blank; this is what it is shown again.
#include <optional>
#include <string>
#include <vector>

#include "base/Variant.h"
#include "mover/MoverView.h"

namespace quillfen {

class ShownState {
 public:
  struct ControlValue {
    std::string name;
    Variant value;
    ControlKind kind;
  };

  void SetValue(const std::string& name, const Variant& value, ControlKind kind);
  // The page changed a control itself (the user ticked a check box): that is
  // what it shows now. A control the program never set stays unknown.
  void ChangedByPage(const std::string& name, const Variant& value);
  // A rename showed the language's captions of these controls over any
  // caption set before.
  void Renamed(const Collection& captions);
  void SetProgress(const Variant& value) { progress_ = value; }
  void SetControlsEnabled(bool enabled) { controlsEnabled_ = enabled; }

  // One value a control, in the order the controls were first set.
  const std::vector<ControlValue>& Values() const { return values_; }
  const std::optional<Variant>& Progress() const { return progress_; }
  std::optional<bool> ControlsEnabled() const { return controlsEnabled_; }

 private:
  ControlValue* Find(const std::string& name);

  std::vector<ControlValue> values_;
  std::optional<Variant> progress_;
  std::optional<bool> controlsEnabled_;
};

}  // namespace quillfen
