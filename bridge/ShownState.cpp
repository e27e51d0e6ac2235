#include "bridge/ShownState.h"

#include <algorithm>

namespace quillfen {

ShownState::ControlValue* ShownState::Find(const std::string& name) {
  auto it = std::find_if(values_.begin(), values_.end(), [&](const ControlValue& v) { return v.name == name; });
  return it == values_.end() ? nullptr : &*it;
}

void ShownState::SetValue(const std::string& name, const Variant& value, ControlKind kind) {
  if (ControlValue* known = Find(name)) {
    known->value = value;
    known->kind = kind;
    return;
  }
  values_.push_back({name, value, kind});
}

void ShownState::ChangedByPage(const std::string& name, const Variant& value) {
  if (ControlValue* known = Find(name)) known->value = value;
}

void ShownState::Renamed(const Collection& captions) {
  std::erase_if(values_, [&](const ControlValue& v) {
    return v.kind == ControlKind::Caption &&
           std::any_of(captions.begin(), captions.end(), [&](const auto& caption) { return caption.first == v.name; });
  });
}

}  // namespace quillfen
