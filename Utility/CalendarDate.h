#pragma once
#include <array>
#include <cstdint>

// The calendar's own date arithmetic: days counted from 1 January 2000 (day 0, a Saturday), every
// year divisible by 4 a leap year, weeks starting on Sunday. Exact from 2000 to 2098; before 2000
// whole years are not counted, so a camera clock left at 1970 or 1999 gets the weekday this
// arithmetic gives it, not the true one.

inline constexpr std::array<std::int16_t, 12> nNormalYearDay = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
inline constexpr std::array<std::int16_t, 12> nLeapYearDay = {31, 29, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};

struct CalendarDate {
    std::int16_t year = 0, month = 0, day = 0;
    bool operator==(const CalendarDate&) const = default;
};

// The days of a month (1 to 12) by this arithmetic's leap rule.
int pmGetDaysOfMonth(int year, int month);

// Days from 1 January 2000 as a signed 16-bit count; years from 2099 on count as 2099.
std::int16_t pmGetDaysSinceEpoch(int year, int month, int day);

// 0 Sunday to 6 Saturday.
int pmGetDayOfWeek(int year, int month, int day);

// The 42 cells of a month's page, six weeks from Sunday, row by row: the given day in the column
// of the first's weekday, the days before it going back into the previous month, the days after
// it running into the next. The calendar always passes day 1. A month outside 1 to 12 or a day
// outside 1 to 31 is taken as the nearest valid one.
using MonthGrid = std::array<CalendarDate, 42>;
MonthGrid pmGetAllDateofAMonth(int year, int month, int day);
