#include "Utility/WaitingIndicator.h"
#include "support/TempHome.h"

#include <gtest/gtest.h>

namespace {

struct CountingPresenter : WaitingPresenter {
    int shown = 0, ended = 0;
    void showWaitingWindow() override { ++shown; }
    void endWaitingWindow() override { ++ended; }
};

}  // namespace

TEST(WaitingIndicator, OneIndicatorAtMostAndEndWithoutStartOnlyLogs) {
    TempHome home;
    CountingPresenter presenter;
    pmSetWaitingPresenter(&presenter);
    pmEndWait();
    pmStartWait();
    pmStartWait();
    EXPECT_EQ(presenter.shown, 1);
    EXPECT_TRUE(pmIsWaiting());
    pmEndWait();
    pmEndWait();
    EXPECT_EQ(presenter.ended, 1);
    EXPECT_FALSE(pmIsWaiting());

    pmSetWaitingPresenter(nullptr);
    pmStartWait();  // no window, the state and the lines all the same
    EXPECT_TRUE(pmIsWaiting());
    pmEndWait();
    EXPECT_EQ(logMessages(), (std::vector<std::string>{"pmEndWait()", "pmStartWait()", "pmStartWait()", "pmEndWait()",
                                                       "pmEndWait()", "pmStartWait()", "pmEndWait()"}));
}
