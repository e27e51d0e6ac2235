#pragma once
// Turns the text of an EXIF date tag into a date, refusing whatever no camera
// clock could have meant.
#include <optional>
#include <string_view>

#include "metadata/DateTaken.h"

namespace quillfen {

// Years outside these are taken for a broken clock or a damaged tag, not for
// a picture: the day folders' "yymmdd" names could not tell a year before
// 2000 or past 2099 from one a century apart (a camera whose clock was never
// set shows 1980, which would land among this century's 80s).
inline constexpr int kEarliestYearTaken = 2000;
inline constexpr int kLatestYearTaken = 2099;

// Reads "YYYY:MM:DD HH:MM:SS" (the EXIF form; "-" or "/" between the parts of
// the day and "T" before the time are accepted too, as some writers use
// them). NULs and spaces may follow; anything else makes the text unusable.
std::optional<DateTaken> ParseExifDate(std::string_view text);

}  // namespace quillfen
