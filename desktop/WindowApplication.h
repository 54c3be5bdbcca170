#pragma once
#include "WaitingWindow/WaitingWindow.h"
#include "app/AppDelegate.h"
#include "app/NotificationCenter.h"
#include "interfaces/Workspace.h"
#include "platform/InotifyFolderWatch.h"
#include "platform/LogindWorkspace.h"
#include "Utility/Reachability.h"
#include "Utility/ServicesConfig.h"
#include "platform/MpvMoviePlayer.h"
#include "platform/NetworkConnectivity.h"
#include "platform/QtHttpClient.h"
#include "platform/QtMessageBoxPresenter.h"
#include "platform/QtScheduler.h"
#include "platform/VideoFramePacer.h"
#include "views/MainWindow.h"
#include "views/QtControllerDialogs.h"

#include <memory>
#include <string>

class MpvVideoView;

// The window program put together: the main window and its views, the two libmpv players drawing
// into the movie views (in software or with OpenGL, chosen at start), Qt's timers, the inotify folder watch, the message box, the waiting window,
// sleep and wake from logind, and the controller that drives them. A QApplication must exist.
class WindowApplication : private Workspace::SleepObserver {
public:
    struct Options {
        // Empty picks the system's sound output; "null" plays silently (tests).
        std::string audioOutput;
        // Said once in the diagnostic log after the start (the console has had it already).
        std::string startNotice{};
        // Where the connectivity check looks for a default route.
        RouteTables routes{};
    };

    explicit WindowApplication(Options options);
    ~WindowApplication() override;
    WindowApplication(const WindowApplication&) = delete;
    WindowApplication& operator=(const WindowApplication&) = delete;

    // Starts the controller, scans `folder` (the stored folder when empty; a folder given here is
    // scanned for this run only) and shows the window.
    void start(const std::string& folder);

    MainWindow& window() { return window_; }
    AppDelegate& controller() { return *controller_; }
    MpvMoviePlayer& player1() { return player1_; }
    MpvMoviePlayer& player2() { return player2_; }
    MpvVideoView& video1() { return *video1_; }
    MpvVideoView& video2() { return *video2_; }
    QtControllerDialogs& dialogs() { return dialogs_; }

private:
    void workspaceWillSleep() override;
    void workspaceDidWake() override;
    void becameActive();

    Options options_;
    ServicesConfigLoad services_;
    NotificationCenter notifications_;
    QtScheduler scheduler_;
    QtHttpClient http_;
    NetworkConnectivity connectivity_;
    InotifyFolderWatch folderWatch_;
    LogindWorkspace workspace_;
    MpvMoviePlayer player1_;
    MpvMoviePlayer player2_;
    VideoFramePacer pacer_;  // shared by the two views, so that their frames show together
    MainWindow window_;
    QtControllerDialogs dialogs_;
    MpvVideoView* video1_;
    MpvVideoView* video2_;
    QtMessageBoxPresenter messageBoxes_;
    WaitingWindow waiting_;
    std::unique_ptr<AppDelegate> controller_;
};
