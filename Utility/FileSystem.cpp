#include "Utility/FileSystem.h"

#include <sys/stat.h>

#include <cstdint>
#include <filesystem>

bool pmIsFileExist(const std::string& path) {
    struct stat st {};
    return !path.empty() && ::stat(path.c_str(), &st) == 0;
}

bool pmDeleteFile(const std::string& path) {
    std::error_code error;
    const auto removed = std::filesystem::remove_all(path, error);
    return !error && removed != static_cast<std::uintmax_t>(-1) && removed > 0;
}
