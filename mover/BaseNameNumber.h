#pragma once
// The numeric reading of a picture's base name, as the numbering survey needs
// it: "0042" is 42, "12abc" is 12, "IMG_0042" is 0, "20240131_120000" is
// 20240131.
#include <string_view>

namespace quillfen {

// Leading blanks are skipped; then an optional sign, decimal digits with an
// optional decimal point and fraction, and an optional exponent form the
// value. Reading ends at the first character that does not fit; a text that
// does not start with a number reads as 0. Hexadecimal prefixes, "inf" and
// "nan" are never numbers here. A number too large for a double reads as an
// infinity of its sign, so it is never mistaken for a small one.
double ReadBaseNameNumber(std::string_view text);

}  // namespace quillfen
