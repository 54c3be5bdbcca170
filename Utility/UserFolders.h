#pragma once
#include <string>

// The user's standard folders, read from the environment and user-dirs.dirs without starting a
// process. Resolved once at start; tests reload after changing the environment.
struct UserFolders {
    std::string home;
    std::string configHome;  // $XDG_CONFIG_HOME when absolute, else $HOME/.config
    std::string documents;
    std::string movies;
};

UserFolders pmResolveUserFolders();
const UserFolders& pmUserFolders();
void pmReloadUserFolders();

std::string pmGetDocumentsFolder();
std::string pmGetMoviesFolder();
