#include "base/Utf8.h"

namespace quillfen {

namespace {

// The length of the well-formed UTF-8 sequence at text[i], or 0 when the
// bytes there are not one (overlong, surrogate, beyond U+10FFFF, cut short).
std::size_t SequenceLength(std::string_view text, std::size_t i) {
  const auto lead = static_cast<unsigned char>(text[i]);
  if (lead < 0x80) return 1;
  std::size_t length;
  char32_t codePoint;
  char32_t smallest;
  if ((lead & 0xE0) == 0xC0) {
    length = 2, codePoint = lead & 0x1F, smallest = 0x80;
  } else if ((lead & 0xF0) == 0xE0) {
    length = 3, codePoint = lead & 0x0F, smallest = 0x800;
  } else if ((lead & 0xF8) == 0xF0) {
    length = 4, codePoint = lead & 0x07, smallest = 0x10000;
  } else {
    return 0;
  }
  if (text.size() - i < length) return 0;
  for (std::size_t k = 1; k < length; ++k) {
    const auto next = static_cast<unsigned char>(text[i + k]);
    if ((next & 0xC0) != 0x80) return 0;
    codePoint = (codePoint << 6) | (next & 0x3F);
  }
  if (codePoint < smallest || codePoint > 0x10FFFF || (codePoint >= 0xD800 && codePoint <= 0xDFFF)) return 0;
  return length;
}

}  // namespace

bool IsValidUtf8(std::string_view text) {
  for (std::size_t i = 0; i < text.size();) {
    const std::size_t length = SequenceLength(text, i);
    if (length == 0) return false;
    i += length;
  }
  return true;
}

std::string MakeValidUtf8(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size();) {
    const std::size_t length = SequenceLength(text, i);
    if (length == 0) {
      AppendUtf8(out, 0xFFFD);
      ++i;
    } else {
      out.append(text.substr(i, length));
      i += length;
    }
  }
  return out;
}

bool AppendUtf8(std::string& out, char32_t codePoint) {
  if (codePoint > 0x10FFFF || (codePoint >= 0xD800 && codePoint <= 0xDFFF)) return false;
  if (codePoint < 0x80) {
    out += static_cast<char>(codePoint);
  } else if (codePoint < 0x800) {
    out += static_cast<char>(0xC0 | (codePoint >> 6));
    out += static_cast<char>(0x80 | (codePoint & 0x3F));
  } else if (codePoint < 0x10000) {
    out += static_cast<char>(0xE0 | (codePoint >> 12));
    out += static_cast<char>(0x80 | ((codePoint >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (codePoint & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (codePoint >> 18));
    out += static_cast<char>(0x80 | ((codePoint >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((codePoint >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (codePoint & 0x3F));
  }
  return true;
}

char32_t NextCodePointLenient(const std::string& text, std::size_t& i) {
  auto lead = static_cast<unsigned char>(text[i]);
  auto continues = [&](std::size_t k) {
    return k < text.size() && (static_cast<unsigned char>(text[k]) & 0xC0) == 0x80;
  };
  auto lowBits = [&](std::size_t k) { return static_cast<char32_t>(static_cast<unsigned char>(text[k]) & 0x3F); };
  if (lead < 0x80) {
    ++i;
    return lead;
  }
  if ((lead & 0xE0) == 0xC0 && lead >= 0xC2 && continues(i + 1)) {
    char32_t codePoint = ((lead & 0x1F) << 6) | lowBits(i + 1);
    i += 2;
    return codePoint;
  }
  if ((lead & 0xF0) == 0xE0 && continues(i + 1) && continues(i + 2)) {
    char32_t codePoint = ((lead & 0x0F) << 12) | (lowBits(i + 1) << 6) | lowBits(i + 2);
    i += 3;
    return codePoint;
  }
  if ((lead & 0xF8) == 0xF0 && continues(i + 1) && continues(i + 2) && continues(i + 3)) {
    char32_t codePoint = ((lead & 0x07) << 18) | (lowBits(i + 1) << 12) | (lowBits(i + 2) << 6) | lowBits(i + 3);
    i += 4;
    return codePoint;
  }
  ++i;
  return 0xDC00 + lead;
}

}  // namespace quillfen
