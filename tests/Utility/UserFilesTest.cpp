#include "Utility/DiagnosticLog.h"
#include "Utility/FilePreferencesStore.h"
#include "Utility/FileSystem.h"
#include "Utility/Preferences.h"
#include "Utility/UserFolders.h"
#include "support/ChildProcess.h"
#include "support/TempHome.h"

#include <gtest/gtest.h>

#include <sys/resource.h>
#include <sys/stat.h>

#include <csignal>
#include <filesystem>
#include <set>
#include <thread>

namespace {

struct SettingsHome : TempHome {
    const std::string folder = configHome() + "/cartena-manager", file = folder + "/settings.json";
    long entries() const { return std::distance(std::filesystem::directory_iterator(folder), {}); }
};

PreferenceValue number(std::int32_t n) { return n; }

}  // namespace

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

    // A documents folder that is a regular file cannot take the log, even for root.
    ASSERT_TRUE(writeFile(home.configHome() + "/user-dirs.dirs", "XDG_DOCUMENTS_DIR=\"" + log + "\"\n"));
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
    EXPECT_EQ(std::set<std::string>(messages.begin(), messages.end()).size(), 2u * kLines);
}

TEST(Preferences, PresenceAndTypesSurviveARestartInAPrivateFile) {
    SettingsHome home;
    EXPECT_EQ(pmGetProfileInt(kKeyVolume, kDefaultVolume), 8);
    pmWriteProfileInt(kKeyVolume, 0);
    pmWriteProfileString(kKeyYouTubeEmail, "");
    pmWriteProfileString(kKeyFacebookKey, "token-123");
    EXPECT_EQ(pmGetProfileInt(kKeyVolume, kDefaultVolume), 0);         // present 0 is not the default
    EXPECT_EQ(pmGetProfileString(kKeyYouTubeEmail, "fallback"), "");  // nor is a present empty string
    EXPECT_EQ(pmGetProfileInt(kKeyFacebookKey, 7), 0);                 // integer read of a string
    EXPECT_EQ(pmGetProfileString(kKeyVolume, "x"), "");                // string read of an integer
    FilePreferencesStore nextRun(home.folder);
    EXPECT_EQ(nextRun.value(kKeyVolume), number(0));
    EXPECT_EQ(nextRun.value(kKeyFacebookKey), PreferenceValue(std::string("token-123")));
    EXPECT_FALSE(nextRun.value(kKeySkinId).has_value());
    struct stat folder {}, file {};
    ASSERT_EQ(::stat(home.folder.c_str(), &folder) | ::stat(home.file.c_str(), &file), 0);
    EXPECT_EQ(folder.st_mode & 07777, 0700u);  // the file holds account tokens
    EXPECT_EQ(file.st_mode & 07777, 0600u);
    EXPECT_EQ(home.entries(), 1);  // no temporary file left behind
}

TEST(Preferences, HandEditedValuesAreConvertedAndACorruptFileIsKeptAside) {
    SettingsHome home;
    std::filesystem::create_directories(home.folder);
    ASSERT_TRUE(writeFile(home.file, R"({"Volume": 4294967299, "SpeedUnit": 1.9, "SKIN_ID": true, "FB_KEY": [1]})"));
    const FilePreferencesStore edited(home.folder);
    EXPECT_EQ(edited.value(kKeyVolume), number(3));  // the low 32 bits
    EXPECT_EQ(edited.value(kKeySpeedUnit), number(1));
    EXPECT_EQ(edited.value(kKeySkinId), number(1));
    EXPECT_EQ(edited.value(kKeyFacebookKey), PreferenceValue(std::monostate{}));

    const std::string garbage = "{\"Volume\": 3,,, not json";
    ASSERT_TRUE(writeFile(home.file, garbage));
    FilePreferencesStore store(home.folder);
    EXPECT_FALSE(store.value(kKeyVolume).has_value());
    EXPECT_EQ(readFile(home.file), garbage);  // reading alone changes nothing
    store.setValue(kKeySpeedUnit, number(1));
    EXPECT_EQ(readFile(store.setAsidePath()), garbage);
    EXPECT_EQ(FilePreferencesStore(home.folder).value(kKeySpeedUnit), number(1));
}

TEST(Preferences, AFolderThatCannotBeWrittenOrAFullDiskLeaveTheFileAsItWasAndTheValuesForTheRun) {
    SettingsHome home;
    std::filesystem::create_directories(home.folder);
    ASSERT_TRUE(writeFile(home.file, R"({"Volume": 3})"));
    ASSERT_EQ(::chmod(home.path().c_str(), 0755), 0);  // the unprivileged child reaches the file...
    ASSERT_EQ(::chmod(home.folder.c_str(), 0555), 0);  // ...but cannot write beside it
    const auto changeVolume = [&] {
        FilePreferencesStore store(home.folder);
        if (store.value(kKeyVolume) != number(3)) return 1;
        store.setValue(kKeyVolume, number(5));
        store.setValue(kKeyFacebookKey, std::string(4096, 'k'));
        if (store.synchronize()) return 2;
        return store.value(kKeyVolume) == number(5) ? 0 : 3;
    };
    testing::internal::CaptureStderr();
    EXPECT_EQ(runInChild(changeVolume, /*dropPrivileges=*/true), 0);
    const std::string reported = testing::internal::GetCapturedStderr();
    EXPECT_NE(reported.find("kept for this run only"), std::string::npos);
    EXPECT_EQ(reported.find("kept for this run only"), reported.rfind("kept for this run only")) << reported;
    // A full disk: a write past the size limit fails (with EFBIG, the signal ignored).
    ASSERT_EQ(::chmod(home.folder.c_str(), 0700), 0);
    EXPECT_EQ(runInChild([&] {
                  std::signal(SIGXFSZ, SIG_IGN);
                  const struct rlimit limit {8, 8};
                  return setrlimit(RLIMIT_FSIZE, &limit) == 0 ? changeVolume() : 10;
              }),
              0);
    EXPECT_EQ(readFile(home.file), R"({"Volume": 3})");
    EXPECT_EQ(home.entries(), 1);
    // A settings folder under a regular file cannot exist.
    FilePreferencesStore nowhere(home.file + "/cartena-manager");
    nowhere.setValue(kKeyVolume, number(2));
    EXPECT_EQ(nowhere.value(kKeyVolume), number(2));
}

TEST(Preferences, FolderLookupsFallBackAndSaveAsymmetrically) {
    TempHome home;
    const std::string card = home.path() + "/card", gone = home.path() + "/gone";
    std::filesystem::create_directories(card);
    pmWriteProfileString(kKeyCurrentFolder, gone);  // a card not inserted: kept, but not used
    EXPECT_EQ(pmGetStorageFolder(), home.movies());
    EXPECT_EQ(pmGetProfileString(kKeyCurrentFolder, ""), gone);
    pmSaveStorageFolder(card);
    pmSaveStorageFolder(gone);  // only a folder that exists is saved
    EXPECT_EQ(pmGetStorageFolder(), card);
    EXPECT_EQ(pmGetExportFolder(), home.documents());
    pmSaveExportFolder(gone);
    EXPECT_FALSE(pmPreferences().value(kKeyExportFolder).has_value());
    pmSaveExportFolder(card);
    EXPECT_EQ(pmGetExportFolder(), card);
    pmSaveCaptureFolder(gone);  // saved as it is, read back as the documents folder
    EXPECT_EQ(pmGetProfileString(kKeyCaptureFolder, ""), gone);
    EXPECT_EQ(pmGetCaptureFolder(), home.documents());
}
