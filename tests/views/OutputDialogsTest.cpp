// The outputs' widgets: the printed page on a PDF (read back as a picture and as text), the
// selection dialog's outcome, the capture preview and the progress panel.
#include "ViewTestSupport.h"
#include "library/AMediaFile.h"
#include "support/ModalDriver.h"
#include "support/RunCommand.h"
#include "telemetry/GpsData.h"
#include "views/BackupSelectionDialog.h"
#include "views/CameraChoiceBar.h"
#include "views/CapturePreviewDialog.h"
#include "views/MainWindow.h"
#include "views/PrintPageView.h"
#include "views/ProgressPanel.h"
#include "views/QtControllerDialogs.h"

#include <gtest/gtest.h>

#include <QPrinter>
#include <QPushButton>
#include <QTableWidget>

#include <filesystem>

namespace {

QImage solid(QColor color, QSize size) {
    QImage image(size, QImage::Format_RGB32);
    image.fill(color);
    return image;
}

GpsData sampleAt(float latitude, double altitude) {
    GpsData sample;
    sample.setFLatitude(latitude);
    sample.setFLongitude(11.5f);
    sample.setFSpeed(100.0f);
    sample.setFDirection(90.0f);
    sample.setDAltitude(altitude);
    return sample;
}

using OutputDialogs = ViewTest;

}  // namespace

TEST_F(OutputDialogs, ThePrintedPageOnAnA4PdfHoldsTheFramesTheGraphAndTheValuesOrDashes) {
    const GpsData high = sampleAt(48.25f, 70000.0), low = sampleAt(48.25f, 12.34), atZero = sampleAt(0.0f, 12.34);
    const QColor red = Qt::red, blue = Qt::blue, green = Qt::green, white = Qt::white;
    // Where the page shows what, in points: both frames stacked at 38 % and 67 % of the page, or
    // one at 56 % of its width, each fitted to its own frame's aspect; the graph on the right below.
    struct Case {
        int option;
        const GpsData* sample;
        std::int16_t speedUnit;
        std::vector<std::pair<QPoint, QColor>> colours;
        std::vector<const char*> shown, absent;
    };
    const Case cases[] = {
        {kPrintBothCameras, &high, 1, {{{293, 169}, red}, {{166, 456}, blue}, {{440, 672}, green}, {{3, 3}, white}},
         {"Heading :", "E 90°", "11.50000°", "48.25000°", "62 mph", "Print Date : 2024/05/01"}, {" m\n"}},
        {kPrintCamera2, nullptr, 0, {{{297, 171}, blue}, {{440, 430}, green}, {{166, 456}, white}}, {"Speed :"}, {"°", "km/h"}},
        {kPrintSingleCamera, &low, 0, {{{297, 171}, red}, {{440, 430}, green}}, {"12.3 m", "100 km/h"}, {"mph"}},
        {kPrintSingleCamera, &atZero, 0, {}, {"E 90°"}, {"11.50000°", " m\n", "km/h"}},  // latitude 0: no position
    };
    int index = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(index);
        const PrintPageContent content{solid(red, {640, 360}), solid(blue, {320, 240}), solid(green, {340, 215}),
                                       c.option, pmPrintTexts(c.sample, c.speedUnit, {2024, 5, 1}), false};
        const QString pdf = QString::fromStdString(home.path()) + "/page.pdf";
        QPrinter printer(QPrinter::HighResolution);
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(pdf);
        printer.setPageSize(QPageSize(QPageSize::A4));
        ASSERT_TRUE(pmPrintPage(printer, content));

        std::filesystem::create_directories(std::string(CARTENA_BUILD_DIR) + "/screenshots");
        const std::string png = std::string(CARTENA_BUILD_DIR) + "/screenshots/print-page-" + std::to_string(index++);
        const auto raster = runCommand({"pdftoppm", "-r", "72", "-png", "-singlefile", pdf.toStdString(), png});
        ASSERT_EQ(raster.exitCode, 0) << raster.err;
        const QImage page(QString::fromStdString(png + ".png"));
        ASSERT_EQ(page.size(), QSize(595, 842));
        for (const auto& [at, colour] : c.colours) {
            const QColor seen = page.pixelColor(at);
            EXPECT_LT(std::abs(seen.red() - colour.red()) + std::abs(seen.green() - colour.green()) +
                          std::abs(seen.blue() - colour.blue()), 60)
                << at.x() << "," << at.y() << " shows " << seen.name().toStdString();
        }
        const auto text = runCommand({"pdftotext", "-layout", pdf.toStdString(), "-"});
        ASSERT_EQ(text.exitCode, 0) << text.err;
        for (const char* expected : c.shown) EXPECT_NE(text.out.find(expected), std::string::npos) << expected << "\n" << text.out;
        for (const char* unexpected : c.absent) EXPECT_EQ(text.out.find(unexpected), std::string::npos) << unexpected << "\n" << text.out;
    }
}

