#include "Utility/CalendarDate.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <string>

namespace {

std::string text(const CalendarDate& date) {
    char buffer[24];  // room for any 16-bit fields
    std::snprintf(buffer, sizeof buffer, "%04d-%02d-%02d", date.year, date.month, date.day);
    return buffer;
}

}  // namespace

// Every page the calendar can show, all 42 cells, against the standard library's calendar: the
// first of the month in its weekday's column of row 0, the spill into 1999-12 and 2050-01 included.
TEST(CalendarDate, EveryPageFrom2000To2049MatchesTheStandardCalendar) {
    using namespace std::chrono;
    const sys_days epoch = year{2000} / January / 1;
    for (int y = 2000; y <= 2049; ++y) {
        for (unsigned m = 1; m <= 12; ++m) {
            const sys_days first = year{y} / month{m} / 1;
            const unsigned weekday = year_month_weekday(first).weekday().c_encoding();
            ASSERT_EQ(pmGetDaysSinceEpoch(y, static_cast<int>(m), 1), (first - epoch).count()) << y << "-" << m;
            ASSERT_EQ(pmGetDayOfWeek(y, static_cast<int>(m), 1), static_cast<int>(weekday)) << y << "-" << m;
            const MonthGrid grid = pmGetAllDateofAMonth(y, static_cast<int>(m), 1);
            for (unsigned cell = 0; cell < 42; ++cell) {
                const year_month_day expected{first - days{weekday} + days{cell}};
                const CalendarDate want{static_cast<std::int16_t>(static_cast<int>(expected.year())),
                                        static_cast<std::int16_t>(static_cast<unsigned>(expected.month())),
                                        static_cast<std::int16_t>(static_cast<unsigned>(expected.day()))};
                ASSERT_EQ(text(grid[cell]), text(want)) << "page " << y << "-" << m << ", cell " << cell;
            }
        }
    }
}

// Outside the exact range the arithmetic's own rules hold: before 2000 only months and days count
// (a camera clock left at 1970 or 1999), every fourth year is a leap year, the count stops at 2099.
TEST(CalendarDate, TheArithmeticsOwnValuesOutsideTheCalendarsYears) {
    const struct {
        int year, month, day, daysSinceEpoch, weekday;
    } cases[] = {
        {2000, 1, 1, 0, 6},       {2000, 3, 1, 60, 3},      {2001, 1, 1, 366, 1},     {1970, 1, 1, 0, 6},
        {1999, 12, 1, 334, 4},    {1999, 12, 31, 364, 6},   {1996, 3, 1, 60, 3},      {2100, 3, 1, 36220 - 65536, 6},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(pmGetDaysSinceEpoch(c.year, c.month, c.day), c.daysSinceEpoch) << c.year << "-" << c.month << "-" << c.day;
        EXPECT_EQ(pmGetDayOfWeek(c.year, c.month, c.day), c.weekday) << c.year << "-" << c.month << "-" << c.day;
    }
    EXPECT_EQ(pmGetDaysOfMonth(2100, 2), 29);
    EXPECT_EQ(pmGetDaysOfMonth(1900, 2), 29);
}
