// The toolbar's outputs in the whole window on the sample card, with real libmpv and the real Qt
// dialogs played by the test: KML export, frame capture and the print preview.
#include "desktop/WindowApplication.h"
#include "support/GraphicsDrivers.h"
#include "support/MemoryPreferences.h"
#include "support/ModalDriver.h"
#include "support/QtWait.h"
#include "support/SampleCardFixture.h"
#include "support/Screenshot.h"
#include "support/TempHome.h"
#include "views/CapturePreviewDialog.h"
#include "views/PrintPreviewDialog.h"
#include "views/RecordingListWidget.h"
#include "views/ToolbarWidget.h"
#include "views/ViewStyle.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QFileDialog>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTest>

#include <clocale>
#include <regex>

namespace {

int gArgc = 1;
char gName[] = "desktop_tests";
char* gArgv[] = {gName, nullptr};

class OutputsWindow : public ::testing::Test {
protected:
    OutputsWindow() {
        std::setlocale(LC_NUMERIC, "C");
        store_.values["LANGUAGE_ID"] = 0;
        QApplication::setAttribute(Qt::AA_DontUseNativeDialogs);
        program_ = std::make_unique<WindowApplication>(WindowApplication::Options{"null"});
        program_->start(sampleCardFolder());
        spinFor(0.3);
    }

    // Plays the rows of the list in turn until one has positions (its Export button comes on).
    bool playRecordingWithPositions() {
        RecordingListWidget& list = program_->window().recordingList();
        QAction* exportAction = program_->window().toolbar().outputAction(ToolbarView::Export);
        for (int row = 0; row < list.rowCount(); ++row) {
            QListWidget& rows = list.list();
            const QPoint at = rows.visualItemRect(rows.item(row)).center();
            QTest::mouseClick(rows.viewport(), Qt::LeftButton, {}, at);
            QTest::mouseDClick(rows.viewport(), Qt::LeftButton, {}, at);
            const bool playing = spinUntil([&] {
                return program_->player1().path() == rows.item(row)->toolTip().toStdString() &&
                       program_->player1().currentTime() > 1.0;
            });
            if (playing && exportAction->isEnabled()) return true;
        }
        return false;
    }

    // The name a save dialog proposes and its folder.
    static std::pair<std::string, std::string> proposal(QWidget* modal) {
        auto* dialog = qobject_cast<QFileDialog*>(modal);
        if (!dialog || dialog->selectedFiles().isEmpty()) return {};
        const QString file = dialog->selectedFiles().first();
        return {QFileInfo(file).fileName().toStdString(), dialog->directory().absolutePath().toStdString()};
    }

    // Answers a save dialog with a file of the test's own.
    static void saveAs(QWidget* modal, const std::string& path) {
        auto* dialog = static_cast<QFileDialog*>(modal);
        dialog->setDirectory(QString::fromStdString(std::filesystem::path(path).parent_path().string()));
        // Typed into the name field, as a user would.
        auto* name = dialog->findChild<QLineEdit*>("fileNameEdit");
        ASSERT_NE(name, nullptr);
        name->setText(QString::fromStdString(std::filesystem::path(path).filename().string()));
        static_cast<QDialog*>(dialog)->accept();
    }

    QApplication application_{gArgc, gArgv};
    TempHome home_;
    MemoryPreferences store_;
    std::unique_ptr<WindowApplication> program_;
};

}  // namespace

TEST_F(OutputsWindow, KmlExportCaptureAndPrintOfTheOpenRecording) {
    ASSERT_TRUE(playRecordingWithPositions()) << "no recording with positions on the newest day";
    keepGraphicsDriversLoaded();
    ToolbarWidget& toolbar = program_->window().toolbar();
    const std::string recording = program_->player1().path();
    const std::string title = std::filesystem::path(recording).stem().string();

    // Export: the recording's name with .kml in the documents folder; the document is written.
    std::pair<std::string, std::string> proposed;
    const std::string kml = home_.path() + "/exports/track.kml";
    std::filesystem::create_directories(home_.path() + "/exports");
    {
        ModalDriver user({[&](QWidget* modal) {
            proposed = proposal(modal);
            saveAs(modal, kml);
        }});
        toolbar.outputAction(ToolbarView::Export)->trigger();
        EXPECT_TRUE(user.done());
    }
    EXPECT_EQ(proposed.first, title + ".kml");
    EXPECT_EQ(proposed.second, home_.documents());
    const std::string document = readFile(kml);
    EXPECT_NE(document.find("<name><![CDATA[track.kml]]></name>"), std::string::npos) << document.substr(0, 400);
    EXPECT_EQ(program_->player1().rate(), 0.0f);

    // Capture: Save As in the preview, then the save dialog with the time's name; the JPEG is the
    // player's own frame at the recording's size.
    const std::string jpeg = home_.path() + "/captures/frame.jpg";
    std::filesystem::create_directories(home_.path() + "/captures");
    QImage preview;
    {
        ModalDriver user({[&](QWidget* modal) {
                              auto* dialog = qobject_cast<CapturePreviewDialog*>(modal);
                              ASSERT_NE(dialog, nullptr);
                              preview = dialog->shownImage();
                              saveScreenshot(*dialog, "whole-window-capture-preview");
                              dialog->findChild<QPushButton*>("saveAsButton")->click();
                          },
                          [&](QWidget* modal) {
                              proposed = proposal(modal);
                              saveAs(modal, jpeg);
                          }});
        toolbar.outputAction(ToolbarView::Capture)->trigger();
        EXPECT_TRUE(user.done());
    }
    EXPECT_TRUE(std::regex_match(proposed.first, std::regex(R"(\d{8}-\d{6}\.jpg)"))) << proposed.first;
    const MovieSize size = program_->player1().naturalSize();
    const QImage saved(QString::fromStdString(jpeg));
    ASSERT_FALSE(saved.isNull()) << jpeg;
    EXPECT_EQ(saved.size(), QSize(size.width, size.height));
    EXPECT_EQ(preview.size(), saved.size());

    // Print: the preview shows the page with the frame; Cancel closes it.
    {
        ModalDriver user({[&](QWidget* modal) {
            auto* dialog = qobject_cast<PrintPreviewDialog*>(modal);
            ASSERT_NE(dialog, nullptr);
            EXPECT_EQ(dialog->canvasView().content().camera1.size(), saved.size());
            EXPECT_FALSE(dialog->canvasView().content().graph.isNull());
            saveScreenshot(*dialog, "whole-window-print-preview");
            dialog->reject();
        }});
        toolbar.outputAction(ToolbarView::Print)->trigger();
        EXPECT_TRUE(user.done());
    }
}
