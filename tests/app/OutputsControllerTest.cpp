// The toolbar's outputs in the controller: capture, print, KML export, backup and the about box,
// with fake dialogs, fake players and a manual clock; files are really written.
#include "ControllerFixture.h"
#include "FakeDialogs.h"
#include "Utility/Preferences.h"
#include "Utility/StringTables.h"
#include "outputs/ExportFile.h"
#include "support/FakeMoviePlayer.h"
#include "support/ManualScheduler.h"

#include <chrono>
#include <thread>

namespace {

MovieFrameImage solidFrame(std::uint8_t value) {
    MovieFrameImage frame{4, 2, 16, {}};
    frame.pixels.assign(32, value);
    return frame;
}

// The fake encoder names what it was given, so that a test sees which frame went into which file.
std::string describe(const MovieFrameImage& frame, MovieSize size) {
    return std::to_string(size.width) + "x" + std::to_string(size.height) + " of " + std::to_string(frame.pixels[0]);
}

}  // namespace

class OutputsControllerTest : public ControllerFixture<FakeMoviePlayer, ManualScheduler> {
protected:
    void startWithDialogs() {
        start([this](AppServices& services, ControllerViews& all) {
            services.encodeJpeg = describe;
            services.now = [this] { return wallClock; };
            all.dialogs = &dialogs;
        });
        player1.frame = solidFrame(1);
        player2.frame = solidFrame(2);
    }

    // 14:30:07 on 5 June 2014, local time, with some milliseconds.
    static std::chrono::system_clock::time_point june5() {
        std::tm local{};
        local.tm_year = 114, local.tm_mon = 5, local.tm_mday = 5, local.tm_hour = 14, local.tm_min = 30,
        local.tm_sec = 7, local.tm_isdst = -1;
        return std::chrono::system_clock::from_time_t(std::mktime(&local)) + std::chrono::milliseconds(420);
    }

