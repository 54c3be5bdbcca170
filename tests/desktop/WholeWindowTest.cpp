#include "WindowProgramFixture.h"
#include "Utility/Sha256.h"
#include "support/GraphicsDrivers.h"
#include "support/ModalDriver.h"
#include "support/Screenshot.h"
#include "tools/SampleCardTable.h"
#include "tools/SampleTelemetry.h"
#include "views/CalendarWidget.h"
#include "views/CapturePreviewDialog.h"
#include "views/DashboardPanel.h"
#include "views/MapView.h"
#include "views/GSensorGraphWidget.h"
#include "views/SliderWidget.h"
#include "views/MovieViewFrame.h"
#include "views/PrintPreviewDialog.h"
#include "views/SkinnedButtons.h"
#include "views/ToolbarWidget.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>

#include <algorithm>
#include <filesystem>
#include <optional>
#include <regex>

namespace {

// The playable recordings of the card on a day, as the card's table describes them.
int recordingsOn(const QDate& day) {
    return int(std::count_if(sampleCardEntries().begin(), sampleCardEntries().end(),
                             [&](const SampleEntry& e) { return e.expectedInLibrary() && dayOf(e) == day; }));
}

// Plays the user on a save dialog: keeps the name and folder it proposes, then types `path` in.
void saveAs(QWidget* modal, const std::string& path, std::pair<std::string, std::string>& proposed) {
    auto* dialog = qobject_cast<QFileDialog*>(modal);
    ASSERT_TRUE(dialog && !dialog->selectedFiles().isEmpty());
    proposed = {QFileInfo(dialog->selectedFiles().first()).fileName().toStdString(),
                dialog->directory().absolutePath().toStdString()};
    dialog->setDirectory(QString::fromStdString(std::filesystem::path(path).parent_path().string()));
    dialog->findChild<QLineEdit*>("fileNameEdit")->setText(QString::fromStdString(std::filesystem::path(path).filename().string()));
    static_cast<QDialog*>(dialog)->accept();
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
    const SampleEntry* entry = &sampleCardEntry(std::filesystem::path(pathOf(1)).filename());
    ASSERT_EQ(sampleCardPath(*entry), pathOf(1));
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
    selectDay(firstDay);
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

TEST_F(WholeWindow, TheToolbarsOutputsExportCaptureOverAnEarlierFilePrintBackUpAndEvidence) {
    QApplication::setAttribute(Qt::AA_DontUseNativeDialogs);
    ToolbarWidget& toolbar = window.toolbar();
    int row = 0;  // the first recording of the day with positions: its Export button comes on
    while (row < list.rowCount() && !(play(row) && toolbar.isButtonEnabled(ToolbarView::Export))) ++row;
    ASSERT_LT(row, list.rowCount()) << "no recording with positions on the newest day";
    keepGraphicsDriversLoaded();
    // Presses a button and plays the user on the dialogs it opens, one after another.
    const auto press = [&](ToolbarView::Button button, std::vector<ModalDriver::Step> steps) {
        ModalDriver user(std::move(steps));
        toolbar.outputButton(button).click();
        EXPECT_TRUE(user.done()) << button;
    };

    // Export: the recording's name with .kml in the documents folder; playback pauses.
    const std::string folder = home.path() + "/saved";
    std::filesystem::create_directories(folder);
    std::pair<std::string, std::string> proposed;
    press(ToolbarView::Export, {[&](QWidget* modal) { saveAs(modal, folder + "/track.kml", proposed); }});
    EXPECT_EQ(proposed, std::pair(std::filesystem::path(pathOf(row)).stem().string() + ".kml", home.documents()));
    EXPECT_NE(readFile(folder + "/track.kml").find("<name><![CDATA[track.kml]]></name>"), std::string::npos);
    EXPECT_EQ(program->player1().rate(), 0.0f);

    // Capture: Save As in the preview, the save dialog with the time's name, and over a file that
    // is there the question whether to replace it; the JPEG is the player's frame at its own size.
    const std::string jpeg = folder + "/frame.jpg";
    ASSERT_TRUE(writeFile(jpeg, "earlier"));
    QImage preview;
    QString question;
    press(ToolbarView::Capture, {[&](QWidget* modal) {
                                     auto* dialog = qobject_cast<CapturePreviewDialog*>(modal);
                                     ASSERT_NE(dialog, nullptr);
                                     preview = dialog->shownImage();
                                     saveScreenshot(*dialog, "whole-window-capture-preview");
                                     dialog->findChild<QPushButton*>("saveAsButton")->click();
                                 },
                                 [&](QWidget* modal) { saveAs(modal, jpeg, proposed); },
                                 [&](QWidget* modal) {
                                     auto* box = qobject_cast<QMessageBox*>(modal);
                                     ASSERT_NE(box, nullptr);
                                     question = box->text();
                                     box->button(QMessageBox::Yes)->click();
                                 }});
    EXPECT_TRUE(std::regex_match(proposed.first, std::regex(R"(\d{8}-\d{6}\.jpg)"))) << proposed.first;
    EXPECT_TRUE(question.contains("frame.jpg")) << question.toStdString();
    const QImage saved(QString::fromStdString(jpeg));
    const MovieSize size = program->player1().naturalSize();
    EXPECT_EQ(saved.size(), QSize(size.width, size.height));
    EXPECT_EQ(preview.size(), saved.size());

    // Print: the preview shows the page with the frame and the graph. Backup: the selection, given up.
    press(ToolbarView::Print, {[&](QWidget* modal) {
              auto* dialog = qobject_cast<PrintPreviewDialog*>(modal);
              ASSERT_NE(dialog, nullptr);
              EXPECT_EQ(dialog->canvasView().content().camera1.size(), saved.size());
              EXPECT_FALSE(dialog->canvasView().content().graph.isNull());
              saveScreenshot(*dialog, "whole-window-print-preview");
              dialog->reject();
          }});
    press(ToolbarView::Backup, {[&](QWidget* modal) {
              EXPECT_EQ(modal->windowTitle(), "Back Up");
              static_cast<QDialog*>(modal)->reject();
          }});

    // Evidence: a new folder's name, the package made behind the panel, and the SHA-256 of its
    // SHA256SUMS in the message at the end.
    QString shown;
    ModalDriver user({[&](QWidget* modal) { saveAs(modal, folder + "/package", proposed); },
                      [&](QWidget* modal) {
                          auto* box = qobject_cast<QMessageBox*>(modal);
                          ASSERT_NE(box, nullptr);
                          shown = box->text();
                          saveScreenshot(*box, "whole-window-evidence-done");
                          box->buttons().first()->click();
                      }});
    toolbar.outputButton(ToolbarView::Evidence).click();
    EXPECT_TRUE(spinUntil([&] { return user.done(); }, 60.0));
    EXPECT_TRUE(proposed.first.starts_with(std::filesystem::path(pathOf(row)).stem().string() + "-evidence-"))
        << proposed.first;
    const std::string sums = readFile(folder + "/package/SHA256SUMS");
    ASSERT_FALSE(sums.empty());
    EXPECT_TRUE(shown.contains(QString::fromStdString(pmSha256Hex(sums)))) << shown.toStdString();
}
