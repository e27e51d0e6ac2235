#pragma once
// A calendar day and its six-digit stamp "yymmdd": the name of a day folder
// and the date the movie's day-folder check box shows.
#include <string>

namespace quillfen {

struct LocalDate {
  int year = 2000;
  int month = 1;  // 1..12
  int day = 1;    // 1..31
};

// A moment on a wall clock: its day and its time of day.
struct LocalTime {
  LocalDate date;
  int hour = 0;
  int minute = 0;
  int second = 0;
};

// The last two digits of the year, the month and the day, two digits each:
// 7 March 2024 gives "240307".
std::string DayStamp(const LocalDate& date);

}  // namespace quillfen