    // Lets the backup's thread run while the half-second timer ticks, until the panel closes.
    void tickUntilBackupEnds() {
        for (int i = 0; i < 2000 && app->isBackupRunning(); ++i) {
            clock.advance(0.5);
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
    }

    FakeDialogs dialogs{center};
    std::chrono::system_clock::time_point wallClock = june5();
};

TEST_F(OutputsControllerTest, CaptureNamesComeFromTheMomentOfSavingAndPlaybackResumesOnlyWithoutASave) {
    addCopy("FILE0201.MP4", "FILE0001.MP4", 0);
    startWithDialogs();
    openAndPlay(0);
    const std::string folder = home.path() + "/captures";
    std::filesystem::create_directories(folder);
    pmSaveCaptureFolder(folder);

    // Saved: playback stays paused; the file is the main player's frame at its natural size.
    dialogs.captureOption = 0;
    dialogs.saveAnswers = {folder + "/first.jpg"};
    app->onButtonCapture();
    ASSERT_EQ(dialogs.saveRequests.size(), 1u);
    EXPECT_EQ(dialogs.saveRequests[0].folder, folder);
    EXPECT_EQ(dialogs.saveRequests[0].proposedName, "20140605-143007.jpg");
    EXPECT_EQ(readFile(folder + "/first.jpg"), "640x360 of 1");
    EXPECT_EQ(player1.rate(), 0.0f);

    // Again within the same second, from playback: the same name, and the file is replaced.
    app->onButtonPlay();
    player1.frame = solidFrame(9);
    wallClock += std::chrono::milliseconds(500);
    dialogs.saveAnswers = {folder + "/first.jpg"};
    app->onButtonCapture();
    EXPECT_EQ(dialogs.saveRequests[1].proposedName, "20140605-143007.jpg");
    EXPECT_EQ(readFile(folder + "/first.jpg"), "640x360 of 9");
    EXPECT_EQ(player1.rate(), 0.0f);

    // Cancelled while playing: playback goes on; a capture folder that is gone gives the documents.
    app->onButtonPlay();
    std::filesystem::remove_all(folder);
    dialogs.captureOption.reset();
    app->onButtonCapture();
    EXPECT_EQ(player1.rate(), 1.0f);
    dialogs.captureOption = 0;
    app->onButtonCapture();
    EXPECT_EQ(dialogs.saveRequests.back().folder, home.documents());
    EXPECT_EQ(player1.rate(), 1.0f);  // the save dialog was cancelled: nothing saved
}

TEST_F(OutputsControllerTest, BothCamerasGiveTwoSaveDialogsInTurnEachWithItsOwnFrame) {
    addCopy("FILE0001F.MP4", "NormalF/FILE0001F.MP4", 0);
    addCopy("FILE0001R.MP4", "NormalR/FILE0001R.MP4", 0);
    startWithDialogs();
    views.doubleClickRow(0);
    player1.load(30.0, {1920, 1080});
    player2.load(30.0, {1280, 720});

    struct Case {
        int option;
        std::vector<std::string> names;
        std::vector<std::string> files;  // what each dialog was answered: a file name, or "" (cancelled)
        std::vector<std::string> written;
    };
    const Case cases[] = {
        {3, {"20140605-143007-1.jpg", "20140605-143007-2.jpg"}, {"", "b.jpg"}, {"", "1280x720 of 2"}},
        {2, {"20140605-143007-2.jpg"}, {"c.jpg"}, {"1280x720 of 2"}},
        {1, {"20140605-143007-1.jpg"}, {"d.jpg"}, {"1920x1080 of 1"}},
    };
    for (const Case& c : cases) {
        dialogs.saveRequests.clear();
        dialogs.captureOption = c.option;
        for (const std::string& file : c.files)
            dialogs.saveAnswers.push_back(file.empty() ? std::nullopt : std::optional(home.path() + "/" + file));
        app->onButtonCapture();
        ASSERT_TRUE(dialogs.shownFrames.back().hasCamera2());
        ASSERT_EQ(dialogs.saveRequests.size(), c.names.size()) << c.option;
        for (std::size_t i = 0; i < c.names.size(); ++i) {
            EXPECT_EQ(dialogs.saveRequests[i].proposedName, c.names[i]) << c.option;
            if (!c.files[i].empty()) EXPECT_EQ(readFile(home.path() + "/" + c.files[i]), c.written[i]) << c.option;
        }
    }
}

TEST_F(OutputsControllerTest, KmlExportProposesTheRecordingsNameAndReportsAFailure) {
    addCopy("FILE0201.MP4", "FILE0001.MP4", 0);
    addCopy("FILE0101.AVI", "FILE0101.AVI", 1);  // positions in chunks behind its index
    startWithDialogs();
    openAndPlay(0);
    app->onButtonExport();  // no positions: no dialog
    EXPECT_TRUE(dialogs.saveRequests.empty());

    openAndPlay(1);
    ASSERT_TRUE(app->gpsList().IsGPSReady());
    const std::string folder = home.path() + "/kml";
    std::filesystem::create_directories(folder);
    dialogs.saveAnswers = {folder + "/track.kml", home.path() + "/missing/track.kml"};
    app->onButtonExport();
    ASSERT_EQ(dialogs.saveRequests.size(), 1u);
    EXPECT_EQ(dialogs.saveRequests[0].folder, home.documents());
    EXPECT_EQ(dialogs.saveRequests[0].proposedName, "FILE0101.kml");
    EXPECT_EQ(readFile(folder + "/track.kml").rfind("<?xml", 0), 0u);
    EXPECT_EQ(pmGetExportFolder(), folder);
    EXPECT_EQ(player1.rate(), 0.0f);
    EXPECT_TRUE(messages.empty());

    app->onButtonExport();
    EXPECT_EQ(dialogs.saveRequests[1].folder, folder);
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0], pmGetString("IDS_ERR_EXPORT_FAILED"));
}

TEST_F(OutputsControllerTest, PrintShowsTheCurrentSecondAndOnlyWithARecordingOpen) {
    addCopy("FILE0201.MP4", "FILE0001.MP4", 0);
    startWithDialogs();
    app->onButtonPrint();
    EXPECT_TRUE(dialogs.printRequests.empty());
    openAndPlay(0);
    app->onButtonPrint();
    ASSERT_EQ(dialogs.printRequests.size(), 1u);
    EXPECT_EQ(dialogs.printRequests[0].frames.camera1.pixels[0], 1);
    EXPECT_FALSE(dialogs.printRequests[0].frames.hasCamera2());
    EXPECT_FALSE(dialogs.printRequests[0].sample.has_value());  // no telemetry
    EXPECT_EQ(player1.rate(), 0.0f);
    EXPECT_NE(log().find("printPreview Start"), std::string::npos);
    app->aboutMenuItemClicked();
    EXPECT_EQ(dialogs.aboutBoxes, 1);
    EXPECT_NE(log().find("onMenuAbout !"), std::string::npos);
}

