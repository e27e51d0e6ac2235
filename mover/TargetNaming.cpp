#include "mover/TargetNaming.h"

#include <cmath>

namespace quillfen {

double RoundHalfEven(double value) {
  double nearest = std::round(value);  // halves away from zero
  if (std::fabs(value - std::trunc(value)) == 0.5) nearest = 2.0 * std::round(value / 2.0);
  return nearest;
}

bool SurveyNumber(double value, std::int32_t pictureCount, std::int32_t& highest) {
  if (value + pictureCount > kHighestPictureNumber) return false;
  // Here value is at most 9999, so its rounding fits the counter.
  if (value > highest) highest = static_cast<std::int32_t>(RoundHalfEven(value));
  return true;
}

std::string NumberedName(std::int32_t counter) { return NumberedName(counter, "JPG"); }

std::string NumberedName(std::int32_t counter, const std::string& extension) {
  std::string digits = std::to_string(counter);
  if (digits.size() < 4) digits.insert(0, 4 - digits.size(), '0');
  return digits + "." + extension;
}

}  // namespace quillfen
