#include "support/TempHome.h"

#include "Utility/DiagnosticLog.h"
#include "Utility/ServicesConfig.h"
#include "Utility/UserFolders.h"

#include <fcntl.h>
#include <sys/stat.h>

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
}

void TempHome::writeServices(const std::string& probe, const std::string& tiles) const {
    const std::filesystem::path folder = std::filesystem::path(pmServicesConfigPath()).parent_path();
    std::filesystem::create_directories(folder);
    std::filesystem::permissions(folder, std::filesystem::perms::owner_all);  // as the program makes it
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

std::time_t localTime(int year, int month, int day, int hour, int minute, int second) {
    std::tm fields{};  // the fields mktime reads; gcc wants every other one named in a designated list
    fields.tm_year = year - 1900;
    fields.tm_mon = month - 1;
    fields.tm_mday = day;
    fields.tm_hour = hour;
    fields.tm_min = minute;
    fields.tm_sec = second;
    fields.tm_isdst = -1;
    return std::mktime(&fields);
}

bool setFileTime(const std::string& path, std::time_t seconds, long nanoseconds) {
    const timespec times[2] = {{seconds, nanoseconds}, {seconds, nanoseconds}};
    return ::utimensat(AT_FDCWD, path.c_str(), times, 0) == 0;
}

bool setLocalFileTime(const std::string& path, int year, int month, int day, int hour, int minute) {
    return setFileTime(path, localTime(year, month, day, hour, minute));
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

std::vector<std::string> logMessages() {
    std::vector<std::string> messages;
    std::istringstream in(readFile(pmLogFilePath()));
    // "2024-05-01 08:15:02.7 message": the message follows the second blank.
    for (std::string line; std::getline(in, line);) messages.push_back(line.substr(line.find(' ', 11) + 1));
    return messages;
}
