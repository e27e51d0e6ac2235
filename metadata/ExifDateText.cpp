// Turns the text of an EXIF date tag into a date, refusing impossible ones.
#include "metadata/ExifDateText.h"

namespace quillfen {
namespace {

bool Digits(std::string_view text, std::size_t at, std::size_t count, int& value) {
  value = 0;
  for (std::size_t i = at; i < at + count; ++i) {
    const char c = text[i];
    if (c < '0' || c > '9') return false;
    value = value * 10 + (c - '0');
  }
  return true;
}

bool IsLeapYear(int year) { return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0; }

int DaysInMonth(int year, int month) {
  static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  return month == 2 && IsLeapYear(year) ? 29 : kDays[month - 1];
}

}  // namespace

std::optional<DateTaken> ParseExifDate(std::string_view text) {
  constexpr std::size_t kLength = 19;  // "YYYY:MM:DD HH:MM:SS"
  if (text.size() < kLength) return std::nullopt;
  for (std::size_t i = kLength; i < text.size(); ++i) {
    if (text[i] != '\0' && text[i] != ' ') return std::nullopt;
  }
  const char daySeparator = text[4];
  if (daySeparator != ':' && daySeparator != '-' && daySeparator != '/') return std::nullopt;
  if (text[7] != daySeparator) return std::nullopt;
  if (text[10] != ' ' && text[10] != 'T') return std::nullopt;
  if (text[13] != ':' || text[16] != ':') return std::nullopt;

  DateTaken date{};
  if (!Digits(text, 0, 4, date.year) || !Digits(text, 5, 2, date.month) ||
      !Digits(text, 8, 2, date.day) || !Digits(text, 11, 2, date.hour) ||
      !Digits(text, 14, 2, date.minute) || !Digits(text, 17, 2, date.second)) {
    return std::nullopt;
  }
  if (date.year < kEarliestYearTaken || date.year > kLatestYearTaken) return std::nullopt;
  if (date.month < 1 || date.month > 12) return std::nullopt;
  if (date.day < 1 || date.day > DaysInMonth(date.year, date.month)) return std::nullopt;
  // 60 is a leap second, which a camera synchronised to a time signal can show.
  if (date.hour > 23 || date.minute > 59 || date.second > 60) return std::nullopt;
  return date;
}

}  // namespace quillfen
