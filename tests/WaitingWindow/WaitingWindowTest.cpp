#include "WaitingWindow/SpinningIndicator.h"
#include "WaitingWindow/WaitingWindow.h"
#include "support/QtWait.h"
#include "support/Screenshot.h"
#include "support/TempHome.h"

#include <gtest/gtest.h>

#include <QApplication>

#include <cmath>

namespace {
struct Waiting : ::testing::Test {
    TempHome home;
    QApplication application{qtArgc(), qtArgv()};
};
}  // namespace

TEST_F(Waiting, BrightFinStepsBackAndTheOthersFadeBehindIt) {
    SpinningIndicator spinner;
    spinner.startAnimation();
    // The bright fin goes 1, 0, 11, 10, ...: one step back per frame, wrapping below 0.
    std::vector<int> positions{spinner.position()};
    for (int frame = 0; frame < 14; ++frame) positions.push_back((spinner.updateFrame(), spinner.position()));
    EXPECT_EQ(positions, (std::vector<int>{1, 0, 11, 10, 9, 8, 7, 6, 5, 4, 3, 2, 1, 0, 11}));
    // After more than a turn every fin is as bright as its age: 0.85 per frame since it was lit.
    for (int age : {0, 1, 11})
        EXPECT_NEAR(spinner.finAlpha((spinner.position() + age) % 12), std::pow(SpinningIndicator::kFade, age), 1e-9);
}

TEST_F(Waiting, OneWindowCentredOverTheMainWindowThatTurnsUntilTheEnd) {
    QWidget mainWindow;
    mainWindow.resize(600, 400);
    mainWindow.show();
    WaitingWindow presenter(&mainWindow);
    pmSetWaitingPresenter(&presenter);
    pmStartWait();
    pmStartWait();  // no second window
    QWidget* window = presenter.window();
    ASSERT_TRUE(window && window->isVisible());
    EXPECT_LE((window->geometry().center() - mainWindow.frameGeometry().center()).manhattanLength(), 2);
    EXPECT_EQ(QApplication::topLevelWidgets().count(), 2);

    // The event loop turns it (no timing asserted: it only has to move at all).
    const int start = presenter.spinner()->position();
    EXPECT_TRUE(spinUntil([&] { return presenter.spinner()->position() != start; }, 10.0));
    EXPECT_FALSE(saveScreenshot(*window, "waiting-window").isEmpty());

    pmEndWait();
    pmEndWait();  // harmless
    EXPECT_EQ(presenter.window(), nullptr);
    EXPECT_EQ(QApplication::topLevelWidgets().count(), 1);
    pmSetWaitingPresenter(nullptr);
}
