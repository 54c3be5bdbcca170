#include "Utility/UserFolders.h"
#include "support/TempHome.h"

#include <gtest/gtest.h>

#include <filesystem>

TEST(UserFolders, UserDirsFileWinsThenStandardNamesThenHome) {
    TempHome home;
    // No user-dirs.dirs: the standard names exist in the temporary home.
    EXPECT_EQ(pmResolveUserFolders().documents, home.documents());
    EXPECT_EQ(pmResolveUserFolders().movies, home.movies());

    ASSERT_TRUE(writeFile(home.configHome() + "/user-dirs.dirs",
                          "# written by xdg-user-dirs-update\n"
                          "XDG_DOCUMENTS_DIR=\"$HOME/Dokumente\"\n"
                          "XDG_VIDEOS_DIR=\"/media/films/\"\n"));
    auto folders = pmResolveUserFolders();
    EXPECT_EQ(folders.documents, home.path() + "/Dokumente");
    EXPECT_EQ(folders.movies, "/media/films");

    std::filesystem::remove(home.configHome() + "/user-dirs.dirs");
    std::filesystem::remove(home.movies());
    EXPECT_EQ(pmResolveUserFolders().movies, home.path());
}

TEST(UserFolders, RelativeOrEmptyConfigHomeMeansDotConfig) {
    TempHome home;
    for (const char* value : {"", "relative/config"}) {
        setenv("XDG_CONFIG_HOME", value, 1);
        EXPECT_EQ(pmResolveUserFolders().configHome, home.path() + "/.config") << value;
    }
    unsetenv("XDG_CONFIG_HOME");
    EXPECT_EQ(pmResolveUserFolders().configHome, home.path() + "/.config");
}
