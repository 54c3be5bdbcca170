#pragma once
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// The mount table as the kernel shows it to this process (/proc/self/mountinfo), and the volume
// a folder lies on.

struct MountEntry {
    int mountId = -1;
    int parentId = -1;
    unsigned major = 0;
    unsigned minor = 0;
    std::string mountPoint;  // unescaped ("\040" back to a space)
    std::string fsType;
    std::string source;
    std::string superOptions;

    bool sameMount(const MountEntry& other) const {
        return mountId == other.mountId && major == other.major && minor == other.minor &&
               mountPoint == other.mountPoint;
    }
};

// Lines that do not have the expected shape are left out.
std::vector<MountEntry> pmParseMountInfo(std::string_view text);
// The current process's table; empty when it cannot be read.
std::vector<MountEntry> pmReadMountInfo();

// The mount holding an absolute, canonical path: the longest mount point that is the path or one of
// its ancestors; of equal mount points the one listed last, which covers the others.
std::optional<MountEntry> pmFindMount(const std::vector<MountEntry>& mounts, const std::string& path);

// The path with its links resolved as far as it exists, then made lexically normal; the result
// has no trailing "/" unless it is "/".
std::string pmCanonicalFolderPath(const std::string& path);

// The root of the volume that holds the folder: the mount point of its file system, or none when
// the folder lies on the system's own file system ("/") or the table cannot be read.
std::optional<std::string> pmGetDiskVolume(const std::string& path);
std::optional<std::string> pmGetDiskVolume(const std::string& path, const std::vector<MountEntry>& mounts);
