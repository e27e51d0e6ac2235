#pragma once
// UTF-8, the encoding of every text that crosses the bridge.
#include <string>
#include <string_view>

namespace quillfen {

// True when the bytes are well-formed UTF-8 (no overlong forms, no surrogates,
// nothing beyond U+10FFFF).
bool IsValidUtf8(std::string_view text);
// The text with every byte that is not part of a well-formed sequence
// replaced by U+FFFD, for places that accept only valid UTF-8 (the web view).
std::string MakeValidUtf8(std::string_view text);
// Appends the code point's UTF-8 bytes; false (and nothing appended) for a
// surrogate or a value beyond U+10FFFF.
bool AppendUtf8(std::string& out, char32_t codePoint);

}  // namespace quillfen
