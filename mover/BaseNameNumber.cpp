#include "mover/BaseNameNumber.h"

#include <charconv>
#include <limits>
#include <string>

namespace quillfen {

namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }
bool IsBlank(char c) { return c == ' ' || c == '\t'; }

// Advances over a run of digits; returns how many there were.
std::size_t SkipDigits(std::string_view text, std::size_t& i) {
  std::size_t start = i;
  while (i < text.size() && IsDigit(text[i])) ++i;
  return i - start;
}

}  // namespace

double ReadBaseNameNumber(std::string_view text) {
  std::size_t i = 0;
  while (i < text.size() && IsBlank(text[i])) ++i;

  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
    negative = text[i] == '-';
    ++i;
  }
  // The span handed to the conversion holds only digits, one point and an
  // exponent: nothing the conversion could read as hexadecimal or a name.
  const std::size_t start = i;
  std::size_t digits = SkipDigits(text, i);
  if (i < text.size() && text[i] == '.') {
    ++i;
    digits += SkipDigits(text, i);
  }
  if (digits == 0) return 0.0;

  bool hugeExponent = false;
  if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
    std::size_t j = i + 1;
    bool negativeExponent = false;
    if (j < text.size() && (text[j] == '+' || text[j] == '-')) {
      negativeExponent = text[j] == '-';
      ++j;
    }
    if (SkipDigits(text, j) > 0) {
      i = j;
      hugeExponent = !negativeExponent;
    }
  }

  double value = 0.0;
  auto [end, error] = std::from_chars(text.data() + start, text.data() + i, value, std::chars_format::general);
  (void)end;
  if (error == std::errc::result_out_of_range)
    value = hugeExponent ? std::numeric_limits<double>::infinity() : 0.0;
  return negative ? -value : value;
}

}  // namespace quillfen
