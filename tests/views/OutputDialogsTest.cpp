// The outputs' widgets: the printed page on a PDF (read back as a picture and as text), the save
// dialog's replace question, the selection dialog's outcome, the capture preview and the toolbar's
// output buttons.
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
#include "views/ToolbarWidget.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QMessageBox>
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

QPoint centre(const PrintRect& r) { return {r.x + r.width / 2, r.y + r.height / 2}; }

bool near(QColor a, QColor b) {
    return std::abs(a.red() - b.red()) < 40 && std::abs(a.green() - b.green()) < 40 && std::abs(a.blue() - b.blue()) < 40;
}

using OutputDialogs = ViewTest;

}  // namespace

TEST_F(OutputDialogs, ThePrintedPageOnAPdfHoldsTheFramesTheGraphAndTheValues) {
    GpsData sample;
    sample.setFLatitude(48.25f);
    sample.setFLongitude(11.5f);
    sample.setFSpeed(100.0f);
    sample.setFDirection(90.0f);
    sample.setDAltitude(70000.0);
    struct Case {
        int option;
        QColor first, second;  // what the two video places show
    };
    const Case cases[] = {{kPrintBothCameras, Qt::red, Qt::blue}, {kPrintCamera2, Qt::blue, Qt::blue},
                          {kPrintSingleCamera, Qt::red, Qt::red}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.option);
        PrintPageContent content{solid(Qt::red, {640, 360}), solid(Qt::blue, {320, 240}), solid(Qt::green, {340, 215}),
                                 c.option, pmPrintTexts(&sample, 1, {2024, 5, 1}), false};
        const QString pdf = QString::fromStdString(home.path()) + "/page.pdf";
        QPrinter printer(QPrinter::HighResolution);
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(pdf);
        printer.setPageSize(QPageSize(QPageSize::A4));
        ASSERT_TRUE(pmPrintPage(printer, content));

        const std::string png = std::string(CARTENA_BUILD_DIR) + "/screenshots/print-page-option-" + std::to_string(c.option);
        std::filesystem::create_directories(std::string(CARTENA_BUILD_DIR) + "/screenshots");
        const auto raster = runCommand({"pdftoppm", "-r", "72", "-png", "-singlefile", pdf.toStdString(), png});
        ASSERT_EQ(raster.exitCode, 0) << raster.err;
        const QImage page(QString::fromStdString(png + ".png"));
        ASSERT_EQ(page.size(), QSize(595, 842));
        const PrintLayout layout = pmPrintLayout(595, 842, c.option, {640, 360}, {320, 240});
        EXPECT_TRUE(near(page.pixelColor(centre(layout.rectVideo)), c.first)) << page.pixelColor(centre(layout.rectVideo)).name().toStdString();
        EXPECT_TRUE(near(page.pixelColor(centre(layout.rectVideo2)), c.second));
        EXPECT_TRUE(near(page.pixelColor(centre(layout.rectGSensor)), Qt::green));
        EXPECT_TRUE(near(page.pixelColor(3, 3), Qt::white));

        const auto text = runCommand({"pdftotext", "-layout", pdf.toStdString(), "-"});
        ASSERT_EQ(text.exitCode, 0) << text.err;
        for (const char* expected : {"Heading :", "E 90°", "11.50000°", "48.25000°", "62 mph", "Print Date : 2024/05/01"})
            EXPECT_NE(text.out.find(expected), std::string::npos) << expected << "\n" << text.out;
        EXPECT_EQ(text.out.find(" m\n"), std::string::npos) << "an altitude of 70000 m or more prints -";
    }
}

