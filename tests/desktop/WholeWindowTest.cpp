#include "desktop/WindowApplication.h"
#include "support/GraphicsDrivers.h"
#include "support/MemoryPreferences.h"
#include "support/QtWait.h"
#include "support/SampleCardFixture.h"
#include "support/Screenshot.h"
#include "support/TempHome.h"
#include "tools/SampleCardTable.h"
#include "tools/SampleTelemetry.h"
#include "views/CalendarWidget.h"
#include "views/DashboardPanel.h"
#include "views/GSensorGraphWidget.h"
#include "views/SliderWidget.h"
#include "views/MovieViewFrame.h"
#include "views/PlayBarWidget.h"
#include "views/RecordingListWidget.h"
#include "views/ToolbarWidget.h"
#include "views/ViewStyle.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QCalendarWidget>
#include <QListWidget>
#include <QTableView>
#include <QTest>

#include <algorithm>
#include <clocale>
#include <ctime>
#include <optional>

namespace {

struct Day {
    int year, month, day;
    bool operator==(const Day&) const = default;
};

Day localDay(std::time_t when) {
    struct tm t {};
    localtime_r(&when, &t);
    return {t.tm_year + 1900, t.tm_mon + 1, t.tm_mday};
}

// The playable recordings of the card on a day, as the card's table describes them.
int recordingsOn(const Day& day) {
    const SampleCardDate first = sampleCardTestOptions().firstDay;
    return int(std::count_if(sampleCardEntries().begin(), sampleCardEntries().end(), [&](const SampleEntry& e) {
        return e.expectedInLibrary() && localDay(sampleEntryTime(e, first)) == day;
    }));
}

Day newestDay() {
    const SampleCardDate first = sampleCardTestOptions().firstDay;
    std::time_t newest = 0;
    for (const SampleEntry& e : sampleCardEntries())
        if (e.expectedInLibrary()) newest = std::max(newest, sampleEntryTime(e, first));
    return localDay(newest);
}

const SampleEntry* entryOfPath(const std::string& path) {
    for (const SampleEntry& e : sampleCardEntries())
        if (sampleCardPath(e) == path) return &e;
    return nullptr;
}

// The stamp shown by a movie view in a screenshot of the window: the picture is fitted into the
// view, centred, keeping its aspect.
std::optional<FrameStamp> stampInView(const QImage& shot, QWidget& window, QWidget& view, MovieSize natural) {
    if (natural.width <= 0 || natural.height <= 0) return std::nullopt;
    const QRect area(view.mapTo(&window, QPoint(0, 0)), view.size());
    const double scale = std::min(double(area.width()) / natural.width, double(area.height()) / natural.height);
    const int width = int(natural.width * scale), height = int(natural.height * scale);
    const QRect picture(area.x() + (area.width() - width) / 2, area.y() + (area.height() - height) / 2, width, height);
    const QImage gray = shot.copy(picture).convertToFormat(QImage::Format_Grayscale8);
    const ImageView image{gray.constBits(), gray.width(), gray.height(), int(gray.bytesPerLine()),
                          ImageView::Format::Gray8};
    return readFrameStamp(image, natural.width, natural.height);
}

bool sameDay(const FrameStamp& stamp, const SampleEntry& entry) {
    return Day{stamp.year, stamp.month, stamp.day} ==
           localDay(sampleEntryTime(entry, sampleCardTestOptions().firstDay));
}

void doubleClickRow(RecordingListWidget& list, int row) {
    QListWidget& rows = list.list();
    const QPoint at = rows.visualItemRect(rows.item(row)).center();
    QTest::mouseClick(rows.viewport(), Qt::LeftButton, {}, at);
    QTest::mouseDClick(rows.viewport(), Qt::LeftButton, {}, at);
}

class WholeWindow : public ::testing::Test {
protected:
    WholeWindow() : application_(argc_, argv_) {
        std::setlocale(LC_NUMERIC, "C");
        store_.values["LANGUAGE_ID"] = 0;
        pmApplyWindowTheme(application_);
    }

