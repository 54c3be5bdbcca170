#pragma once
// Files for the backup tests: sources with their own bytes, time and mode, and checks that a copy
// is the same file.
#include "support/TempHome.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <random>
#include <set>
#include <string>

namespace backuptest {

// Writes `size` bytes that differ from seed to seed, dated to the nanosecond, with a mode.
inline std::string writeSource(const std::string& path, std::size_t size, unsigned seed, mode_t mode = 0644) {
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    std::string bytes(size, '\0');
    std::mt19937 random(seed);
    for (char& c : bytes) c = static_cast<char>(random());
    EXPECT_TRUE(writeFile(path, bytes) && setFileTime(path, 1'700'000'000 + time_t(seed) * 3600, 123'456'789)) << path;
    EXPECT_EQ(::chmod(path.c_str(), mode), 0) << path;
    return path;
}

// The copy has the source's bytes, modification time and mode bits.
inline void expectSameFile(const std::string& source, const std::string& copy) {
    struct stat a {}, b {};
    ASSERT_EQ(::stat(source.c_str(), &a), 0) << source;
    ASSERT_EQ(::stat(copy.c_str(), &b), 0) << copy << " is missing";
    EXPECT_TRUE(readFile(source) == readFile(copy)) << copy << " differs from " << source;
    EXPECT_EQ(b.st_mtim.tv_sec * 1'000'000'000 + b.st_mtim.tv_nsec, a.st_mtim.tv_sec * 1'000'000'000 + a.st_mtim.tv_nsec) << copy;
    EXPECT_EQ(b.st_mode & 07777, a.st_mode & 07777) << copy;
}

// Every name under the folder, relative, sub-folders included.
inline std::set<std::string> namesUnder(const std::string& folder) {
    std::set<std::string> names;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(folder))
        names.insert(std::filesystem::relative(entry.path(), folder).string());
    return names;
}

}  // namespace backuptest
