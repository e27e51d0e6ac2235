#include "settings/OptionText.h"

#include <charconv>
#include <cmath>

#include "base/NoCase.h"

namespace quillfen {

std::optional<bool> ParseOptionText(const std::string& text) {
  const auto first = text.find_first_not_of(" \t");
  if (first == std::string::npos) return std::nullopt;
  const auto last = text.find_last_not_of(" \t");
  const std::string word = text.substr(first, last - first + 1);
  if (EqualsNoCase(word, "True")) return true;
  if (EqualsNoCase(word, "False")) return false;
  // Plain decimal numbers only: "inf", "nan" and hexadecimal are words here.
  const char* begin = word.data();
  const char* end = begin + word.size();
  if (*begin == '+' && end - begin > 1 && begin[1] != '-') ++begin;
  double number = 0;
  auto [stop, error] = std::from_chars(begin, end, number, std::chars_format::general);
  if (error != std::errc() || stop != end || !std::isfinite(number)) return std::nullopt;
  return number != 0;
}

}  // namespace quillfen
