#pragma once
#include "FakeViews.h"
#include "Utility/DiagnosticLog.h"
#include "Utility/MessageBox.h"
#include "Utility/WaitingIndicator.h"
#include "app/AppDelegate.h"
#include "support/SampleCardFixture.h"
#include "support/TempHome.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <filesystem>
#include <functional>
#include <memory>
#include <sstream>

// The controller on fake views, over a card of sample-card recordings copied into a temporary home,
// with the players and clock of the test's choice: fakes and a manual clock, or libmpv and Qt's.
template <class Player, class Clock, class Base = ::testing::Test>
class ControllerFixture : public Base, private MessageBoxPresenter {
public:
    ControllerFixture() : views(center) { pmSetMessageBoxPresenter(this); }
    ~ControllerFixture() override {
        app.reset();
        pmSetMessageBoxPresenter(nullptr);
    }

    std::string card() const { return home.path() + "/card"; }
    // Copies a sample-card file to `relative` under the card, dated `minute` minutes after 08:00.
    std::string addCopy(const std::string& sampleName, const std::string& relative, int minute) {
        const std::string target = card() + "/" + relative;
        std::filesystem::create_directories(std::filesystem::path(target).parent_path());
        std::filesystem::copy_file(sampleCardPath(sampleCardEntry(sampleName)), target);
        ::chmod(target.c_str(), 0644);
        EXPECT_TRUE(setLocalFileTime(target, 2026, 5, 9, 8, minute));
        return target;
    }
    // `adjust` may add services and views (the dialogs) before the controller is made.
    void start(const std::function<void(AppServices&, ControllerViews&)>& adjust = {}) {
        AppServices services{.notifications = center, .scheduler = clock, .player1 = player1, .player2 = player2,
                              .connectivity = connectivity};
        ControllerViews all = views.all();
        if (adjust) adjust(services, all);
        app = std::make_unique<AppDelegate>(services, all);
        app->applicationWillFinishLaunching();
        app->applicationDidFinishLaunching(card());
    }
    int rowOf(const std::string& path) const {
        for (std::size_t i = 0; i < app->playlist().size(); ++i)
            if (app->playlist()[i].URL() == path) return int(i);
        return -1;
    }
    // Opens playlist row `row` on the fake player and lets it report it can play.
    void openAndPlay(int row, double duration = 30.0) {
        views.doubleClickRow(row);
        player1.load(duration);
        player1.deliverNotifications();
    }
    // What the user sees of playback in one line: the first player's recording and rate, the play
    // button's image, the time slider (value/maximum, "off" when disabled), the waiting indicator.
    std::string shown() const {
        std::ostringstream out;
        out << std::filesystem::path(player1.path()).filename().string() << " x" << player1.rate() << " | "
            << (views.playButton ? "pause" : "play") << " | " << views.sliderValue << "/" << views.sliderMax
            << (views.sliderEnabled ? "" : " off") << (pmIsWaiting() ? " | waiting" : "");
        return out.str();
    }
    std::string log() const { return readFile(pmLogFilePath()); }
    bool logged(const std::string& text) const { return log().find(text) != std::string::npos; }

    TempHome home;
    NotificationCenter center;
    Clock clock;
    Player player1, player2;
    FakeViews views;
    std::vector<std::string> messages;  // the bodies of the message boxes shown
    Connectivity* connectivity = nullptr;  // none: the start logs "not connected" at once
    std::unique_ptr<AppDelegate> app;

private:
    void present(const std::string&, const std::string& body, const std::string&) override { messages.push_back(body); }
};
