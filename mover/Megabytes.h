#pragma once
// Byte counts shown to the user as whole megabytes with the digit grouping of
// the user's regional settings.
#include <locale>
#include <string>

namespace quillfen {

// The user's numeric conventions (LC_NUMERIC and friends); the classic
// locale, which groups nothing, when the user's cannot be loaded.
std::locale UserNumericLocale();

// bytes / 1024 / 1024, rounded to a whole number (halves away from zero),
// written with the locale's thousands separator and grouping, as UTF-8.
std::string FormatMegabytes(double bytes, const std::locale& locale);

}  // namespace quillfen
