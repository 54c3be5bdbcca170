#include "Utility/FilePreferencesStore.h"
#include "Utility/Preferences.h"
#include "support/ChildProcess.h"
#include "support/TempHome.h"

#include <gtest/gtest.h>

#include <sys/resource.h>
#include <sys/stat.h>

#include <csignal>
#include <filesystem>

namespace {

std::string settingsFolder(const TempHome& home) { return home.configHome() + "/cartena-manager"; }

long entriesIn(const std::string& folder) {
    return std::distance(std::filesystem::directory_iterator(folder), std::filesystem::directory_iterator());
}

PreferenceValue number(std::int32_t n) { return n; }

}  // namespace

TEST(Preferences, PresenceTypesAndDefaultsSurviveARestart) {
    TempHome home;
    EXPECT_EQ(pmGetProfileInt(kKeyVolume, kDefaultVolume), 8);
    pmWriteProfileInt(kKeyVolume, 0);
    pmWriteProfileString(kKeyYouTubeEmail, "");
    pmWriteProfileString(kKeyFacebookKey, "token-123");
    EXPECT_EQ(pmGetProfileInt(kKeyVolume, kDefaultVolume), 0);         // present 0 is not the default
    EXPECT_EQ(pmGetProfileString(kKeyYouTubeEmail, "fallback"), "");  // nor is a present empty string
    EXPECT_EQ(pmGetProfileInt(kKeyFacebookKey, 7), 0);                 // integer read of a string
    EXPECT_EQ(pmGetProfileString(kKeyVolume, "x"), "");                // string read of an integer

    FilePreferencesStore nextRun(settingsFolder(home));
    EXPECT_EQ(nextRun.value(kKeyVolume), number(0));
    EXPECT_EQ(nextRun.value(kKeyFacebookKey), PreferenceValue(std::string("token-123")));
    EXPECT_FALSE(nextRun.value(kKeySkinId).has_value());
    struct stat folder {}, file {};
    ASSERT_EQ(::stat(settingsFolder(home).c_str(), &folder), 0);
    ASSERT_EQ(::stat(nextRun.filePath().c_str(), &file), 0);
    EXPECT_EQ(folder.st_mode & 07777, 0700u);  // the file holds account tokens
    EXPECT_EQ(file.st_mode & 07777, 0600u);
    EXPECT_EQ(entriesIn(settingsFolder(home)), 1);  // no temporary file left behind
}

TEST(Preferences, HandEditedAndCorruptFiles) {
    TempHome home;
    const std::string file = settingsFolder(home) + "/settings.json";
    std::filesystem::create_directories(settingsFolder(home));
    ASSERT_TRUE(writeFile(file, R"({"Volume": 4294967299, "SpeedUnit": 1.9, "SKIN_ID": true, "FB_KEY": [1,2]})"));
    {
        FilePreferencesStore store(settingsFolder(home));
        pmSetPreferences(&store);
        EXPECT_EQ(pmGetProfileInt(kKeyVolume, 8), 3);  // low 32 bits
        EXPECT_EQ(pmGetProfileInt(kKeySpeedUnit, 0), 1);
        EXPECT_EQ(pmGetProfileInt(kKeySkinId, 0), 1);
        EXPECT_EQ(pmGetProfileInt(kKeyFacebookKey, 5), 0);
        EXPECT_EQ(pmGetProfileString(kKeyFacebookKey, "d"), "");
        pmSetPreferences(nullptr);
    }
    // A file that cannot be parsed reads as empty, unchanged, and is kept aside at the first write.
    const std::string garbage = "{\"Volume\": 3,,, not json";
    ASSERT_TRUE(writeFile(file, garbage));
    FilePreferencesStore store(settingsFolder(home));
    EXPECT_FALSE(store.value(kKeyVolume).has_value());
    EXPECT_EQ(readFile(file), garbage);
    store.setValue(kKeySpeedUnit, number(1));
    ASSERT_FALSE(store.setAsidePath().empty());
    EXPECT_EQ(readFile(store.setAsidePath()), garbage);
    EXPECT_EQ(FilePreferencesStore(settingsFolder(home)).value(kKeySpeedUnit), number(1));
}

