#pragma once
// The reading of a stored option text as on or off.
#include <optional>
#include <string>

namespace quillfen {

// "True"/"False" in any letter case, or a number (0 off, any other on), with
// surrounding blanks allowed; nothing for any other text.
std::optional<bool> ParseOptionText(const std::string& text);

inline const char* OptionText(bool value) { return value ? "True" : "False"; }

}  // namespace quillfen
