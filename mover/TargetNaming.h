#pragma once
// How the moved pictures' names are formed: the numbering survey's rule and
// the numbered names. (The day folder is named by its day stamp.)
#include <cstdint>
#include <string>
#include <vector>

#include "mover/Shots.h"

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

// The names a shot's files take in the target, in the order of its files:
// without numbering their own names; numbered, pictures alone "0001.JPG",
// and every camera file the number in place of the shot's name, keeping
// the rest of the file's name ("IMG_0001.CR2.xmp" is "0001.CR2.xmp",
// "C0001M01.XML" is "0001M01.XML"), or the number and the extension where
// the file is named another way (GoPro's "GX020001.MP4" is "0001.MP4");
// where two files would take one name, the later gets "-2", "-3", ...
std::vector<std::string> ShotTargetNames(const Shot& shot, std::int32_t number, bool autoRename, bool everyCameraFile);

}  // namespace quillfen
