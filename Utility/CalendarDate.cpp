#include "Utility/CalendarDate.h"

#include <algorithm>

namespace {

constexpr int kEpochYear = 2000;
constexpr int kLastCountedYear = 2099;

bool isLeapYear(int year) { return year % 4 == 0; }

}  // namespace

int pmGetDaysOfMonth(int year, int month) {
    const auto& table = isLeapYear(year) ? nLeapYearDay : nNormalYearDay;
    return table[static_cast<std::size_t>(std::clamp(month, 1, 12) - 1)];
}

std::int16_t pmGetDaysSinceEpoch(int year, int month, int day) {
    int days = 0;
    for (int y = kEpochYear; y < std::min(year, kLastCountedYear); ++y) days += isLeapYear(y) ? 366 : 365;
    for (int m = 1; m < month; ++m) days += pmGetDaysOfMonth(year, m);
    return static_cast<std::int16_t>(days + day - 1);
}

int pmGetDayOfWeek(int year, int month, int day) {
    // 1 January 2000 was a Saturday; the count is 16-bit, so keep the weekday non-negative where it
    // wraps.
    const int weekday = (pmGetDaysSinceEpoch(year, month, day) + 6) % 7;
    return weekday < 0 ? weekday + 7 : weekday;
}

MonthGrid pmGetAllDateofAMonth(int year, int month, int day) {
    month = std::clamp(month, 1, 12);
    day = std::clamp(day, 1, 31);
    MonthGrid grid{};
    const int start = day + pmGetDayOfWeek(year, month, 1) - 1;
    const auto at = [](int y, int m, int d) {
        return CalendarDate{static_cast<std::int16_t>(y), static_cast<std::int16_t>(m), static_cast<std::int16_t>(d)};
    };
    grid[static_cast<std::size_t>(start)] = at(year, month, day);

    int y = year, m = month, d = day;
    for (int cell = start - 1; cell >= 0; --cell) {
        if (d > 1) {
            --d;
        } else if (m > 1) {
            --m;
            d = pmGetDaysOfMonth(y, m);
        } else {
            --y;
            m = 12;
            d = 31;
        }
        grid[static_cast<std::size_t>(cell)] = at(y, m, d);
    }

    y = year, m = month, d = day;
    for (int cell = start + 1; cell < 42; ++cell) {
        if (d < pmGetDaysOfMonth(y, m)) {
            ++d;
        } else if (m < 12) {
            ++m;
            d = 1;
        } else {
            ++y;
            m = 1;
            d = 1;
        }
        grid[static_cast<std::size_t>(cell)] = at(y, m, d);
    }
    return grid;
}