TEST_F(OutputsControllerTest, BackupCopiesTheChosenRowsWhileThePanelShowsProgress) {
    const std::string first = addCopy("FILE0201.MP4", "FILE0001.MP4", 0);
    addCopy("FILE0201.MP4", "FILE0002.MP4", 1);
    const std::string third = addCopy("FILE0201.MP4", "FILE0003.MP4", 2);
    startWithDialogs();
    const std::string out = home.path() + "/out";
    std::filesystem::create_directories(out);

    // Cancelled selection, an empty one, a cancelled folder, a read-only folder: nothing happens.
    app->onButtonBackup();
    dialogs.chosenRows = std::set<std::int32_t>{};
    app->onButtonBackup();
    dialogs.chosenRows = std::set<std::int32_t>{0, 2};
    app->onButtonBackup();
    EXPECT_EQ(dialogs.folderStarts, std::vector<std::string>{home.documents()});
    dialogs.backupFolder = home.path() + "/no-such-folder";
    app->onButtonBackup();
    EXPECT_EQ(messages, std::vector<std::string>{pmGetString("IDS_ERR_FOLDER_READ_ONLY")});
    ASSERT_EQ(dialogs.selectionDialogs.size(), 4u);
    EXPECT_EQ(dialogs.selectionDialogs[0].title, pmGetString("IDS_BACKUP"));
    EXPECT_EQ(dialogs.selectionDialogs[0].maxCount, -1);
    EXPECT_FALSE(dialogs.panelOpen);

    dialogs.backupFolder = out;
    app->onButtonBackup();
    ASSERT_TRUE(dialogs.panelOpen);
    EXPECT_EQ(dialogs.panelTotal, pmGetFileSize(first) + pmGetFileSize(third));
    EXPECT_FALSE(views.enabledButtons.count(ToolbarView::Backup));
    app->onButtonBackup();  // a second backup cannot start meanwhile
    EXPECT_EQ(dialogs.selectionDialogs.size(), 5u);
    tickUntilBackupEnds();
    EXPECT_FALSE(dialogs.panelOpen);
    ASSERT_FALSE(dialogs.panelUpdates.empty());
    EXPECT_EQ(dialogs.panelUpdates.back(), dialogs.panelTotal);
    EXPECT_TRUE(views.enabledButtons.count(ToolbarView::Backup));
    EXPECT_EQ(readFile(out + "/FILE0001.MP4"), readFile(first));
    EXPECT_EQ(readFile(out + "/FILE0003.MP4"), readFile(third));
    EXPECT_FALSE(std::filesystem::exists(out + "/FILE0002.MP4"));

    // Closing the window during a backup cancels it and waits for it: nothing partial is left.
    dialogs.chosenRows = std::set<std::int32_t>{0, 1, 2};
    app->onButtonBackup();
    ASSERT_TRUE(app->isBackupRunning());
    app->windowWillClose();
    EXPECT_FALSE(app->isBackupRunning());
    EXPECT_FALSE(dialogs.panelOpen);
    EXPECT_EQ(clock.activeCount(), 0u);  // the progress timer stopped
    for (const auto& entry : std::filesystem::directory_iterator(out))
        EXPECT_EQ(readFile(entry.path()), readFile(card() + "/" + entry.path().filename().string())) << entry.path();
    EXPECT_EQ(messages.size(), 1u);
}

TEST(SelectionNotification, RowsTravelAsDecimalTextInAscendingOrder) {
    const Notification n = pmSelectionNotification(2, {4, 0, 3});
    EXPECT_EQ(n.userInfo.at("SELECTED_ROWS"), "0,3,4");
    EXPECT_EQ(n.object, 3);
    const Notification odd{"", 0, {{"UPLOAD_TYPE", "2x"}, {"SELECTED_ROWS", "1,x,-2,,5"}}};
    EXPECT_EQ(pmUploadType(odd), -1);
    EXPECT_EQ(pmSelectedRows(odd), (std::set<std::int32_t>{1, 5}));
}
