#include "mover/TargetNaming.h"

#include <cmath>
#include <set>

#include "base/NoCase.h"
#include "base/PathParts.h"

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

namespace {

// At least four digits: "0001".
std::string NumberDigits(std::int32_t counter) {
  std::string digits = std::to_string(counter);
  if (digits.size() < 4) digits.insert(0, 4 - digits.size(), '0');
  return digits;
}

}  // namespace

std::string NumberedName(std::int32_t counter, const std::string& extension) {
  return extension.empty() ? NumberDigits(counter) : NumberDigits(counter) + "." + extension;
}

namespace {

std::string NumberedCameraFile(const std::string& fileName, const std::string& shotName, std::int32_t number) {
  if (fileName.size() > shotName.size() && EqualsNoCase(fileName.substr(0, shotName.size()), shotName))
    return NumberDigits(number) + fileName.substr(shotName.size());
  return NumberedName(number, GetExtensionName(fileName));
}

}  // namespace

std::vector<std::string> ShotTargetNames(const Shot& shot, std::int32_t number, bool autoRename, bool everyCameraFile) {
  std::vector<std::string> names;
  std::set<std::string> taken;  // folded
  for (const FileEntry& file : shot.files) {
    std::string name = !autoRename        ? file.name
                       : everyCameraFile ? NumberedCameraFile(file.name, shot.name, number)
                                         : NumberedName(number);
    if (autoRename && everyCameraFile) {
      const std::string extension = GetExtensionName(name);
      const std::string stem = name.substr(0, name.size() - extension.size() - (extension.empty() ? 0 : 1));
      for (int again = 2; taken.count(FoldNoCase(name)); ++again)
        name = stem + "-" + std::to_string(again) + (extension.empty() ? "" : "." + extension);
    }
    taken.insert(FoldNoCase(name));
    names.push_back(std::move(name));
  }
  return names;
}

}  // namespace quillfen