TEST_F(OutputDialogs, SavingOverAFileAsksFirstAndTheSelectionPostsItsRows) {
    QApplication::setAttribute(Qt::AA_DontUseNativeDialogs);
    MainWindow window(notifications);
    QtControllerDialogs dialogs(window, notifications);
    const std::string folder = home.path() + "/captures";
    std::filesystem::create_directories(folder);
    ASSERT_TRUE(writeFile(folder + "/20140605-143007.jpg", "earlier"));

    QString question;
    ModalDriver user({[](QWidget* modal) { static_cast<QDialog*>(modal)->accept(); },  // QFileDialog::accept, virtually
                      [&](QWidget* modal) {
                          auto* box = qobject_cast<QMessageBox*>(modal);
                          ASSERT_NE(box, nullptr);
                          question = box->text();
                          box->button(QMessageBox::Yes)->click();
                      }});
    const auto chosen = dialogs.chooseSaveFile({folder, "20140605-143007.jpg", "jpg"});
    EXPECT_TRUE(user.done());
    EXPECT_TRUE(question.contains("20140605-143007.jpg")) << question.toStdString();
    EXPECT_EQ(chosen, folder + "/20140605-143007.jpg");

    // The selection dialog: rows 0 and 2 chosen; with a limit of one, OK says so and stays open.
    std::vector<AMediaFile> playlist;
    for (const char* name : {"/c/FILE0001.MP4", "/c/FILE0002.MP4", "/c/FILE0003.MP4"})
        playlist.push_back(AMediaFile::mediaFileWithURLDate(name, FileDate{}));
    std::vector<std::set<std::int32_t>> posted;
    notifications.addObserver(NotificationCenter::fullName(notify::kUploadVideoChanged), [&](const Notification& n) {
        posted.push_back(pmSelectedRows(n));
        EXPECT_EQ(pmUploadType(n), 2);
    });
    int openForLimit = 0;
    auto choose = [](QWidget* modal, std::initializer_list<int> rows) {
        auto* dialog = static_cast<BackupSelectionDialog*>(modal);
        QTableWidget& table = dialog->table();
        table.clearSelection();
        for (const int row : rows)
            table.selectionModel()->select(table.model()->index(row, 0),
                                           QItemSelectionModel::Select | QItemSelectionModel::Rows);
        dialog->okButtonAction();
    };
    ModalDriver picker({[&](QWidget* modal) { choose(modal, {0, 2}); },
                        [&](QWidget* modal) {
                            choose(modal, {0, 2});  // over the limit: still open
                            openForLimit = modal->isVisible();
                            choose(modal, {1});
                        }});
    dialogs.openBackupDlg("Back Up", -1, playlist);
    dialogs.openBackupDlg("Upload", 1, playlist);
    EXPECT_EQ(openForLimit, 1);
    EXPECT_EQ(posted, (std::vector<std::set<std::int32_t>>{{0, 2}, {1}}));
}

TEST_F(OutputDialogs, CapturePreviewStacksCameraOneOverCameraTwoAndThePanelCancels) {
    std::vector<int> saved;
    CapturePreviewDialog dual(solid(Qt::red, {64, 36}), solid(Qt::blue, {32, 24}), [&](int o) { saved.push_back(o); });
    ASSERT_EQ(dual.shownImage().size(), QSize(64, 72));  // both, camera 2 scaled to camera 1's size
    EXPECT_EQ(dual.shownImage().pixelColor(32, 10), QColor(Qt::red));
    EXPECT_EQ(dual.shownImage().pixelColor(32, 60), QColor(Qt::blue));
    dual.cameraChoice()->press(2);
    dual.findChild<QPushButton*>("saveAsButton")->click();
    EXPECT_EQ(saved, std::vector<int>{2});

    int cancels = 0;
    ProgressPanel panel(3'000'000'000ull, [&] { ++cancels; });
    panel.drawProgress(1'500'000'000ull);
    EXPECT_EQ(panel.percentText(), "50 %");
    panel.findChild<QPushButton*>("cancelButton")->click();
    panel.finish();
    EXPECT_EQ(cancels, 1);
}

TEST_F(OutputDialogs, TheToolbarOffersTheOutputsAfterOpenAndCallsTheirHandlers) {
    ToolbarWidget toolbar;
    QStringList order;
    for (QAction* action : toolbar.actions())
        if (!action->objectName().isEmpty()) order << action->objectName();
    EXPECT_EQ(order, (QStringList{"openAction", "printAction", "backupAction", "captureAction", "exportAction",
                                  "windowSwitchAction"}));
    std::vector<ToolbarView::Button> pressed;
    for (const auto button : {ToolbarView::Print, ToolbarView::Backup, ToolbarView::Capture, ToolbarView::Export}) {
        toolbar.setOutputHandler(button, [&pressed, button] { pressed.push_back(button); });
        QAction* action = toolbar.outputAction(button);
        EXPECT_FALSE(action->isEnabled());
        action->trigger();  // disabled: nothing
        toolbar.setButtonEnabled(button, true);
        action->trigger();
    }
    EXPECT_EQ(pressed, (std::vector<ToolbarView::Button>{ToolbarView::Print, ToolbarView::Backup,
                                                         ToolbarView::Capture, ToolbarView::Export}));
    toolbar.resize(900, 40);
    toolbar.show();
    ViewTest::shoot(toolbar, "toolbar-outputs");
}
