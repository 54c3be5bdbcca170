#include "Utility/DiagnosticLog.h"
#include "Utility/FileSystem.h"
#include "Utility/UserFolders.h"
#include "support/TempHome.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <set>
#include <sstream>
#include <thread>
#include <vector>

TEST(DiagnosticLogFormat, MillisecondsHaveNoLeadingZerosAndEmptyMessageKeepsTheBlank) {
    struct Case {
        long ms;
        const char* message;
        const char* expected;
    };
    const Case cases[] = {
        {7, "pmStartWait()", "2026-12-04 08:05:09.7 pmStartWait()\n"},
        {70, "x", "2026-12-04 08:05:09.70 x\n"},
        {999, "", "2026-12-04 08:05:09.999 \n"},
        {0, "a\nb", "2026-12-04 08:05:09.0 a\nb\n"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(pmFormatLogLine({2026, 12, 4, 8, 5, 9, c.ms}, c.message), c.expected);
    }
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
    std::istringstream lines(readFile(pmLogFilePath()));
    std::string line;
    std::vector<std::string> messages;
    while (std::getline(lines, line)) messages.push_back(line.substr(line.find(' ', 11) + 1));
    EXPECT_EQ(messages, (std::vector<std::string>{"first", "count = 12"}));
}

TEST(DiagnosticLog, UnwritableFolderDropsTheLineQuietly) {
    TempHome home;
    // A path under a regular file cannot be opened, even by root.
    ASSERT_TRUE(writeFile(home.path() + "/plainfile", "x"));
    setenv("XDG_CONFIG_HOME", home.configHome().c_str(), 1);
    ASSERT_TRUE(writeFile(home.configHome() + "/user-dirs.dirs", "XDG_DOCUMENTS_DIR=\"$HOME/plainfile/docs\"\n"));
    pmReloadUserFolders();
    EXPECT_NO_THROW(pmOutputDebugMsg("dropped"));
    EXPECT_FALSE(pmIsFileExist(pmLogFilePath()));
}

TEST(DiagnosticLog, TwoThreadsGiveWholeLines) {
    TempHome home;
    constexpr int kLines = 10000;
    auto writer = [](char tag) {
        for (int i = 0; i < kLines; ++i) pmOutputDebugMsg(std::string(1, tag) + "-" + std::to_string(i) + "-end");
    };
    std::thread a(writer, 'A');
    std::thread b(writer, 'B');
    a.join();
    b.join();

    std::istringstream lines(readFile(pmLogFilePath()));
    std::string line;
    std::set<std::string> seen;
    int count = 0;
    while (std::getline(lines, line)) {
        ++count;
        const std::string message = line.substr(line.find(' ', 11) + 1);
        ASSERT_TRUE(message.size() > 5 && message.ends_with("-end") && (message[0] == 'A' || message[0] == 'B'))
            << "broken line: " << line;
        seen.insert(message);
    }
    EXPECT_EQ(count, 2 * kLines);
    EXPECT_EQ(seen.size(), static_cast<size_t>(2 * kLines));
}

TEST(DiagnosticLog, DeleteFileRemovesFoldersToo) {
    TempHome home;
    const std::string folder = home.path() + "/tree";
    ASSERT_EQ(mkdir(folder.c_str(), 0755), 0);
    ASSERT_TRUE(writeFile(folder + "/inner", "x"));
    EXPECT_TRUE(pmDeleteFile(folder));
    EXPECT_FALSE(pmIsFileExist(folder));
}
