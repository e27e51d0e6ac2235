// The numeric reading of base names, against a plain reference: the longest
// leading decimal number (after blanks) converted by strtod in the C locale.
// A finite result must be the same double; a number beyond the largest
// double must read as an infinity of its sign; one too small, as zero or that
// tiny value; never a NaN. Then the numbering survey takes the value without
// overflowing its counter.
//
// Input: a picture count byte, then the base name.
#include <cerrno>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "FuzzCheck.h"
#include "mover/BaseNameNumber.h"
#include "mover/TargetNaming.h"

using namespace quillfen;

namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// The leading number as strtod should see it (sign included), or "" when the
// text does not start with one.
std::string LeadingNumber(std::string_view text) {
  std::size_t i = 0;
  while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
  const std::size_t start = i;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) ++i;
  std::size_t digits = 0;
  while (i < text.size() && IsDigit(text[i])) ++i, ++digits;
  if (i < text.size() && text[i] == '.') {
    ++i;
    while (i < text.size() && IsDigit(text[i])) ++i, ++digits;
  }
  if (digits == 0) return "";
  if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
    std::size_t j = i + 1;
    if (j < text.size() && (text[j] == '+' || text[j] == '-')) ++j;
    if (j < text.size() && IsDigit(text[j])) {
      while (j < text.size() && IsDigit(text[j])) ++j;
      i = j;
    }
  }
  return std::string(text.substr(start, i - start));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 1) return 0;
  const std::int32_t pictureCount = data[0] * 40;
  const std::string_view name(reinterpret_cast<const char*>(data + 1), size - 1);

  const double value = ReadBaseNameNumber(name);
  FUZZ_CHECK(!std::isnan(value), "a base name never reads as NaN");

  const std::string number = LeadingNumber(name);
  if (number.empty()) {
    FUZZ_CHECK(value == 0.0, "a name that does not start with a number reads as 0");
  } else {
    errno = 0;
    const double expected = std::strtod(number.c_str(), nullptr);
    if (errno != ERANGE)
      FUZZ_CHECK(value == expected, "the number reads as strtod reads it");
    else if (std::isinf(expected))
      FUZZ_CHECK(value == expected, "a number too large reads as an infinity of its sign");
    else
      FUZZ_CHECK(value == 0.0 || value == expected, "a number too small reads as 0");
  }

  std::int32_t highest = 0;
  if (SurveyNumber(value, pictureCount, highest)) {
    FUZZ_CHECK(highest >= 0 && highest <= kHighestPictureNumber, "the highest number stays in 0..9999");
    FUZZ_CHECK(NumberedName(highest + 1).size() >= 8, "a numbered name has four digits at least");
  }
  return 0;
}
