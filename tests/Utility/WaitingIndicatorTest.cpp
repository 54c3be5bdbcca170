#include "Utility/DiagnosticLog.h"
#include "Utility/WaitingIndicator.h"
#include "support/TempHome.h"

#include <gtest/gtest.h>

#include <sstream>

namespace {

class CountingPresenter : public WaitingPresenter {
public:
    int shown = 0, ended = 0;
    void showWaitingWindow() override { ++shown; }
    void endWaitingWindow() override { ++ended; }
};

// The log's messages in order, time stamps removed, each followed by a bar.
std::string logText() {
    std::istringstream in(readFile(pmLogFilePath()));
    std::string line, messages;
    while (std::getline(in, line)) messages += line.substr(line.find(' ', line.find(' ') + 1) + 1) + "|";
    return messages;
}

}  // namespace

TEST(WaitingIndicator, OneIndicatorAtMostAndEndWithoutStartOnlyLogs) {
    TempHome home;
    CountingPresenter presenter;
    pmSetWaitingPresenter(&presenter);

    pmEndWait();
    EXPECT_EQ(presenter.ended, 0);
    EXPECT_FALSE(pmIsWaiting());

    pmStartWait();
    pmStartWait();
    EXPECT_EQ(presenter.shown, 1);
    EXPECT_TRUE(pmIsWaiting());
    pmEndWait();
    EXPECT_EQ(presenter.ended, 1);
    EXPECT_FALSE(pmIsWaiting());
    pmEndWait();
    EXPECT_EQ(presenter.ended, 1);

    pmSetWaitingPresenter(nullptr);
    pmStartWait();  // no window, the state and the lines all the same
    EXPECT_TRUE(pmIsWaiting());
    pmEndWait();
    EXPECT_EQ(logText(), "pmEndWait()|pmStartWait()|pmStartWait()|pmEndWait()|pmEndWait()|pmStartWait()|pmEndWait()|");
}
