#pragma once
#include "app/AppDelegate.h"
#include "CountingMessageBoxes.h"
#include "FakeViews.h"
#include "Utility/DiagnosticLog.h"
#include "support/ContainerBuilder.h"
#include "support/FakeMoviePlayer.h"
#include "support/ManualScheduler.h"
#include "support/TempHome.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <filesystem>
#include <memory>

// A controller on fake views, fake players and a manual clock, over a card of small but valid
// recordings written into a temporary home.
class ControllerTest : public ::testing::Test {
public:
    ControllerTest() : views(center) { pmSetMessageBoxPresenter(&messages); }
    ~ControllerTest() override { pmSetMessageBoxPresenter(nullptr); }

    std::string card() const { return home.path() + "/card"; }

    // Writes a playable MP4 at `relative` under the card, dated `minute` minutes after 08:00.
    std::string addRecording(const std::string& relative, int minute) {
        const std::string path = card() + "/" + relative;
        std::filesystem::create_directories(std::filesystem::path(path).parent_path());
        EXPECT_TRUE(containers::writeImage(path, containers::mp4Image()));
        EXPECT_TRUE(setLocalFileTime(path, 2026, 11, 14, 8, minute));
        return path;
    }

    void start() {
        AppServices services{.notifications = center,
                             .scheduler = clock,
                             .player1 = player1,
                             .player2 = player2,
                             .folderWatch = nullptr,
                             .connectivity = connectivity,
                             .openAddress = {},
                             .chooseFolder = {},
                             .runInBackground = {}};
        app = std::make_unique<AppDelegate>(services, views.all());
        app->applicationWillFinishLaunching();
        app->applicationDidFinishLaunching(card());
    }

    // Opens playlist row `row` by double click and lets the player(s) report ready.
    void openAndPlay(int row, double duration = 30.0) {
        views.doubleClickRow(row);
        player1.load(duration);
        player1.deliverNotifications();
    }

    std::string log() const { return readFile(pmLogFilePath()); }

    TempHome home;
    NotificationCenter center;
    ManualScheduler clock;
    FakeMoviePlayer player1, player2;
    FakeViews views;
    CountingMessageBoxes messages;
    Connectivity* connectivity = nullptr;  // none: the start logs "not connected" at once
    std::unique_ptr<AppDelegate> app;
};
