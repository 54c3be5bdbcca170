#include "ViewTestSupport.h"
#include "views/CalendarWidget.h"
#include "views/ComboBox.h"
#include "views/SkinnedButtons.h"

#include <QTest>

#include <set>

namespace {

struct Calendar : ViewTest {
    Calendar() { showAt(calendar, 291, CalendarWidget::kFullHeight); }
    QDate focus() const {
        int year = 0, month = 0, day = 0;
        calendar.getSelectDay(year, month, day);
        return QDate(year, month, day);
    }
    std::pair<int, int> page() const { return {calendar.shownYear(), calendar.shownMonth()}; }
    std::pair<int, int> chosen() { return {calendar.yearComboBox().getCurSel(), calendar.monthComboBox().getCurSel()}; }
    // A row chosen in the combo box's drop-down list.
    void choose(ComboBox& combo, int row) {
        notifications.post(notify::kListBoxChanged, row, {{"PARENT_WINDOW", combo.identity().toStdString()}});
    }
    CalendarWidget calendar{notifications};
};

}  // namespace

TEST_F(Calendar, ClicksOnDaysOfTheMonthShownMoveTheFocusAndPostOthersDoNothing) {
    calendar.setActivateDay(2015, 2, 10);  // 1 February 2015 is a Sunday: it opens the page
    const QRect gap = calendar.cellRect(7).translated(0, -2);  // between the first two rows
    const struct {
        QPoint at;
        QDate focus;
        std::size_t posts;  // so far
        const char* what;
    } clicks[] = {
        {calendar.cellRect(0).center(), {2015, 2, 1}, 1, "cell 0, the 1st"},
        {calendar.cellRect(28).center(), {2015, 2, 1}, 1, "cell 28, 1 March"},
        {calendar.cellRect(27).topLeft(), {2015, 2, 28}, 2, "cell 27, the 28th"},
        {calendar.cellRect(41).center(), {2015, 2, 28}, 2, "cell 41, 14 March"},
        {QPoint(gap.left() + 5, gap.top()), {2015, 2, 28}, 2, "between rows"},
        {QPoint(20, 36), {2015, 2, 28}, 2, "weekday captions"},
    };
    for (const auto& c : clicks) {
        QTest::mouseClick(&calendar, Qt::LeftButton, {}, c.at);
        EXPECT_EQ(focus(), c.focus) << c.what;
        EXPECT_EQ(postedNamed(notify::kCalendarSelChanged).size(), c.posts) << c.what;
    }
    EXPECT_EQ(page(), std::pair(2015, 2)) << "a click never turns the page";
    // No part of the calendar took the keyboard from the window.
    EXPECT_EQ(QApplication::focusWidget(), nullptr);

    shoot(calendar, "calendar-2015-02-sunday-start");
}

TEST_F(Calendar, PagesTurnFromJanuary2000ToDecember2049AndTheChoosersFollowWithoutMovingTheFocus) {
    auto previous = [&] { QTest::mouseClick(&calendar.previousButton(), Qt::LeftButton); };
    auto next = [&] { QTest::mouseClick(&calendar.nextButton(), Qt::LeftButton); };
    auto year2024 = [&] { choose(calendar.yearComboBox(), 24); };
    auto june = [&] { choose(calendar.monthComboBox(), 5); };
    const struct {
        int year, month;
        std::function<void()> act;
        std::pair<int, int> page;
        const char* what;
    } turns[] = {
        {2000, 1, previous, {2000, 1}, "previous at the first page"},
        {2049, 12, next, {2049, 12}, "next at the last page"},
        {2010, 1, previous, {2009, 12}, "previous from January"},
        {2010, 12, next, {2011, 1}, "next from December"},
        {2010, 3, year2024, {2024, 3}, "year chooser"},
        {2010, 3, june, {2010, 6}, "month chooser"},
    };
    for (const auto& t : turns) {
        calendar.setActivateDay(t.year, t.month, 15);
        t.act();
        EXPECT_EQ(page(), t.page) << t.what;
        EXPECT_EQ(chosen(), std::pair(t.page.first - 2000, t.page.second - 1)) << t.what;
        EXPECT_EQ(focus(), QDate(t.year, t.month, 15)) << t.what;
    }

    // Days from 2050 on are refused; one before 2000 is kept while the year chooser shows 2000.
    calendar.setActivateDay(2050, 1, 1);
    EXPECT_EQ(focus(), QDate(2010, 3, 15));
    calendar.setActivateDay(1999, 12, 31);
    EXPECT_EQ(focus(), QDate(1999, 12, 31));
    EXPECT_EQ(page(), std::pair(1999, 12));
    EXPECT_EQ(chosen(), std::pair(0, 11));
    EXPECT_TRUE(postedNamed(notify::kCalendarSelChanged).empty());
}

TEST_F(Calendar, DaysWithRecordingsAreMarkedOnEveryCellOfThePageOnceTheLibraryIsReady) {
    const std::set<QDate> recorded = {QDate(2024, 3, 31), QDate(2024, 4, 2), QDate(2024, 4, 17), QDate(2024, 6, 1)};
    int asked = 0;
    calendar.setRecordingQuery([&](int y, int m, int d) {
        ++asked;
        return recorded.count(QDate(y, m, d)) != 0;
    });
    calendar.setActivateDay(2024, 4, 2);
    EXPECT_EQ(asked, 0) << "asked before the library was ready";

    calendar.videoLibIsReady();
    EXPECT_EQ(asked, CalendarWidget::kCellCount);
    // The last day of March shows on April's page, so it is marked there too; June 1st is not on it.
    QString marked;
    for (QDate date : {QDate(2024, 3, 31), QDate(2024, 4, 2), QDate(2024, 4, 3), QDate(2024, 4, 17), QDate(2024, 6, 1)})
        marked += calendar.isMarked(date) ? "x" : ".";
    EXPECT_EQ(marked, "xx.x.");
    shoot(calendar, "calendar-marks-and-focus");
    store.values["SKIN_ID"] = 1;
    calendar.loadSkinBitmap();
    shoot(calendar, "calendar-marks-and-focus-skin-2");

    // Every turn asks again, also a press that stays on the page.
    QTest::mouseClick(&calendar.nextButton(), Qt::LeftButton);
    QTest::mouseClick(&calendar.nextButton(), Qt::LeftButton);
    EXPECT_TRUE(calendar.isMarked(QDate(2024, 6, 1)));
    calendar.setActivateDay(2000, 1, 1);
    QTest::mouseClick(&calendar.previousButton(), Qt::LeftButton);
    EXPECT_EQ(asked, 5 * CalendarWidget::kCellCount);

    // Folded, only the top strip of the picture shows.
    calendar.shrinkCalendarView(true);
    showAt(calendar, 291, CalendarWidget::kStripHeight);
    shoot(calendar, "calendar-folded-skin-2");
    EXPECT_TRUE(posted.empty());
}
