#pragma once
// How the moved pictures' names are formed: the numbering survey's rule and
// the numbered names. (The day folder is named by its day stamp.)
#include <cstdint>
#include <string>

namespace quillfen {

// The highest number a numbered picture may take while the target folder
// already holds pictures.
inline constexpr std::int32_t kHighestPictureNumber = 9999;

// Rounds to the nearest integer; a half goes to the even neighbour.
double RoundHalfEven(double value);

// One picture of the numbering survey, whose base name reads as `value`.
// False when `pictureCount` new numbers above it would pass 9999 (the move is
// then refused); otherwise `highest` is raised to the rounded value when the
// value is larger. The limit is tested before the comparison, for every
// picture, so one large number refuses the move even beside small ones.
bool SurveyNumber(double value, std::int32_t pictureCount, std::int32_t& highest);

// "0001.JPG" and up: at least four digits, always the upper-case extension.
std::string NumberedName(std::int32_t counter);
// The same number with the given extension, as it stands ("0001.CR2", "0001.xmp").
std::string NumberedName(std::int32_t counter, const std::string& extension);

}  // namespace quillfen
