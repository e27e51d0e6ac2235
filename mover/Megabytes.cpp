#include "mover/Megabytes.h"

#include <cmath>
#include <stdexcept>

#include "base/Utf8.h"

namespace quillfen {

namespace {

// Inserts the separator between groups of digits as `grouping` says: each
// byte is the size of the next group from the right, the last one repeats,
// and a size of 0 or CHAR_MAX ends the grouping.
std::string GroupDigits(const std::string& digits, const std::string& grouping, const std::string& separator) {
  if (grouping.empty() || separator.empty()) return digits;
  std::string reversed;
  std::size_t groupIndex = 0;
  int inGroup = 0;
  int groupSize = static_cast<unsigned char>(grouping[0]);
  for (std::size_t k = 0; k < digits.size(); ++k) {
    if (groupSize > 0 && groupSize < 127 && inGroup == groupSize) {
      reversed.append(separator.rbegin(), separator.rend());
      inGroup = 0;
      if (groupIndex + 1 < grouping.size()) groupSize = static_cast<unsigned char>(grouping[++groupIndex]);
    }
    reversed += digits[digits.size() - 1 - k];
    ++inGroup;
  }
  return std::string(reversed.rbegin(), reversed.rend());
}

}  // namespace

std::locale UserNumericLocale() {
  try {
    return std::locale("");
  } catch (const std::runtime_error&) {
    return std::locale::classic();
  }
}

std::string FormatMegabytes(double bytes, const std::locale& locale) {
  const double megabytes = std::round(bytes / 1024.0 / 1024.0);
  std::string digits = std::to_string(static_cast<long long>(std::fabs(megabytes)));
  // The wide facet carries the whole separator character; a narrow one would
  // cut a separator such as the narrow no-break space to its first byte.
  std::string separator;
  std::string grouping;
  if (std::has_facet<std::numpunct<wchar_t>>(locale)) {
    const auto& punct = std::use_facet<std::numpunct<wchar_t>>(locale);
    grouping = punct.grouping();
    AppendUtf8(separator, static_cast<char32_t>(punct.thousands_sep()));
  }
  std::string text = GroupDigits(digits, grouping, separator);
  return megabytes < 0 ? "-" + text : text;
}

}  // namespace quillfen
