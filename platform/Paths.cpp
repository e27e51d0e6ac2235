#include "platform/Paths.h"

#include <cstdint>

namespace quillfen {

std::string BuildPath(const std::string& folder, const std::string& name) {
  if (folder.empty()) return name;
  std::string_view rest(name);
  while (!rest.empty() && rest.front() == '/') rest.remove_prefix(1);
  if (folder.back() == '/') return folder + std::string(rest);
  return folder + "/" + std::string(rest);
}

std::string GetFileName(const std::string& path) {
  auto slash = path.find_last_of('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string GetExtensionName(const std::string& path) {
  std::string name = GetFileName(path);
  auto dot = name.find_last_of('.');
  return dot == std::string::npos ? std::string() : name.substr(dot + 1);
}

std::string GetBaseName(const std::string& path) {
  std::string name = GetFileName(path);
  auto dot = name.find_last_of('.');
  return dot == std::string::npos ? name : name.substr(0, dot);
}

bool IsPicture(const std::string& path) { return EqualsNoCase(GetExtensionName(path), "jpg"); }

namespace {

// Decodes one UTF-8 code point; an invalid byte stands for itself so that
// every byte string still compares consistently.
char32_t NextCodePoint(const std::string& s, std::size_t& i) {
  auto b0 = static_cast<unsigned char>(s[i]);
  auto cont = [&](std::size_t k) {
    return k < s.size() && (static_cast<unsigned char>(s[k]) & 0xC0) == 0x80;
  };
  if (b0 < 0x80) { ++i; return b0; }
  if ((b0 & 0xE0) == 0xC0 && b0 >= 0xC2 && cont(i + 1)) {
    char32_t cp = ((b0 & 0x1F) << 6) | (static_cast<unsigned char>(s[i + 1]) & 0x3F);
    i += 2;
    return cp;
  }
  if ((b0 & 0xF0) == 0xE0 && cont(i + 1) && cont(i + 2)) {
    char32_t cp = ((b0 & 0x0F) << 12) | ((static_cast<unsigned char>(s[i + 1]) & 0x3F) << 6) |
                  (static_cast<unsigned char>(s[i + 2]) & 0x3F);
    i += 3;
    return cp;
  }
  if ((b0 & 0xF8) == 0xF0 && cont(i + 1) && cont(i + 2) && cont(i + 3)) {
    char32_t cp = ((b0 & 0x07) << 18) | ((static_cast<unsigned char>(s[i + 1]) & 0x3F) << 12) |
                  ((static_cast<unsigned char>(s[i + 2]) & 0x3F) << 6) |
                  (static_cast<unsigned char>(s[i + 3]) & 0x3F);
    i += 4;
    return cp;
  }
  ++i;
  return 0xDC00 + b0;  // a lone invalid byte, kept apart from real characters
}

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
  while (i < a.size() && j < b.size()) {
    char32_t ca = FoldCase(NextCodePoint(a, i));
    char32_t cb = FoldCase(NextCodePoint(b, j));
    if (ca != cb) return ca < cb ? -1 : 1;
  }
  if (i < a.size()) return 1;
  if (j < b.size()) return -1;
  return 0;
}

bool EqualsNoCase(const std::string& a, const std::string& b) { return CompareNoCase(a, b) == 0; }

std::string FoldNoCase(const std::string& text) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size();) {
    const std::size_t start = i;
    const char32_t c = NextCodePoint(text, i);
    const char32_t folded = FoldCase(c);
    if (folded == c) {
      out.append(text, start, i - start);  // unchanged, invalid bytes included
    } else if (folded < 0x80) {
      out += static_cast<char>(folded);
    } else {  // every folded letter is below U+0800: two bytes, as before
      out += static_cast<char>(0xC0 | (folded >> 6));
      out += static_cast<char>(0x80 | (folded & 0x3F));
    }
  }
  return out;
}

}  // namespace quillfen
