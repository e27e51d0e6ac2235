#include "mover/Megabytes.h"

#include <cmath>

namespace quillfen {

std::int64_t WholeMegabytes(double bytes) { return static_cast<std::int64_t>(std::round(bytes / 1024.0 / 1024.0)); }

}  // namespace quillfen
