#include "base/NoCase.h"

#include "base/Utf8.h"

namespace quillfen {

namespace {

char32_t FoldCase(char32_t c) {
  if (c >= 'A' && c <= 'Z') return c + 32;
  if (c >= 0xC0 && c <= 0xDE && c != 0xD7) return c + 32;         // Latin-1 capitals
  if (c >= 0x410 && c <= 0x42F) return c + 32;                    // Cyrillic А..Я
  if (c >= 0x400 && c <= 0x40F) return c + 80;                    // Cyrillic Ѐ..Џ (Ё)
  return c;
}

}  // namespace

int CompareNoCase(const std::string& a, const std::string& b) {
  std::size_t i = 0, j = 0;
  // Names are mostly ASCII: those letters fold without decoding.
  while (i < a.size() && j < b.size() && static_cast<unsigned char>(a[i]) < 0x80 &&
         static_cast<unsigned char>(b[j]) < 0x80) {
    char ca = a[i], cb = b[j];
    if (ca >= 'A' && ca <= 'Z') ca = static_cast<char>(ca + 32);
    if (cb >= 'A' && cb <= 'Z') cb = static_cast<char>(cb + 32);
    if (ca != cb) return static_cast<unsigned char>(ca) < static_cast<unsigned char>(cb) ? -1 : 1;
    ++i;
    ++j;
  }
  while (i < a.size() && j < b.size()) {
    char32_t ca = FoldCase(NextCodePointLenient(a, i));
    char32_t cb = FoldCase(NextCodePointLenient(b, j));
    if (ca != cb) return ca < cb ? -1 : 1;
  }
  if (i < a.size()) return 1;
  if (j < b.size()) return -1;
  return 0;
}

bool EqualsNoCase(const std::string& a, const std::string& b) { return CompareNoCase(a, b) == 0; }

bool ListedBefore(const std::string& a, const std::string& b) {
  const int byCase = CompareNoCase(a, b);
  return byCase != 0 ? byCase < 0 : a < b;
}

std::string FoldNoCase(const std::string& text) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size();) {
    const std::size_t start = i;
    const char32_t c = NextCodePointLenient(text, i);
    const char32_t folded = FoldCase(c);
    if (folded == c)
      out.append(text, start, i - start);  // unchanged, invalid bytes included
    else
      AppendUtf8(out, folded);  // every folded letter is below U+0800: two bytes, as the letter it replaces
  }
  return out;
}

}  // namespace quillfen
