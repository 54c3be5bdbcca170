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
                          "# written by xdg-user-dirs-update\nXDG_DOCUMENTS_DIR=\"$HOME/Dokumente\"\n"
                          "XDG_VIDEOS_DIR=\"/media/films/\"\n"));
    EXPECT_EQ(pmResolveUserFolders().documents, home.path() + "/Dokumente");
    EXPECT_EQ(pmResolveUserFolders().movies, "/media/films");
    std::filesystem::remove(home.configHome() + "/user-dirs.dirs");
    std::filesystem::remove(home.movies());
    EXPECT_EQ(pmResolveUserFolders().movies, home.path());
    // A relative or empty config home means ~/.config.
    for (const char* value : {"", "relative/config"}) {
        setenv("XDG_CONFIG_HOME", value, 1);
        EXPECT_EQ(pmResolveUserFolders().configHome, home.path() + "/.config") << value;
    }
}
