#include "WindowProgramFixture.h"
#include "support/GraphicsDrivers.h"
#include "support/Screenshot.h"
#include "tools/SampleCardTable.h"
#include "telemetry/SampleText.h"
#include "tools/SampleTelemetry.h"
#include "views/CalendarWidget.h"
#include "views/DashboardPanel.h"
#include "views/MapView.h"
#include "views/GSensorGraphWidget.h"
#include "views/SliderWidget.h"
#include "views/MovieViewFrame.h"
#include "views/ToolbarWidget.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QCalendarWidget>
#include <QListWidget>
#include <QPushButton>
#include <QTest>

#include <algorithm>
#include <clocale>
#include <ctime>
#include <optional>

namespace {

// The playable recordings of the card on a day, as the card's table describes them.
int recordingsOn(const QDate& day) {
    return int(std::count_if(sampleCardEntries().begin(), sampleCardEntries().end(),
                             [&](const SampleEntry& e) { return e.expectedInLibrary() && dayOf(e) == day; }));
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

class WholeWindow : public WindowProgramTest {
protected:
    bool started_ = (start(), true);
    MainWindow& window = program->window();
    RecordingListWidget& list = window.recordingList();
};

}  // namespace

TEST_F(WholeWindow, ShowsTheNewestDayOfTheCardAndPlaysADoubleClickedRow) {
    // The calendar is on the newest day and the list holds that day's recordings.
    QDate newest;
    for (const SampleEntry& e : sampleCardEntries())
        if (e.expectedInLibrary()) newest = std::max(newest, dayOf(e));
    int year = 0, month = 0, day = 0;
    window.calendar().getSelectDay(year, month, day);
    EXPECT_EQ(QDate(year, month, day), newest);
    ASSERT_EQ(list.rowCount(), recordingsOn(newest));
    ASSERT_GT(list.rowCount(), 1);
    EXPECT_TRUE(window.calendar().isMarked(newest));
    EXPECT_TRUE(window.movieView2().isHidden());  // no front and rear pairs on that day
    saveScreenshot(window, "whole-window-card");

    ASSERT_TRUE(play(1)) << "state " << program->player1().loadState();
    EXPECT_EQ(list.playMarkRow(), 1);
    EXPECT_EQ(list.getCurSel(), 1);
    const SampleEntry* entry = entryOfPath(pathOf(1));
    ASSERT_NE(entry, nullptr) << pathOf(1);
    EXPECT_EQ(window.playBar().totalTimeText(), PlayBarWidget::timeText(entry->seconds));
    // The played time follows the playback timer.
    EXPECT_TRUE(spinUntil([&] { return window.playBar().playedTimeText() != "00:00"; }, 5.0));

    keepGraphicsDriversLoaded();  // the movie view has made its GL context
    saveScreenshot(window, "whole-window-playing");

    // Its G-sensor curves and the mark of its peak second come with it; it has no positions.
    const SampleTelemetrySpec* telemetry = sampleTelemetrySpecOf(*entry);
    ASSERT_TRUE(telemetry && telemetry->peakSecond >= 0);
    EXPECT_TRUE(window.gsensorGraph().hasCurves());
    EXPECT_GE(window.gsensorGraph().indicatorX(), GSensorGraphWidget::kGraphicX);
    const SliderWidget& slider = window.playBar().timeSlider();
    EXPECT_EQ(slider.maximum(), entry->seconds);
    // Over the peak second, to the pixel (the slider's own tests pin the rounding).
    EXPECT_NEAR(slider.eventMarkX(), SliderWidget::kThumbWidth / 2 + (slider.width() - SliderWidget::kThumbWidth) *
                                                                           telemetry->peakSecond / entry->seconds, 1);
    EXPECT_EQ(window.mapView().model().getMapState(), -1);

    // Pause from the play bar stops the clock.
    QTest::mouseClick(window.playBar().findChild<QWidget*>("playButton"), Qt::LeftButton);
    ASSERT_TRUE(spinUntil([&] { return program->player1().rate() == 0.0f; }));
    EXPECT_EQ(window.playBar().playButtonIndex(), 0);
}

TEST_F(WholeWindow, DoubleClickingARearRecordingPlaysThePairWithTheRearViewLarge) {
    // The user picks the day of the card's first recording, which holds front and rear pairs.
    const QDate firstDay = dayOf(sampleCardEntries().front());
    window.calendar().calendar().setSelectedDate(firstDay);
    spinFor(0.2);
    ASSERT_EQ(list.rowCount(), recordingsOn(firstDay));
    EXPECT_FALSE(window.movieView2().isHidden());
    EXPECT_TRUE(window.toolbar().isWindowSwitchVisible());

    int rearRow = 0;
    while (rearRow < list.rowCount() && !pathOf(rearRow).ends_with("R.MP4")) ++rearRow;
    ASSERT_LT(rearRow, list.rowCount());
    ASSERT_TRUE(play(rearRow));
    ASSERT_TRUE(spinUntil([&] { return program->player2().loadState() == kMovieLoadStatePlayable; }));
    // The rear view became the large one; the front recording's row is selected.
    EXPECT_GT(window.movieView2().width(), window.movieView().width());
    EXPECT_EQ(window.movieView2().fillGray(), 0);
    EXPECT_TRUE(pathOf(list.getCurSel()).ends_with("F.MP4"));
    // The pair's position log fills the dashboard.
    EXPECT_TRUE(spinUntil([&] { return window.mapView().dashboard().latitudeText() != "-"; }, 5.0));

    std::optional<FrameStamp> large, small;
    ASSERT_TRUE(spinUntil([&] {
        const QImage shot = window.grab().toImage();
        large = stampInView(shot, window, window.movieView2(), program->player2().naturalSize());
        small = stampInView(shot, window, window.movieView(), program->player1().naturalSize());
        return large && small;
    }, 10.0)) << "the two views do not both show a readable frame";
    keepGraphicsDriversLoaded();
    saveScreenshot(window, "whole-window-dual-rear-large");
    // Each view shows its own camera's frames of that day.
    EXPECT_EQ(large->camera + " " + small->camera, "REAR CAM FRONT CAM");
    EXPECT_EQ(QDate(large->year, large->month, large->day), firstDay) << describeFrameStamp(*large);
    EXPECT_GT(small->frame, 0);
}

TEST_F(WholeWindow, RecordingsLoggedByCombinedReceiversShowTheirPositionOnTheDashboard) {
    QTest::mouseClick(&window.calendar().modeButton(), Qt::LeftButton);  // all dates
    spinFor(0.2);
    int shown = 0;
    for (const SampleTelemetrySpec& spec : sampleTelemetrySpecs()) {
        if (spec.talkers == SampleTalkers::Gp) continue;
        SCOPED_TRACE(spec.recording);
        int row = 0;
        while (row < list.rowCount() && !pathOf(row).ends_with("/" + spec.recording)) ++row;
        ASSERT_LT(row, list.rowCount()) << "not in the list of all dates";
        list.list().scrollToItem(list.list().item(row));
        ASSERT_TRUE(play(row));
        EXPECT_TRUE(spinUntil([&] {
            return window.mapView().dashboard().latitudeText() != "-" &&
                   window.mapView().dashboard().altitudeText().toStdString() != pmGetAltitudeString(0.0f);
        })) << "the dashboard shows no position or no altitude";
        keepGraphicsDriversLoaded();
        saveScreenshot(window, QString("whole-window-combined-receiver-%1").arg(++shown));
    }
    EXPECT_EQ(shown, 3);
}
