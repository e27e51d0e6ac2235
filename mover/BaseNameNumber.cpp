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

// For a number out of a double's range: true when it is too large, false when
// too small. What counts is where its first significant digit stands from
// the point, moved by the exponent; a long run of digits without any
// exponent can overflow too.
bool Overflows(std::string_view mantissa, long exponent) {
  const std::size_t point = mantissa.find('.');
  const std::string_view whole = mantissa.substr(0, point);
  const std::string_view fraction = point == std::string_view::npos ? std::string_view() : mantissa.substr(point + 1);
  long position;
  if (const std::size_t first = whole.find_first_not_of('0'); first != std::string_view::npos) {
    position = static_cast<long>(whole.size() - first);
  } else {
    const std::size_t firstInFraction = fraction.find_first_not_of('0');
    if (firstInFraction == std::string_view::npos) return false;
    position = -static_cast<long>(firstInFraction);
  }
  return position + exponent > 0;
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

  const std::size_t mantissaEnd = i;
  long exponent = 0;
  if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
    std::size_t j = i + 1;
    bool negativeExponent = false;
    if (j < text.size() && (text[j] == '+' || text[j] == '-')) {
      negativeExponent = text[j] == '-';
      ++j;
    }
    const std::size_t exponentStart = j;
    if (SkipDigits(text, j) > 0) {
      for (std::size_t k = exponentStart; k < j && exponent < 100000000; ++k) exponent = exponent * 10 + (text[k] - '0');
      if (negativeExponent) exponent = -exponent;
      i = j;
    }
  }

  double value = 0.0;
  auto [end, error] = std::from_chars(text.data() + start, text.data() + i, value, std::chars_format::general);
  (void)end;
  if (error == std::errc::result_out_of_range)
    value = Overflows(text.substr(start, mantissaEnd - start), exponent) ? std::numeric_limits<double>::infinity() : 0.0;
  return negative ? -value : value;
}

}  // namespace quillfen
