#include "base/DayStamp.h"

namespace quillfen {

namespace {

void AppendTwoDigits(std::string& out, int value) {
  out += static_cast<char>('0' + value / 10 % 10);
  out += static_cast<char>('0' + value % 10);
}

}  // namespace

std::string DayStamp(const LocalDate& date) {
  std::string stamp;
  stamp.reserve(6);
  AppendTwoDigits(stamp, ((date.year % 100) + 100) % 100);
  AppendTwoDigits(stamp, date.month);
  AppendTwoDigits(stamp, date.day);
  return stamp;
}

}  // namespace quillfen
