#pragma once
// The two encodings a language file may come in: UTF-8, or Windows-1251 for
// Russian files written on older systems.
#include <cstddef>
#include <string>
#include <string_view>

#include "base/Utf8.h"  // IsValidUtf8, for the callers that choose the encoding

namespace quillfen {

// Windows-1251 bytes as UTF-8; the one unassigned byte becomes U+FFFD.
std::string Windows1251ToUtf8(std::string_view bytes);
// The first maxChars characters of a UTF-8 text, never cutting a character.
std::string_view FirstCharacters(std::string_view utf8, std::size_t maxChars);

}  // namespace quillfen