    // Starts the program on the card and waits for its first layout.
    WindowApplication& start() {
        program_ = std::make_unique<WindowApplication>(WindowApplication::Options{"null"});
        program_->start(sampleCardFolder());
        spinFor(0.3);
        return *program_;
    }

    // Plays until the first player shows moving pictures with the pause image on the play button.
    bool playing(WindowApplication& program) {
        return spinUntil([&] {
            return program.player1().loadState() == kMovieLoadStatePlayable && program.player1().currentTime() > 1.0 &&
                   program.window().playBar().playButtonIndex() == 1;
        });
    }

    TempHome home_;
    MemoryPreferences store_;
    int argc_ = 1;
    char name_[16] = "desktop_tests";
    char* argv_[2] = {name_, nullptr};
    QApplication application_;
    std::unique_ptr<WindowApplication> program_;
};

}  // namespace

TEST_F(WholeWindow, ShowsTheNewestDayOfTheCardAndPlaysADoubleClickedRow) {
    WindowApplication& program = start();
    MainWindow& window = program.window();
    RecordingListWidget& list = window.recordingList();

    // The calendar is on the newest day and the list holds that day's recordings.
    const Day newest = newestDay();
    int year = 0, month = 0, day = 0;
    window.calendar().getSelectDay(year, month, day);
    EXPECT_EQ((Day{year, month, day}), newest);
    ASSERT_EQ(list.rowCount(), recordingsOn(newest));
    ASSERT_GT(list.rowCount(), 1);
    EXPECT_TRUE(window.calendar().isMarked(QDate(newest.year, newest.month, newest.day)));
    EXPECT_TRUE(window.movieView2().isHidden());  // no front and rear pairs on that day
    saveScreenshot(window, "whole-window-card");

    doubleClickRow(list, 1);
    ASSERT_TRUE(playing(program)) << "state " << program.player1().loadState();
    EXPECT_EQ(list.playMarkRow(), 1);
    EXPECT_EQ(list.getCurSel(), 1);
    const SampleEntry* entry = entryOfPath(program.player1().path());
    ASSERT_NE(entry, nullptr) << program.player1().path();
    EXPECT_EQ(window.playBar().totalTimeText(), PlayBarWidget::timeText(entry->seconds));
    // The played time follows the playback timer.
    EXPECT_TRUE(spinUntil([&] { return window.playBar().playedTimeText() != "00:00"; }, 5.0));

    // The movie view shows the recording's own frames.
    std::optional<FrameStamp> stamp;
    QImage shot;
    ASSERT_TRUE(spinUntil([&] {
        shot = window.grab().toImage();
        stamp = stampInView(shot, window, window.movieView(), program.player1().naturalSize());
        return stamp.has_value();
    }, 10.0)) << "no readable frame in the movie view";
    keepGraphicsDriversLoaded();
    saveScreenshot(window, "whole-window-playing");
    EXPECT_EQ(stamp->camera, entry->label);
    EXPECT_TRUE(sameDay(*stamp, *entry)) << describeFrameStamp(*stamp);
    EXPECT_GT(stamp->frame, 0);

    // Its G-sensor curves and the mark of its peak second come with it; it has no positions.
    const SampleTelemetrySpec* telemetry = sampleTelemetrySpecOf(*entry);
    ASSERT_NE(telemetry, nullptr);
    ASSERT_GE(telemetry->peakSecond, 0);
    EXPECT_TRUE(window.gsensorGraph().hasCurves());
    EXPECT_GE(window.gsensorGraph().indicatorX(), GSensorGraphWidget::kGraphicX);
    const SliderWidget& slider = window.playBar().timeSlider();
    EXPECT_EQ(slider.maximum(), entry->seconds);
    // Over the peak second, to the pixel (the slider's own tests pin the rounding).
    EXPECT_NEAR(slider.eventMarkX(), SliderWidget::kThumbWidth / 2 + (slider.width() - SliderWidget::kThumbWidth) *
                                                                           telemetry->peakSecond / entry->seconds, 1);
    EXPECT_EQ(window.dashboard().getMapState(), -1);

    // Pause from the play bar stops the clock.
    QTest::mouseClick(window.playBar().findChild<QWidget*>("playButton"), Qt::LeftButton);
    ASSERT_TRUE(spinUntil([&] { return program.player1().rate() == 0.0f; }));
    EXPECT_EQ(window.playBar().playButtonIndex(), 0);

    // A recording with a position log beside it fills the dashboard.
    int logged = -1;
    for (int row = 0; row < list.rowCount() && logged < 0; ++row) {
        const SampleEntry* e = entryOfPath(list.list().item(row)->toolTip().toStdString());
        const SampleTelemetrySpec* spec = e ? sampleTelemetrySpecOf(*e) : nullptr;
        if (spec && spec->log != SampleLogPlace::None && !spec->emptyLog) logged = row;
    }
    ASSERT_GE(logged, 0) << "no recording with a log on the newest day";
    doubleClickRow(list, logged);
    ASSERT_TRUE(spinUntil([&] {
        return program.player1().path() == list.list().item(logged)->toolTip().toStdString() &&
               program.player1().currentTime() > 1.0 && window.dashboard().latitudeText() != "-";
    })) << "the dashboard shows no position";
    EXPECT_NE(window.dashboard().getMapState(), -1);
    EXPECT_NE(window.dashboard().headingText(), "-");
    EXPECT_EQ(list.playMarkRow(), logged);
    saveScreenshot(window, "whole-window-dashboard");
}

