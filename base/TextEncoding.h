#pragma once
// Makes a language file's text UTF-8 from either of its two encodings (UTF-8
// itself, or the Windows-1251 code page that Russian files saved by some
// editors are in), and shortens UTF-8 text without cutting a character.
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
