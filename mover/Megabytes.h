#pragma once
// Byte counts shown to the user as whole megabytes; the language writes the
// number with its own digits and grouping.
#include <cstdint>

namespace quillfen {

// bytes / 1024 / 1024, rounded to a whole number (halves away from zero).
std::int64_t WholeMegabytes(double bytes);

}  // namespace quillfen
