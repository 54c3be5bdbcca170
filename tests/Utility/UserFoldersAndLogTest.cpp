#include "Utility/DiagnosticLog.h"
#include "Utility/UserFolders.h"
#include "support/TempHome.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <set>
#include <thread>

TEST(UserFolders, UserDirsFileWinsThenStandardNamesThenHome) {
    TempHome home;
    EXPECT_EQ(pmResolveUserFolders().documents, home.documents());  // the standard names exist in the home
    ASSERT_TRUE(writeFile(home.configHome() + "/user-dirs.dirs", "# written by xdg-user-dirs-update\n"
                          "XDG_DOCUMENTS_DIR=\"$HOME/Dokumente\"\nXDG_VIDEOS_DIR=\"/media/films/\"\n"));
    EXPECT_EQ(pmResolveUserFolders().documents, home.path() + "/Dokumente");
    EXPECT_EQ(pmResolveUserFolders().movies, "/media/films");
    std::filesystem::remove(home.configHome() + "/user-dirs.dirs");
    std::filesystem::remove(home.movies());
    EXPECT_EQ(pmResolveUserFolders().movies, home.path());
    for (const char* value : {"", "relative/config"}) {  // a relative or empty config home means ~/.config
        setenv("XDG_CONFIG_HOME", value, 1);
        EXPECT_EQ(pmResolveUserFolders().configHome, home.path() + "/.config") << value;
    }
}

TEST(DiagnosticLog, LinesAppendInTheDocumentsFolderOrAreDroppedQuietly) {
    // Milliseconds without leading zeros; an empty message keeps its blank.
    EXPECT_EQ(pmFormatLogLine({2026, 12, 4, 8, 5, 9, 7}, "pmStartWait()"), "2026-12-04 08:05:09.7 pmStartWait()\n");
    EXPECT_EQ(pmFormatLogLine({2026, 12, 4, 8, 5, 9, 70}, ""), "2026-12-04 08:05:09.70 \n");
    EXPECT_EQ(pmFormatLogLine({2026, 12, 4, 8, 5, 9, 999}, "a\nb"), "2026-12-04 08:05:09.999 a\nb\n");
    TempHome home;
    const std::string log = home.documents() + "/CartenaManagerLog_mac.txt";
    EXPECT_EQ(pmLogFilePath(), log);
    EXPECT_FALSE(pmDeleteFile(log));  // nothing there yet: silent false
    pmOutputDebugMsg("old run");
    pmDeleteOutputDebugMsg();
    pmOutputDebugMsg("first");
    pmOutputDebugMsgF("count = %ld", 12L);
    EXPECT_EQ(logMessages(), (std::vector<std::string>{"first", "count = 12"}));
    std::filesystem::create_directories(home.path() + "/tree/inner");
    EXPECT_TRUE(pmDeleteFile(home.path() + "/tree"));  // folders too, with what they hold
    EXPECT_FALSE(pmIsFileExist(home.path() + "/tree"));

    // A documents folder that is a regular file cannot take the log, even for root.
    ASSERT_TRUE(writeFile(home.configHome() + "/user-dirs.dirs", "XDG_DOCUMENTS_DIR=\"" + log + "\"\n"));
    pmReloadUserFolders();
    EXPECT_NO_THROW(pmOutputDebugMsg("dropped"));
    EXPECT_EQ(readFile(log).find("dropped"), std::string::npos);
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
    EXPECT_EQ(std::set<std::string>(messages.begin(), messages.end()).size(), 2u * kLines);
}
