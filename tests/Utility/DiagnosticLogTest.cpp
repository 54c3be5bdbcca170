#include "Utility/DiagnosticLog.h"
#include "Utility/UserFolders.h"
#include "support/TempHome.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <set>
#include <thread>

TEST(DiagnosticLog, MillisecondsHaveNoLeadingZerosAndEmptyMessageKeepsTheBlank) {
    EXPECT_EQ(pmFormatLogLine({2026, 12, 4, 8, 5, 9, 7}, "pmStartWait()"), "2026-12-04 08:05:09.7 pmStartWait()\n");
    EXPECT_EQ(pmFormatLogLine({2026, 12, 4, 8, 5, 9, 70}, "x"), "2026-12-04 08:05:09.70 x\n");
    EXPECT_EQ(pmFormatLogLine({2026, 12, 4, 8, 5, 9, 999}, ""), "2026-12-04 08:05:09.999 \n");
    EXPECT_EQ(pmFormatLogLine({2026, 12, 4, 8, 5, 9, 0}, "a\nb"), "2026-12-04 08:05:09.0 a\nb\n");
}

TEST(DiagnosticLog, AppendsToTheDocumentsFolderAndDeletionStartsAfresh) {
    TempHome home;
    EXPECT_EQ(pmLogFilePath(), home.documents() + "/CartenaManagerLog_mac.txt");
    EXPECT_FALSE(pmDeleteFile(pmLogFilePath()));  // nothing there yet: silent false
    pmOutputDebugMsg("old run");
    pmDeleteOutputDebugMsg();
    EXPECT_FALSE(pmIsFileExist(pmLogFilePath()));
    pmOutputDebugMsg("first");
    pmOutputDebugMsgF("count = %ld", 12L);
    EXPECT_EQ(logMessages(), (std::vector<std::string>{"first", "count = 12"}));

    std::filesystem::create_directories(home.path() + "/tree/inner");
    EXPECT_TRUE(pmDeleteFile(home.path() + "/tree"));  // folders too, with what they hold
    EXPECT_FALSE(pmIsFileExist(home.path() + "/tree"));
}

TEST(DiagnosticLog, UnwritableFolderDropsTheLineQuietly) {
    TempHome home;
    // A path under a regular file cannot be opened, even by root.
    ASSERT_TRUE(writeFile(home.path() + "/plainfile", "x"));
    ASSERT_TRUE(writeFile(home.configHome() + "/user-dirs.dirs", "XDG_DOCUMENTS_DIR=\"$HOME/plainfile/docs\"\n"));
    pmReloadUserFolders();
    EXPECT_NO_THROW(pmOutputDebugMsg("dropped"));
    EXPECT_FALSE(pmIsFileExist(pmLogFilePath()));
}

TEST(DiagnosticLog, TwoThreadsGiveWholeLines) {
    TempHome home;
    constexpr int kLines = 10000;
    auto writer = [](char tag) {
        for (int i = 0; i < kLines; ++i) pmOutputDebugMsg(tag + std::to_string(i) + "-end");
    };
    std::thread a(writer, 'A'), b(writer, 'B');
    a.join();
    b.join();
    const auto messages = logMessages();
    for (const std::string& message : messages)
        ASSERT_TRUE(message.ends_with("-end") && (message[0] == 'A' || message[0] == 'B')) << message;
    EXPECT_EQ(messages.size(), 2u * kLines);
    EXPECT_EQ(std::set<std::string>(messages.begin(), messages.end()).size(), 2u * kLines);
}
