#include "support/TempHome.h"

#include "Utility/ServicesConfig.h"
#include "Utility/UserFolders.h"
#include "support/LocalHttpServer.h"

#include <utime.h>

#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>

TempHome::TempHome() {
    std::string pattern = (std::filesystem::temp_directory_path() / "cartena-test-XXXXXX").string();
    if (!mkdtemp(pattern.data())) throw std::runtime_error("mkdtemp failed");
    root_ = pattern;
    std::filesystem::create_directories(documents());
    std::filesystem::create_directories(movies());
    std::filesystem::create_directories(configHome());

    if (const char* home = std::getenv("HOME")) hadHome_ = true, savedHome_ = home;
    if (const char* config = std::getenv("XDG_CONFIG_HOME")) hadConfig_ = true, savedConfig_ = config;
    setenv("HOME", root_.c_str(), 1);
    setenv("XDG_CONFIG_HOME", configHome().c_str(), 1);
    pmReloadUserFolders();
    writeServices(std::string(kClosedLocalAddress) + "/probe", std::string(kClosedLocalAddress) + "/tiles/{z}/{x}/{y}.png");
}

void TempHome::writeServices(const std::string& probe, const std::string& tiles) const {
    std::filesystem::create_directories(std::filesystem::path(pmServicesConfigPath()).parent_path());
    writeFile(pmServicesConfigPath(),
              R"({"map": {"tiles": ")" + tiles + R"("}, "connectivity": {"probe": ")" + probe + R"("}})" "\n");
}

TempHome::~TempHome() {
    if (hadHome_) setenv("HOME", savedHome_.c_str(), 1); else unsetenv("HOME");
    if (hadConfig_) setenv("XDG_CONFIG_HOME", savedConfig_.c_str(), 1); else unsetenv("XDG_CONFIG_HOME");
    pmReloadUserFolders();
    std::error_code ignored;
    std::filesystem::permissions(root_, std::filesystem::perms::owner_all, ignored);
    std::filesystem::remove_all(root_, ignored);
}

bool setLocalFileTime(const std::string& path, int year, int month, int day, int hour, int minute) {
    std::tm local{};
    local.tm_year = year - 1900, local.tm_mon = month - 1, local.tm_mday = day;
    local.tm_hour = hour, local.tm_min = minute;
    local.tm_isdst = -1;
    const std::time_t when = std::mktime(&local);
    const utimbuf times{when, when};
    return ::utime(path.c_str(), &times) == 0;
}

bool writeFile(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << bytes;
    return static_cast<bool>(out);
}

std::string readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream content;
    content << in.rdbuf();
    return content.str();
}
