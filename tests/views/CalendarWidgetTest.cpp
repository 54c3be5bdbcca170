#include "ViewTestSupport.h"
#include "views/CalendarWidget.h"
#include "views/SkinnedButtons.h"

#include <QCalendarWidget>

#include <set>

namespace {

struct Calendar : ViewTest {
    Calendar() { showAt(calendar, 291, CalendarWidget::kFullHeight); }
    QDate selected() const {
        int year = 0, month = 0, day = 0;
        calendar.getSelectDay(year, month, day);
        return QDate(year, month, day);
    }
    CalendarWidget calendar{notifications};
};

}  // namespace

TEST_F(Calendar, OnlyTheUsersChoicePostsAndEveryChosenDayBecomesTheFilter) {
    EXPECT_EQ(selected(), QDate::currentDate());
    calendar.setActivateDay(2024, 5, 3);  // the page follows the controller's day
    EXPECT_EQ(QDate(calendar.calendar().yearShown(), calendar.calendar().monthShown(), 3), QDate(2024, 5, 3));
    calendar.calendar().setSelectedDate(QDate(2024, 5, 15));  // as a click on the 15th does
    const auto picked = postedNamed(notify::kCalendarSelChanged);
    ASSERT_EQ(picked.size(), 1u);  // the controller's day posted nothing
    EXPECT_FALSE(picked[0].userInfo.at("CALENDAR_WINDOW").empty());
    EXPECT_EQ(selected(), QDate(2024, 5, 15));

    // Years the calendar cannot show are ignored; a day before them is kept as the filter.
    calendar.setActivateDay(2050, 1, 1);
    EXPECT_EQ(selected(), QDate(2024, 5, 15));
    calendar.setActivateDay(1999, 12, 31);
    EXPECT_EQ(selected(), QDate(1999, 12, 31));
    EXPECT_EQ(postedNamed(notify::kCalendarSelChanged).size(), 1u);
}

TEST_F(Calendar, DaysWithRecordingsAreMarkedOnceTheLibraryIsReadyAndOnEveryPage) {
    const std::set<QDate> recorded = {QDate(2024, 3, 31), QDate(2024, 4, 2), QDate(2024, 4, 17), QDate(2024, 6, 1)};
    int asked = 0;
    calendar.setRecordingQuery([&](int y, int m, int d) {
        ++asked;
        return recorded.count(QDate(y, m, d)) != 0;
    });
    calendar.setActivateDay(2024, 4, 2);
    EXPECT_EQ(asked, 0) << "asked before the library was ready";

    calendar.videoLibIsReady();
    // The last day of March shows on April's page, so it is marked there too; June 1st is not on it.
    QString marked;
    for (QDate date : {QDate(2024, 3, 31), QDate(2024, 4, 2), QDate(2024, 4, 3), QDate(2024, 4, 17), QDate(2024, 6, 1)})
        marked += calendar.isMarked(date) ? "x" : ".";
    EXPECT_EQ(marked, "xx.x.");
    shoot(calendar, "calendar-marks");

    // Turning the page asks again for the new month.
    calendar.calendar().setCurrentPage(2024, 6);
    EXPECT_TRUE(calendar.isMarked(QDate(2024, 6, 1)));
    EXPECT_TRUE(posted.empty());
}
