#include "Utility/FilePreferencesStore.h"
#include "Utility/Preferences.h"
#include "support/ChildProcess.h"
#include "support/TempHome.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <csignal>
#include <filesystem>

namespace {

std::string settingsFolder(const TempHome& home) { return home.configHome() + "/cartena-manager"; }

mode_t modeOf(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 ? (st.st_mode & 07777) : 0;
}

std::size_t entriesIn(const std::string& folder) {
    std::size_t count = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(folder)) ++count;
    return count;
}

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

    // A second store on the same folder is the next run.
    FilePreferencesStore again(settingsFolder(home));
    EXPECT_EQ(again.value(kKeyVolume), PreferenceValue(std::int32_t(0)));
    EXPECT_EQ(again.value(kKeyFacebookKey), PreferenceValue(std::string("token-123")));
    EXPECT_FALSE(again.value(kKeySkinId).has_value());

    EXPECT_EQ(modeOf(settingsFolder(home)), 0700u);
    EXPECT_EQ(modeOf(again.filePath()), 0600u);
    EXPECT_EQ(entriesIn(settingsFolder(home)), 1u);  // no temporary file left behind
}

TEST(Preferences, HandEditedValuesOfOtherKindsReadAsTheStoreConvertsThem) {
    TempHome home;
    std::filesystem::create_directories(settingsFolder(home));
    ASSERT_TRUE(writeFile(settingsFolder(home) + "/settings.json",
                          R"({"Volume": 4294967299, "SpeedUnit": 1.9, "SKIN_ID": true, "FB_KEY": [1,2]})"));
    FilePreferencesStore store(settingsFolder(home));
    pmSetPreferences(&store);
    EXPECT_EQ(pmGetProfileInt(kKeyVolume, 8), 3);  // low 32 bits
    EXPECT_EQ(pmGetProfileInt(kKeySpeedUnit, 0), 1);
    EXPECT_EQ(pmGetProfileInt(kKeySkinId, 0), 1);
    EXPECT_EQ(pmGetProfileInt(kKeyFacebookKey, 5), 0);
    EXPECT_EQ(pmGetProfileString(kKeyFacebookKey, "d"), "");
    pmSetPreferences(nullptr);
}

TEST(Preferences, CorruptFileReadsAsDefaultsAndIsKeptAside) {
    TempHome home;
    std::filesystem::create_directories(settingsFolder(home));
    const std::string garbage = "{\"Volume\": 3,,, not json";
    const std::string file = settingsFolder(home) + "/settings.json";
    ASSERT_TRUE(writeFile(file, garbage));

    FilePreferencesStore store(file.substr(0, file.rfind('/')));
    EXPECT_FALSE(store.value(kKeyVolume).has_value());
    EXPECT_EQ(readFile(file), garbage);  // reading alone changes nothing

    store.setValue(kKeySpeedUnit, std::int32_t(1));
    ASSERT_FALSE(store.setAsidePath().empty());
    EXPECT_EQ(readFile(store.setAsidePath()), garbage);
    FilePreferencesStore next(settingsFolder(home));
    EXPECT_EQ(next.value(kKeySpeedUnit), PreferenceValue(std::int32_t(1)));
}

TEST(Preferences, ReadOnlyFolderGivesItsValuesAndKeepsChangesInMemory) {
    TempHome home;
    const std::string folder = settingsFolder(home);
    std::filesystem::create_directories(folder);
    const std::string file = folder + "/settings.json";
    const std::string original = R"({"Volume": 3})";
    ASSERT_TRUE(writeFile(file, original));
    ASSERT_EQ(chmod(file.c_str(), 0644), 0);
    ASSERT_EQ(chmod(folder.c_str(), 0555), 0);
    for (std::string dir = folder; dir != "/"; dir = std::filesystem::path(dir).parent_path().string())
        chmod(dir.c_str(), modeOf(dir) | 0005);  // let the unprivileged child reach the file

    const std::string errors = home.path() + "/stderr.txt";
    const int errorFd = ::open(errors.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0666);
    ASSERT_GE(errorFd, 0);
    const int code = runInChild(
        [&] {
            dup2(errorFd, STDERR_FILENO);
            FilePreferencesStore store(folder);
            if (store.value(kKeyVolume) != PreferenceValue(std::int32_t(3))) return 1;
            store.setValue(kKeyVolume, std::int32_t(5));
            store.setValue(kKeySpeedUnit, std::int32_t(1));
            if (store.synchronize()) return 2;
            if (store.value(kKeyVolume) != PreferenceValue(std::int32_t(5))) return 3;
            return 0;
        },
        /*dropPrivileges=*/true);
    ::close(errorFd);
    EXPECT_EQ(code, 0);
    EXPECT_EQ(readFile(file), original);
    const std::string reported = readFile(errors);
    EXPECT_NE(reported.find("kept for this run only"), std::string::npos);
    EXPECT_EQ(reported.find("kept for this run only"), reported.rfind("kept for this run only")) << reported;
}

TEST(Preferences, FullDiskOrMissingFolderLeavesTheOldFileByteIdentical) {
    TempHome home;
    const std::string folder = settingsFolder(home);
    {
        FilePreferencesStore store(folder);
        store.setValue(kKeyVolume, std::int32_t(6));
    }
    const std::string file = folder + "/settings.json";
    const std::string before = readFile(file);

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
    EXPECT_EQ(readFile(file), before);
    EXPECT_EQ(entriesIn(folder), 1u);

    // A settings folder under a regular file cannot exist: the values still hold for the run.
    ASSERT_TRUE(writeFile(home.path() + "/plain", "x"));
    FilePreferencesStore nowhere(home.path() + "/plain/cartena-manager");
    nowhere.setValue(kKeyVolume, std::int32_t(2));
    EXPECT_EQ(nowhere.value(kKeyVolume), PreferenceValue(std::int32_t(2)));
}

TEST(Preferences, FolderLookupsFallBackAndSaveAsymmetrically) {
    TempHome home;
    EXPECT_EQ(pmGetStorageFolder(), home.movies());
    pmWriteProfileString(kKeyCurrentFolder, home.path() + "/card-not-inserted");
    EXPECT_EQ(pmGetStorageFolder(), home.movies());
    EXPECT_EQ(pmGetProfileString(kKeyCurrentFolder, ""), home.path() + "/card-not-inserted");

    const std::string card = home.path() + "/card";
    std::filesystem::create_directories(card);
    pmSaveStorageFolder(card);
    EXPECT_EQ(pmGetStorageFolder(), card);
    pmSaveStorageFolder(home.path() + "/gone");
    EXPECT_EQ(pmGetProfileString(kKeyCurrentFolder, ""), card);

    EXPECT_EQ(pmGetExportFolder(), home.documents());
    pmSaveExportFolder(home.path() + "/gone");
    EXPECT_FALSE(pmPreferences().value(kKeyExportFolder).has_value());
    pmSaveExportFolder(card);
    EXPECT_EQ(pmGetExportFolder(), card);

    pmSaveCaptureFolder(home.path() + "/gone");
    EXPECT_EQ(pmGetProfileString(kKeyCaptureFolder, ""), home.path() + "/gone");
    EXPECT_EQ(pmGetCaptureFolder(), home.documents());
}
