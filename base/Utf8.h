#pragma once
// Checks, repairs, writes and decodes UTF-8, the encoding of every text
// inside the program.
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
// Decodes the code point at text[i] and advances i past it. A byte that does
// not start a sequence stands for itself as 0xDC00 + byte, apart from every
// real character, so that any bytes compare consistently.
char32_t NextCodePointLenient(const std::string& text, std::size_t& i);

}  // namespace quillfen