TEST(Preferences, ReadOnlyFolderGivesItsValuesAndKeepsChangesInMemory) {
    TempHome home;
    const std::string folder = settingsFolder(home);
    std::filesystem::create_directories(folder);
    const std::string original = R"({"Volume": 3})";
    ASSERT_TRUE(writeFile(folder + "/settings.json", original));
    ASSERT_EQ(::chmod(home.path().c_str(), 0755), 0);  // the unprivileged child reaches the file...
    ASSERT_EQ(::chmod(folder.c_str(), 0555), 0);       // ...but cannot write beside it
    testing::internal::CaptureStderr();
    const int code = runInChild(
        [&] {
            FilePreferencesStore store(folder);
            if (store.value(kKeyVolume) != number(3)) return 1;
            store.setValue(kKeyVolume, number(5));
            store.setValue(kKeySpeedUnit, number(1));
            if (store.synchronize()) return 2;
            return store.value(kKeyVolume) == number(5) ? 0 : 3;
        },
        /*dropPrivileges=*/true);
    const std::string reported = testing::internal::GetCapturedStderr();
    EXPECT_EQ(code, 0);
    EXPECT_EQ(readFile(folder + "/settings.json"), original);
    EXPECT_NE(reported.find("kept for this run only"), std::string::npos);
    EXPECT_EQ(reported.find("kept for this run only"), reported.rfind("kept for this run only")) << reported;
}

TEST(Preferences, FullDiskOrMissingFolderLeavesTheOldFileByteIdentical) {
    TempHome home;
    const std::string folder = settingsFolder(home);
    FilePreferencesStore(folder).setValue(kKeyVolume, number(6));
    const std::string before = readFile(folder + "/settings.json");
    const int code = runInChild([&] {
        std::signal(SIGXFSZ, SIG_IGN);  // a write past the limit then fails with EFBIG
        const struct rlimit limit {8, 8};
        if (setrlimit(RLIMIT_FSIZE, &limit) != 0) return 10;
        FilePreferencesStore store(folder);
        store.setValue(kKeyFacebookKey, std::string(4096, 'k'));
        if (store.synchronize()) return 1;
        return store.value(kKeyFacebookKey) ? 0 : 2;
    });
    EXPECT_EQ(code, 0);
    EXPECT_EQ(readFile(folder + "/settings.json"), before);
    EXPECT_EQ(entriesIn(folder), 1);

    // A settings folder under a regular file cannot exist: the values still hold for the run.
    ASSERT_TRUE(writeFile(home.path() + "/plain", "x"));
    FilePreferencesStore nowhere(home.path() + "/plain/cartena-manager");
    nowhere.setValue(kKeyVolume, number(2));
    EXPECT_EQ(nowhere.value(kKeyVolume), number(2));
}

TEST(Preferences, FolderLookupsFallBackAndSaveAsymmetrically) {
    TempHome home;
    const std::string card = home.path() + "/card", gone = home.path() + "/gone";
    EXPECT_EQ(pmGetStorageFolder(), home.movies());
    pmWriteProfileString(kKeyCurrentFolder, gone);  // a card not inserted: kept, but not used
    EXPECT_EQ(pmGetStorageFolder(), home.movies());
    EXPECT_EQ(pmGetProfileString(kKeyCurrentFolder, ""), gone);
    std::filesystem::create_directories(card);
    pmSaveStorageFolder(card);
    EXPECT_EQ(pmGetStorageFolder(), card);
    pmSaveStorageFolder(gone);
    EXPECT_EQ(pmGetProfileString(kKeyCurrentFolder, ""), card);

    EXPECT_EQ(pmGetExportFolder(), home.documents());
    pmSaveExportFolder(gone);
    EXPECT_FALSE(pmPreferences().value(kKeyExportFolder).has_value());
    pmSaveExportFolder(card);
    EXPECT_EQ(pmGetExportFolder(), card);
    pmSaveCaptureFolder(gone);
    EXPECT_EQ(pmGetProfileString(kKeyCaptureFolder, ""), gone);
    EXPECT_EQ(pmGetCaptureFolder(), home.documents());
}