TEST_F(WholeWindow, DoubleClickingARearRecordingPlaysThePairWithTheRearViewLarge) {
    WindowApplication& program = start();
    MainWindow& window = program.window();
    RecordingListWidget& list = window.recordingList();

    // The user turns the calendar to the card's first day, which holds front and rear pairs.
    const SampleCardDate first = sampleCardTestOptions().firstDay;
    window.calendar().calendar().setCurrentPage(first.year, first.month);
    QTableView* grid = window.calendar().calendar().findChild<QTableView*>("qt_calendar_calendarview");
    ASSERT_NE(grid, nullptr);
    bool clicked = false;
    for (int row = 1; row < grid->model()->rowCount() && !clicked; ++row)
        for (int column = 0; column < grid->model()->columnCount() && !clicked; ++column) {
            const QModelIndex index = grid->model()->index(row, column);
            // The first day of the card is late in its month: take the cell in the month's last weeks.
            if (index.data().toInt() == first.day && row >= 3) {
                QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, grid->visualRect(index).center());
                clicked = true;
            }
        }
    ASSERT_TRUE(clicked);
    spinFor(0.2);
    ASSERT_EQ(list.rowCount(), recordingsOn({first.year, first.month, first.day}));
    EXPECT_FALSE(window.movieView2().isHidden());
    EXPECT_TRUE(window.toolbar().isWindowSwitchVisible());

    int rearRow = -1;
    for (int row = 0; row < list.rowCount() && rearRow < 0; ++row)
        if (list.list().item(row)->toolTip().endsWith("R.MP4")) rearRow = row;
    ASSERT_GE(rearRow, 0);
    doubleClickRow(list, rearRow);
    ASSERT_TRUE(playing(program));
    ASSERT_TRUE(spinUntil([&] { return program.player2().loadState() == kMovieLoadStatePlayable; }));
    // The rear view became the large one; the front recording's row is selected.
    EXPECT_GT(window.movieView2().width(), window.movieView().width());
    EXPECT_EQ(window.movieView2().fillGray(), 0);
    EXPECT_TRUE(list.list().item(list.getCurSel())->toolTip().endsWith("F.MP4"));

    std::optional<FrameStamp> large, small;
    ASSERT_TRUE(spinUntil([&] {
        const QImage shot = window.grab().toImage();
        large = stampInView(shot, window, window.movieView2(), program.player2().naturalSize());
        small = stampInView(shot, window, window.movieView(), program.player1().naturalSize());
        return large && small;
    }, 10.0)) << "the two views do not both show a readable frame";
    keepGraphicsDriversLoaded();
    saveScreenshot(window, "whole-window-dual-rear-large");
    EXPECT_EQ(large->camera, "REAR CAM");
    EXPECT_EQ(small->camera, "FRONT CAM");
}
