#include "Utility/MessageBox.h"
#include "Utility/StringTables.h"
#include "support/MemoryPreferences.h"
#include "support/TempHome.h"

#include <gtest/gtest.h>

#include <cstdio>

namespace {

// Remembers what it was asked to show, and marks on standard error when it "closes".
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
    const StringTables& tables = pmStringTables();
    const std::string ok = tables.lookup("TraditionalChinese", "IDS_OK");
    EXPECT_EQ(presenter.shown, (std::vector<std::vector<std::string>>{
                                   {tables.lookup("TraditionalChinese", "IDR_MAINFRAME"), "100% done: %s %d %n", ok},
                                   {"Backup", "Disk full", ok}}));
}
