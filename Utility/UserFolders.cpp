#include "Utility/UserFolders.h"

#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <mutex>
#include <optional>

namespace {

std::string envOr(const char* name, const std::string& fallback) {
    const char* value = std::getenv(name);
    return (value && *value) ? std::string(value) : fallback;
}

std::string homeFolder() {
    if (const char* home = std::getenv("HOME"); home && *home) return home;
    struct passwd entry {};
    struct passwd* found = nullptr;
    char buffer[4096];
    if (getpwuid_r(getuid(), &entry, buffer, sizeof buffer, &found) == 0 && found && found->pw_dir)
        return found->pw_dir;
    return "/";
}

bool isFolder(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

// One value of user-dirs.dirs: KEY="$HOME/sub" or KEY="/abs"; anything else is ignored, as the
// format allows only those two forms.
std::optional<std::string> userDir(const std::string& configHome, const std::string& home,
                                   const std::string& key) {
    std::ifstream in(configHome + "/user-dirs.dirs");
    std::string line;
    while (std::getline(in, line)) {
        const auto start = line.find_first_not_of(" \t");
        if (start == std::string::npos || line[start] == '#') continue;
        if (line.compare(start, key.size() + 1, key + "=") != 0) continue;
        std::string value = line.substr(start + key.size() + 1);
        while (!value.empty() && (value.back() == '\r' || value.back() == ' ')) value.pop_back();
        if (value.size() >= 2 && value.front() == '"' && value.back() == '"')
            value = value.substr(1, value.size() - 2);
        if (value.rfind("$HOME", 0) == 0) value = home + value.substr(5);
        else if (value.rfind("~", 0) == 0) value = home + value.substr(1);
        if (value.empty() || value.front() != '/') return std::nullopt;
        while (value.size() > 1 && value.back() == '/') value.pop_back();
        return value;
    }
    return std::nullopt;
}

std::string standardFolder(const std::string& configHome, const std::string& home, const char* key,
                           const char* defaultName) {
    if (auto fromFile = userDir(configHome, home, key)) return *fromFile;
    const std::string guess = home + "/" + defaultName;
    return isFolder(guess) ? guess : home;
}

std::mutex gFoldersMutex;
std::optional<UserFolders> gFolders;

}  // namespace

UserFolders pmResolveUserFolders() {
    UserFolders folders;
    folders.home = homeFolder();
    const std::string xdg = envOr("XDG_CONFIG_HOME", "");
    folders.configHome = (!xdg.empty() && xdg.front() == '/') ? xdg : folders.home + "/.config";
    folders.documents = standardFolder(folders.configHome, folders.home, "XDG_DOCUMENTS_DIR", "Documents");
    folders.movies = standardFolder(folders.configHome, folders.home, "XDG_VIDEOS_DIR", "Videos");
    return folders;
}

const UserFolders& pmUserFolders() {
    std::lock_guard lock(gFoldersMutex);
    if (!gFolders) gFolders = pmResolveUserFolders();
    return *gFolders;
}

void pmReloadUserFolders() {
    std::lock_guard lock(gFoldersMutex);
    gFolders = pmResolveUserFolders();
}

std::string pmGetDocumentsFolder() { return pmUserFolders().documents; }
std::string pmGetMoviesFolder() { return pmUserFolders().movies; }
