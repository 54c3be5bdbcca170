// The toolbar's outputs in the controller: capture, print, KML export and backup, with fake dialogs,
// fake players and a manual clock; files are really written.
#include "ControllerFixture.h"
#include "Utility/Preferences.h"
#include "Utility/Sha256.h"
#include "Utility/StringTables.h"
#include "Utility/UserFolders.h"
#include "app/ControllerDialogs.h"
#include "support/FakeMoviePlayer.h"
#include "support/ManualScheduler.h"

#include <chrono>
#include <deque>
#include <thread>

namespace {

MovieFrameImage solidFrame(std::uint8_t value) {
    MovieFrameImage frame{4, 2, 16, {}};
    frame.pixels.assign(32, value);
    return frame;
}

// Writes a stand-in clip and report, and keeps the moment it was asked for.
class FakeEvidenceMedia : public EvidenceMedia {
public:
    explicit FakeEvidenceMedia(std::vector<int>& moments) : moments_(moments) {}
    ClipOutcome writeClip(const Clip& clip, const std::function<bool(double)>& progress) override {
        moments_.push_back(clip.moment);
        writeFile(clip.output, "clip");
        // Long enough for Cancel or a closing window to come in between.
        for (int i = 0; i < 200; ++i) {
            if (!progress(i / 200.0)) return {false, true, "", 0, false};
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        }
        return {true, false, "", 0, false};
    }
    bool writeReport(const EvidenceReport&, const std::string& path, std::string&) override {
        writeFile(path, "report");
        return true;
    }

private:
    std::vector<int>& moments_;
};

// The controller with the dialogs played by the test: each keeps what it was asked and gives the
// scripted answer (none left: cancelled); the selection dialog posts its outcome as the real one does.
class Outputs : public ControllerFixture<FakeMoviePlayer, ManualScheduler>, private ControllerDialogs {
protected:
    void startWithDialogs() {
        start([this](AppServices& services, ControllerViews& all) {
            // The fake encoder names what it was given: which frame went into which file.
            services.encodeJpeg = [](const MovieFrameImage& frame, MovieSize size) {
                return std::to_string(size.width) + "x" + std::to_string(size.height) + " of " +
                       std::to_string(frame.pixels[0]);
            };
            services.now = [this] { return wallClock; };
            services.makeEvidenceMedia = [this] { return std::make_unique<FakeEvidenceMedia>(evidenceMoments); };
            services.sharing = sharing;
            all.dialogs = this;
        });
        player1.frame = solidFrame(1);
        player2.frame = solidFrame(2);
    }
    // Ticks the half-second progress timer while a backup or evidence package is made on its own
    // thread, until it ends.
    void runWhile(const std::function<bool()>& running) {
        for (int i = 0; i < 4000 && running(); ++i) {
            clock.advance(0.5);
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
    }

    // 14:30:07.420 on 5 June 2014, local time.
    std::chrono::system_clock::time_point wallClock =
        std::chrono::system_clock::from_time_t(localTime(2014, 6, 5, 14, 30, 7)) + std::chrono::milliseconds(420);
    std::deque<std::optional<std::string>> saveAnswers;
    std::optional<std::string> backupFolder;           // given when the dialog opens on the documents folder
    std::optional<int> captureOption;                  // Save As with this choice; none: Cancel
    std::optional<std::set<std::int32_t>> chosenRows;  // none: Cancel
    std::deque<std::optional<std::string>> evidenceFolders;  // none left: cancelled
    std::vector<std::string> proposedEvidenceNames;
    std::vector<int> evidenceMoments;
    std::function<void()> panelCancel;

    std::vector<SaveFileRequest> saveRequests;
    std::vector<CameraFrames> shownFrames;
    std::vector<PrintRequest> printRequests;
    std::vector<std::pair<std::string, int>> selections;  // title and limit
    std::uint64_t panelTotal = 0, panelShown = 0;
    bool panelOpen = false;
    std::vector<UploadEditorRequest> uploadEditors;

private:
    std::optional<std::string> chooseSaveFile(const SaveFileRequest& request) override {
        saveRequests.push_back(request);
        if (saveAnswers.empty()) return std::nullopt;
        const auto answer = saveAnswers.front();
        saveAnswers.pop_front();
        return answer;
    }
    std::optional<std::string> chooseBackupFolder(const std::string& start) override {
        return start == pmGetDocumentsFolder() ? backupFolder : std::nullopt;
    }
    void runCapturePreview(const CameraFrames& frames, const std::function<void(int)>& saveAs) override {
        shownFrames.push_back(frames);
        if (captureOption) saveAs(*captureOption);
    }
    void runPrintPreview(const PrintRequest& request) override { printRequests.push_back(request); }
    std::optional<std::string> chooseEvidenceFolder(const std::string& start, const std::string& name) override {
        proposedEvidenceNames.push_back(name);
        if (start != pmGetDocumentsFolder() || evidenceFolders.empty()) return std::nullopt;
        const auto answer = evidenceFolders.front();
        evidenceFolders.pop_front();
        return answer;
    }
    void openBackupDlg(const std::string& title, int maxCount, const std::vector<AMediaFile>&) override {
        selections.emplace_back(title, maxCount);
        center.post(chosenRows ? pmSelectionNotification(2, *chosenRows) : pmSelectionNotification(0));
    }
    void showProgressPanel(std::uint64_t total, std::function<void()> onCancel) override {
        panelTotal = total, panelOpen = true;
        panelCancel = std::move(onCancel);
    }
    void updateProgressPanel(std::uint64_t current) override { panelShown = current; }
    void closeProgressPanel() override { panelOpen = false; }
    void showUploadEditor(const UploadEditorRequest& request) override { uploadEditors.push_back(request); }
    void runAboutBox() override {}
    void runLoginDialog(std::int16_t site) override {
        logins.push_back(site);
        if (loginOutcome) center.post(pmLoginNotification(*loginOutcome));
    }

protected:
    SharingServices sharing;
    std::optional<LoginOutcome> loginOutcome;  // none: the user closes the login window
    std::vector<std::int16_t> logins;
};

}  // namespace

TEST_F(Outputs, CaptureNamesComeFromTheMomentOfSavingAndPlaybackResumesOnlyWithoutASave) {
    addCopy("FILE0201.MP4", "FILE0001.MP4", 0);
    startWithDialogs();
    openAndPlay(0);
    const std::string folder = home.path() + "/captures";
    std::filesystem::create_directories(folder);
    pmSaveCaptureFolder(folder);

    // Saved: playback stays paused; the file is the main player's frame at its natural size.
    captureOption = 0;
    saveAnswers = {folder + "/first.jpg"};
    app->onButtonCapture();
    EXPECT_EQ(saveRequests.at(0).folder, folder);
    EXPECT_EQ(readFile(folder + "/first.jpg"), "640x360 of 1");
    EXPECT_EQ(player1.rate(), 0.0f);

    // Again within the same second, from playback: the same name, and the file is replaced.
    app->onButtonPlay();
    player1.frame = solidFrame(9);
    wallClock += std::chrono::milliseconds(500);
    saveAnswers = {folder + "/first.jpg"};
    app->onButtonCapture();
    for (const SaveFileRequest& request : saveRequests) EXPECT_EQ(request.proposedName, "20140605-143007.jpg");
    EXPECT_EQ(readFile(folder + "/first.jpg"), "640x360 of 9");
    EXPECT_EQ(player1.rate(), 0.0f);

    // Cancelled while playing: playback goes on; a capture folder that is gone gives the documents.
    app->onButtonPlay();
    std::filesystem::remove_all(folder);
    captureOption.reset();
    app->onButtonCapture();
    EXPECT_EQ(player1.rate(), 1.0f);
    captureOption = 0;
    app->onButtonCapture();
    EXPECT_EQ(saveRequests.back().folder, home.documents());
    EXPECT_EQ(player1.rate(), 1.0f);  // the save dialog was cancelled: nothing saved
}

TEST_F(Outputs, BothCamerasGiveTwoSaveDialogsInTurnEachWithItsOwnFrameAndBothArePrinted) {
    addCopy("FILE0001F.MP4", "NormalF/FILE0001F.MP4", 0);
    addCopy("FILE0001R.MP4", "NormalR/FILE0001R.MP4", 0);
    startWithDialogs();
    views.doubleClickRow(0);
    player1.load(30.0, {1920, 1080});
    player2.load(30.0, {1280, 720});

    // The choice, the names proposed, each dialog's answer ("": cancelled) and what it wrote.
    const std::tuple<int, std::vector<std::string>, std::vector<std::string>, std::vector<std::string>> cases[] = {
        {3, {"20140605-143007-1.jpg", "20140605-143007-2.jpg"}, {"", "b.jpg"}, {"", "1280x720 of 2"}},
        {2, {"20140605-143007-2.jpg"}, {"c.jpg"}, {"1280x720 of 2"}},
        {1, {"20140605-143007-1.jpg"}, {"d.jpg"}, {"1920x1080 of 1"}},
    };
    for (const auto& [option, names, files, written] : cases) {
        saveRequests.clear();
        captureOption = option;
        for (const std::string& file : files)
            saveAnswers.push_back(file.empty() ? std::nullopt : std::optional(home.path() + "/" + file));
        app->onButtonCapture();
        ASSERT_TRUE(shownFrames.back().hasCamera2());
        ASSERT_EQ(saveRequests.size(), names.size()) << option;
        for (std::size_t i = 0; i < names.size(); ++i) {
            EXPECT_EQ(saveRequests[i].proposedName, names[i]) << option;
            if (!files[i].empty()) { EXPECT_EQ(readFile(home.path() + "/" + files[i]), written[i]) << option; }
        }
    }
    app->onButtonPrint();
    ASSERT_EQ(printRequests.size(), 1u);
    EXPECT_EQ(printRequests[0].frames.camera2.pixels.at(0), 2);
    EXPECT_EQ(printRequests[0].frames.size2.width, 1280);
}

TEST_F(Outputs, KmlExportStoresItsFolderAndReportsAFailure) {
    addCopy("FILE0101.AVI", "FILE0101.AVI", 0);  // positions in chunks behind its index
    startWithDialogs();
    openAndPlay(0);
    const std::string folder = home.path() + "/kml";
    std::filesystem::create_directories(folder);
    saveAnswers = {folder + "/track.kml", home.path() + "/missing/track.kml"};
    app->onButtonExport();
    EXPECT_EQ(readFile(folder + "/track.kml").rfind("<?xml", 0), 0u);
    EXPECT_TRUE(messages.empty());
    app->onButtonExport();
    EXPECT_EQ(saveRequests.at(1).folder, folder);
    EXPECT_EQ(saveRequests.at(1).proposedName, "FILE0101.kml");
    EXPECT_EQ(messages, std::vector<std::string>{pmGetString("IDS_ERR_EXPORT_FAILED")});
}

TEST_F(Outputs, BackupCopiesTheChosenRowsWhileThePanelShowsProgressAndClosingTheWindowCancelsIt) {
    const std::string first = addCopy("FILE0201.MP4", "FILE0001.MP4", 0);
    addCopy("FILE0201.MP4", "FILE0002.MP4", 1);
    const std::string third = addCopy("FILE0201.MP4", "FILE0003.MP4", 2);
    startWithDialogs();
    const std::string out = home.path() + "/out";
    std::filesystem::create_directories(out);

    // Cancelled selection, an empty one, a cancelled folder, a read-only folder: nothing happens.
    app->onButtonBackup();
    chosenRows = std::set<std::int32_t>{};
    app->onButtonBackup();
    chosenRows = std::set<std::int32_t>{0, 2};
    app->onButtonBackup();
    backupFolder = home.path() + "/no-such-folder";
    app->onButtonBackup();
    EXPECT_EQ(messages, std::vector<std::string>{pmGetString("IDS_ERR_FOLDER_READ_ONLY")});
    EXPECT_EQ(selections.at(0), std::pair(pmGetString("IDS_BACKUP"), -1));
    EXPECT_FALSE(panelOpen);

    backupFolder = out;
    app->onButtonBackup();
    ASSERT_TRUE(panelOpen);
    EXPECT_EQ(panelTotal, pmGetFileSize(first) + pmGetFileSize(third));
    EXPECT_FALSE(views.enabledButtons.count(ToolbarView::Backup));
    app->onButtonBackup();  // a second backup cannot start meanwhile
    EXPECT_EQ(selections.size(), 5u);
    runWhile([this] { return app->isBackupRunning(); });
    EXPECT_FALSE(panelOpen);
    EXPECT_EQ(panelShown, panelTotal);
    EXPECT_TRUE(views.enabledButtons.count(ToolbarView::Backup));
    EXPECT_EQ(readFile(out + "/FILE0001.MP4"), readFile(first));
    EXPECT_EQ(readFile(out + "/FILE0003.MP4"), readFile(third));
    EXPECT_FALSE(std::filesystem::exists(out + "/FILE0002.MP4"));

    // Closing the window during a backup cancels it and waits for it: nothing partial is left.
    chosenRows = std::set<std::int32_t>{0, 1, 2};
    app->onButtonBackup();
    ASSERT_TRUE(app->isBackupRunning());
    app->windowWillClose();
    EXPECT_FALSE(app->isBackupRunning());
    EXPECT_FALSE(panelOpen);
    EXPECT_EQ(clock.activeCount(), 0u);  // the progress timer stopped
    for (const auto& entry : std::filesystem::directory_iterator(out))
        EXPECT_EQ(readFile(entry.path()), readFile(card() + "/" + entry.path().filename().string())) << entry.path();
    EXPECT_EQ(messages.size(), 1u);
}

TEST_F(Outputs, EvidenceOfTheCurrentSecondIsMadeBehindThePanelWhichCancelsItAndItsSumsDigestIsShown) {
    addCopy("FILE0201.MP4", "FILE0001.MP4", 0);
    startWithDialogs();
    openAndPlay(0);
    player1.play(7.6);
    const std::string package = home.path() + "/package";
    const auto runToEnd = [this] { runWhile([this] { return app->isEvidenceRunning(); }); };

    app->onButtonEvidence();  // the folder dialog cancelled
    EXPECT_EQ(proposedEvidenceNames.at(0), "FILE0001-evidence-7");
    EXPECT_FALSE(app->isEvidenceRunning());
    EXPECT_EQ(player1.rate(), 0.0f);

    // Cancel on the panel, then closing the window part-way: nothing of the package stays.
    auto namesIn = [](const std::string& folder) {
        std::set<std::string> names;
        for (const auto& entry : std::filesystem::directory_iterator(folder)) names.insert(entry.path().filename());
        return names;
    };
    const std::set<std::string> before = namesIn(home.path());
    const std::size_t timers = clock.activeCount();
    evidenceFolders = {package, package};
    app->onButtonEvidence();
    ASSERT_TRUE(panelOpen);
    EXPECT_EQ(panelTotal, 1000u);
    EXPECT_FALSE(views.enabledButtons.count(ToolbarView::Evidence));
    panelCancel();
    runToEnd();
    app->onButtonEvidence();
    ASSERT_TRUE(app->isEvidenceRunning());
    app->windowWillClose();
    EXPECT_FALSE(app->isEvidenceRunning());
    EXPECT_EQ(clock.activeCount(), timers);  // the progress timer stopped
    EXPECT_EQ(namesIn(home.path()), before);
    EXPECT_TRUE(messages.empty());

    evidenceFolders = {package, package};
    app->onButtonEvidence();
    runToEnd();
    EXPECT_FALSE(panelOpen);
    EXPECT_EQ(panelShown, 1000u);
    EXPECT_TRUE(views.enabledButtons.count(ToolbarView::Evidence));
    ASSERT_FALSE(evidenceMoments.empty());
    EXPECT_EQ(evidenceMoments.back(), 7);
    const std::string sums = readFile(package + "/SHA256SUMS");
    ASSERT_FALSE(sums.empty());
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_NE(messages[0].find(pmSha256Hex(sums)), std::string::npos) << messages[0];
    app->onButtonEvidence();  // the same folder again: refused
    runToEnd();
    ASSERT_EQ(messages.size(), 2u);
    EXPECT_NE(messages[1].find("already exists"), std::string::npos) << messages[1];
}

// The upload buttons up to the choice of recordings: the unconfigured service, no network, a closed
// login window (no longer listened to), a refusal, then at most 10 recordings for the upload editor,
// which gets their paths in playlist order, a row that is gone left out.
TEST_F(Outputs, UploadButtonsSignInFirstThenOfferTheSelectionForUpload) {
    struct Network : Connectivity {
        bool isInternetConnected() override { return online; }
        void checkInBackground(std::function<void(bool)>) override {}
        bool online = false;
    } network;
    connectivity = &network;
    const std::string first = addCopy("FILE0201.MP4", "FILE0001.MP4", 0);
    const std::string third = addCopy("FILE0201.MP4", "FILE0003.MP4", 2);
    sharing.youtube = {"", "", "", "123456789012-abcdefghijklmnopqrstuvwxyz012345.apps.googleusercontent.com",
                       "abcdefghijklmnopqrstuvwx", true};
    startWithDialogs();
    app->onButtonUploadFacebook();
    app->onButtonUploadYouTube();
    ASSERT_EQ(messages.size(), 2u);
    EXPECT_NE(messages[0].find("(facebook.appId) into " + pmServicesConfigPath()), std::string::npos) << messages[0];
    EXPECT_EQ(messages[1], pmGetString("IDS_ERR_NO_INTERNET"));

    network.online = true;
    app->onButtonUploadYouTube();                  // the window is closed: no outcome
    center.post(pmSelectionNotification(2, {0}));  // nobody listens any more
    loginOutcome = LoginOutcome{0, "", ""};        // refused at the service
    app->onButtonUploadYouTube();
    EXPECT_FALSE(logged("editUploadVideos start"));
    loginOutcome = LoginOutcome{1, "", "4%2F0Ad&scope=x"};
    chosenRows = std::set<std::int32_t>{0};
    app->onButtonUploadYouTube();
    EXPECT_EQ(logins, (std::vector<std::int16_t>{3, 3, 3}));
    EXPECT_EQ(selections, (std::vector<std::pair<std::string, int>>{{pmGetString("IDS_UPLOAD_YOUTUBE"), 10}}));
    EXPECT_TRUE(logged("editUploadVideos start - upload to YouTube V3 !"));
    app->editUploadVideos({7, 1, 0});
    ASSERT_EQ(uploadEditors.size(), 2u);
    EXPECT_EQ(uploadEditors[0].paths, std::vector<std::string>{first});
    EXPECT_EQ(uploadEditors[1].paths, (std::vector<std::string>{first, third}));
}
