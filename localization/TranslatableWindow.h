#pragma once
// A host window whose caption and controls take the texts of the loaded language.
#include <string>
#include <vector>

namespace quillfen {

class TranslatableWindow {
 public:
  virtual ~TranslatableWindow() = default;
  // The window's name: its section in the language file.
  virtual std::string Name() const = 0;
  virtual void SetCaption(const std::string& caption) = 0;
  // The names of the window's controls, in their order; controls that share
  // one name (the language items "mnuLang(1)", "mnuLang(2)") appear once.
  virtual std::vector<std::string> ControlNames() const = 0;
  virtual void SetControlCaption(const std::string& control, const std::string& caption) = 0;
  virtual void SetControlTooltip(const std::string& control, const std::string& tooltip) = 0;
};

}  // namespace quillfen
