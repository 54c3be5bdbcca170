#include "Utility/MessageBox.h"
#include "Utility/StringTables.h"
#include "Utility/WaitingIndicator.h"
#include "support/MemoryPreferences.h"
#include "support/TempHome.h"

#include <gtest/gtest.h>

#include <cstdio>

namespace {

// Stands in for the window's box: remembers what it shows, and marks on standard error when it closes.
struct RecordingPresenter : MessageBoxPresenter {
    RecordingPresenter() { pmSetMessageBoxPresenter(this); }
    ~RecordingPresenter() override { pmSetMessageBoxPresenter(nullptr); }
    void present(const std::string& heading, const std::string& body, const std::string& button) override {
        shown.push_back({heading, body, button});
        std::fputs("[closed]\n", stderr);
    }
    std::vector<std::vector<std::string>> shown;
};

}  // namespace

TEST(MessageBox, TextsComeFromTheCallerAndTheCurrentLanguageAndStandardErrorServesWithoutAWindow) {
    TempHome home;
    MemoryPreferences store;
    store.values["LANGUAGE_ID"] = 1;
    testing::internal::CaptureStderr();
    EXPECT_EQ(pmMessageBox("Folder is 100% read-only %s", "Backup", 16), 1);
    RecordingPresenter presenter;
    EXPECT_EQ(pmMessageBox("100% done: %s %d %n", "", 16), 1);
    EXPECT_EQ(pmMessageBox("Disk full", "Backup", 0), 1);
    // "User OK!" follows the closing of each box.
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "Backup: Folder is 100% read-only %s\nUser OK!\n[closed]\nUser OK!\n[closed]\nUser OK!\n");
    const std::string heading = pmStringTables().lookup("TraditionalChinese", "IDR_MAINFRAME");
    const std::string ok = pmStringTables().lookup("TraditionalChinese", "IDS_OK");
    EXPECT_EQ(presenter.shown, (std::vector<std::vector<std::string>>{{heading, "100% done: %s %d %n", ok},
                                                                      {"Backup", "Disk full", ok}}));
}

// (One window at most is shown with the real waiting window; here the state and the log lines.)
TEST(WaitingIndicator, WithoutAWindowTheStateAndTheLinesAreTheSameAndEndWithoutStartOnlyLogs) {
    TempHome home;
    pmEndWait();
    EXPECT_FALSE(pmIsWaiting());
    pmStartWait();
    pmStartWait();
    EXPECT_TRUE(pmIsWaiting());
    pmEndWait();
    EXPECT_FALSE(pmIsWaiting());
    const std::vector<std::string> lines = {"pmEndWait()", "pmStartWait()", "pmStartWait()", "pmEndWait()"};
    EXPECT_EQ(logMessages(), lines);
}