TEST_F(OutputDialogs, TheSelectionPostsItsRowsAndAnUploadsLimitKeepsItOpen) {
    MainWindow window(notifications);
    QtControllerDialogs dialogs(window, notifications);
    std::vector<AMediaFile> playlist;
    for (const char* name : {"/c/FILE0001.MP4", "/c/FILE0002.MP4", "/c/FILE0003.MP4"})
        playlist.push_back(AMediaFile::mediaFileWithURLDate(name, FileDate{}));
    std::vector<std::pair<int, std::set<std::int32_t>>> outcomes;
    notifications.addObserver(NotificationCenter::fullName(notify::kUploadVideoChanged), [&](const Notification& n) {
        outcomes.emplace_back(pmUploadType(n), pmSelectedRows(n));
    });
    const auto choose = [](QWidget* modal, std::initializer_list<int> rows) {
        auto* dialog = static_cast<BackupSelectionDialog*>(modal);
        QTableWidget& table = dialog->table();
        table.clearSelection();
        for (const int row : rows)
            table.selectionModel()->select(table.model()->index(row, 0), QItemSelectionModel::Select | QItemSelectionModel::Rows);
        dialog->okButtonAction();
    };
    bool openOverLimit = false;
    ModalDriver user({[&](QWidget* modal) { choose(modal, {0, 2}); },
                      [&](QWidget* modal) {
                          choose(modal, {0, 2});  // over the limit of one: still open
                          openOverLimit = modal->isVisible();
                          choose(modal, {1});
                      },
                      [&](QWidget* modal) { static_cast<QDialog*>(modal)->reject(); }});
    dialogs.openBackupDlg("Back Up", -1, playlist);
    dialogs.openBackupDlg("Upload", 1, playlist);
    dialogs.openBackupDlg("Back Up", -1, playlist);
    EXPECT_TRUE(user.done());
    EXPECT_TRUE(openOverLimit);
    EXPECT_EQ(outcomes, (std::vector<std::pair<int, std::set<std::int32_t>>>{{2, {0, 2}}, {2, {1}}, {0, {}}}));
}

TEST_F(OutputDialogs, CapturePreviewStacksCameraOneOverCameraTwoAndTheProgressPanelCancels) {
    std::vector<int> saved;
    CapturePreviewDialog dual(solid(Qt::red, {64, 36}), solid(Qt::blue, {32, 24}), [&](int o) { saved.push_back(o); });
    ASSERT_EQ(dual.shownImage().size(), QSize(64, 72));  // camera 2 scaled to camera 1's size
    EXPECT_EQ(dual.shownImage().pixelColor(32, 10), QColor(Qt::red));
    EXPECT_EQ(dual.shownImage().pixelColor(32, 60), QColor(Qt::blue));
    dual.cameraChoice()->press(2);
    dual.findChild<QPushButton*>("saveAsButton")->click();
    EXPECT_EQ(saved, std::vector<int>{2});

    int cancels = 0;
    ProgressPanel panel(3'000'000'000ull, [&] { ++cancels; });  // more bytes than an int holds
    panel.drawProgress(1'500'000'000ull);
    EXPECT_EQ(panel.percentText(), "50 %");
    panel.findChild<QPushButton*>("cancelButton")->click();
    EXPECT_EQ(cancels, 1);
}
