#include "ViewTestSupport.h"
#include "views/CalendarWidget.h"
#include "views/SkinnedButtons.h"

#include <gtest/gtest.h>

#include <QCalendarWidget>
#include <QPushButton>
#include <QTableView>
#include <QTest>

#include <set>
#include <tuple>

namespace {

struct ShownCalendar {
    explicit ShownCalendar(NotificationCenter& notifications) : calendar(notifications) {
        calendar.resize(291, CalendarWidget::kFullHeight);
        calendar.show();
        QApplication::processEvents();
    }
    QTableView& grid() { return *calendar.calendar().findChild<QTableView*>("qt_calendar_calendarview"); }
    // Clicks the shown cell holding a day number that appears once on the page (10 to 20).
    void clickDay(int day) {
        QTableView& view = grid();
        for (int row = 0; row < view.model()->rowCount(); ++row)
            for (int column = 0; column < view.model()->columnCount(); ++column) {
                const QModelIndex index = view.model()->index(row, column);
                if (index.data().toString() == QString::number(day)) {
                    QTest::mouseClick(view.viewport(), Qt::LeftButton, {}, view.visualRect(index).center());
                    return;
                }
            }
        ADD_FAILURE() << "day " << day << " is not on the page";
    }
    CalendarWidget calendar;
};

std::tuple<int, int, int> selectedDay(const CalendarWidget& calendar) {
    int year = 0, month = 0, day = 0;
    calendar.getSelectDay(year, month, day);
    return {year, month, day};
}

}  // namespace

TEST(CalendarWidget, OnlyTheUsersChoicePostsAndBecomesTheFilter) {
    ViewTest t;
    ShownCalendar shown(t.notifications);
    CalendarWidget& calendar = shown.calendar;
    const QDate today = QDate::currentDate();
    EXPECT_EQ(selectedDay(calendar), std::make_tuple(today.year(), today.month(), today.day()));

    calendar.setActivateDay(2024, 5, 3);
    EXPECT_EQ(selectedDay(calendar), std::make_tuple(2024, 5, 3));
    EXPECT_EQ(calendar.calendar().monthShown(), 5);
    EXPECT_EQ(calendar.calendar().yearShown(), 2024);
    EXPECT_TRUE(t.posted.empty());

    shown.clickDay(15);
    const auto posted = t.postedNamed(notify::kCalendarSelChanged);
    ASSERT_EQ(posted.size(), 1u);
    EXPECT_FALSE(posted[0].userInfo.at("CALENDAR_WINDOW").empty());
    EXPECT_EQ(selectedDay(calendar), std::make_tuple(2024, 5, 15));

    // Years the calendar cannot show are ignored; a day before them is kept as the filter.
    calendar.setActivateDay(2050, 1, 1);
    EXPECT_EQ(selectedDay(calendar), std::make_tuple(2024, 5, 15));
    calendar.setActivateDay(1999, 12, 31);
    EXPECT_EQ(selectedDay(calendar), std::make_tuple(1999, 12, 31));
    EXPECT_EQ(t.postedNamed(notify::kCalendarSelChanged).size(), 1u);
}

TEST(CalendarWidget, DaysWithRecordingsAreMarkedOnceTheLibraryIsReady) {
    ViewTest t;
    ShownCalendar shown(t.notifications);
    CalendarWidget& calendar = shown.calendar;
    const std::set<QDate> recorded = {QDate(2024, 3, 31), QDate(2024, 4, 2), QDate(2024, 4, 17), QDate(2024, 6, 1)};
    int asked = 0;
    calendar.setRecordingQuery([&](int y, int m, int d) {
        ++asked;
        return recorded.count(QDate(y, m, d)) != 0;
    });

    calendar.setActivateDay(2024, 4, 2);
    EXPECT_EQ(asked, 0) << "asked before the library was ready";
    EXPECT_FALSE(calendar.isMarked(QDate(2024, 4, 2)));

    calendar.videoLibIsReady();
    EXPECT_GT(asked, 0);
    // The last day of March shows on April's page, so it is marked there too.
    for (const QDate& date : {QDate(2024, 3, 31), QDate(2024, 4, 2), QDate(2024, 4, 17)})
        EXPECT_TRUE(calendar.isMarked(date)) << date.toString(Qt::ISODate).toStdString();
    EXPECT_FALSE(calendar.isMarked(QDate(2024, 4, 3)));
    EXPECT_FALSE(calendar.isMarked(QDate(2024, 6, 1)));  // not on April's page
    ViewTest::shoot(calendar, "calendar-marks");

    // Turning the page asks again for the new month.
    calendar.calendar().setCurrentPage(2024, 6);
    EXPECT_TRUE(calendar.isMarked(QDate(2024, 6, 1)));
    EXPECT_TRUE(t.posted.empty());
}

TEST(CalendarWidget, ModeButtonAsksForAllRecordingsAndBack) {
    ViewTest t;
    ShownCalendar shown(t.notifications);
    CalendarWidget& calendar = shown.calendar;
    std::vector<bool> asked;
    calendar.setModeHandler([&](bool show) { asked.push_back(show); });

    EXPECT_EQ(calendar.modeButton().text(), "All");
    QTest::mouseClick(&calendar.modeButton(), Qt::LeftButton);
    EXPECT_EQ(calendar.calendarMode(), 1);
    EXPECT_EQ(calendar.modeButton().text(), "Calendar");
    QTest::mouseClick(&calendar.modeButton(), Qt::LeftButton);
    EXPECT_EQ(calendar.calendarMode(), 0);
    EXPECT_EQ(calendar.modeButton().text(), "All");
    EXPECT_EQ(asked, (std::vector<bool>{false, true}));

    calendar.shrinkCalendarView(true);
    EXPECT_FALSE(calendar.calendar().isVisible());
    calendar.shrinkCalendarView(false);
    EXPECT_TRUE(calendar.calendar().isVisible());
    EXPECT_TRUE(t.posted.empty());
}
