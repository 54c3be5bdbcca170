#include "Utility/MessageBox.h"
#include "Utility/StringTables.h"
#include "support/MemoryPreferences.h"
#include "support/TempHome.h"

#include <gtest/gtest.h>

#include <cstdio>

namespace {

struct Shown {
    std::string heading, body, button;
};

// Remembers what it was asked to show, and marks on standard error when it "closes".
class RecordingPresenter : public MessageBoxPresenter {
public:
    RecordingPresenter() { pmSetMessageBoxPresenter(this); }
    ~RecordingPresenter() override { pmSetMessageBoxPresenter(nullptr); }
    void present(const std::string& heading, const std::string& body, const std::string& button) override {
        shown.push_back({heading, body, button});
        std::fputs("[closed]\n", stderr);
    }
    std::vector<Shown> shown;
};

}  // namespace

TEST(MessageBox, HeadingBodyAndButtonComeFromTheCallerAndTheCurrentLanguage) {
    TempHome home;
    MemoryPreferences store;
    store.values["LANGUAGE_ID"] = 1;
    RecordingPresenter presenter;
    const StringTables& tables = pmStringTables();

    testing::internal::CaptureStderr();
    EXPECT_EQ(pmMessageBox("100% done: %s %d %n", "", 16), 1);
    EXPECT_EQ(pmMessageBox("Disk full", "Backup", 0), 1);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "[closed]\nUser OK!\n[closed]\nUser OK!\n");

    ASSERT_EQ(presenter.shown.size(), 2u);
    EXPECT_EQ(presenter.shown[0].heading, tables.lookup("TraditionalChinese", "IDR_MAINFRAME"));
    EXPECT_EQ(presenter.shown[0].body, "100% done: %s %d %n");
    EXPECT_EQ(presenter.shown[0].button, tables.lookup("TraditionalChinese", "IDS_OK"));
    EXPECT_EQ(presenter.shown[1].heading, "Backup");
    EXPECT_EQ(presenter.shown[1].body, "Disk full");
}

TEST(MessageBox, WithoutAWindowTheMessageGoesToStandardError) {
    TempHome home;
    MemoryPreferences store;
    store.values["LANGUAGE_ID"] = 0;
    testing::internal::CaptureStderr();
    EXPECT_EQ(pmMessageBox("Folder is 100% read-only %s", "Backup", 16), 1);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "Backup: Folder is 100% read-only %s\nUser OK!\n");
}
