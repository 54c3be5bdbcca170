#include "library/DiskVolume.h"

#include <fcntl.h>
#include <unistd.h>

#include <charconv>
#include <filesystem>

namespace {

std::vector<std::string_view> splitFields(std::string_view line) {
    std::vector<std::string_view> fields;
    std::size_t pos = 0;
    while (pos < line.size()) {
        const std::size_t end = line.find(' ', pos);
        const std::size_t stop = end == std::string_view::npos ? line.size() : end;
        if (stop > pos) fields.push_back(line.substr(pos, stop - pos));
        pos = stop + 1;
    }
    return fields;
}

// The kernel writes space, tab, newline and backslash in names as three octal digits.
std::string unescape(std::string_view field) {
    const auto octal = [](char c) { return c >= '0' && c <= '7'; };
    std::string out;
    out.reserve(field.size());
    for (std::size_t i = 0; i < field.size(); ++i) {
        if (field[i] == '\\' && field.size() - i > 3 && octal(field[i + 1]) &&
            octal(field[i + 2]) && octal(field[i + 3])) {
            out.push_back(static_cast<char>((field[i + 1] - '0') * 64 + (field[i + 2] - '0') * 8 + (field[i + 3] - '0')));
            i += 3;
            continue;
        }
        out.push_back(field[i]);
    }
    return out;
}

template <typename T>
bool parseNumber(std::string_view text, T& value) {
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    return error == std::errc() && end == text.data() + text.size();
}

bool isSameOrAncestor(const std::string& ancestor, const std::string& path) {
    if (ancestor == "/") return !path.empty() && path[0] == '/';
    return path.size() >= ancestor.size() && path.compare(0, ancestor.size(), ancestor) == 0 &&
           (path.size() == ancestor.size() || path[ancestor.size()] == '/');
}

}  // namespace

std::vector<MountEntry> pmParseMountInfo(std::string_view text) {
    std::vector<MountEntry> mounts;
    std::size_t pos = 0;
    while (pos < text.size()) {
        std::size_t end = text.find('\n', pos);
        if (end == std::string_view::npos) end = text.size();
        const auto fields = splitFields(text.substr(pos, end - pos));
        pos = end + 1;

        // id parent major:minor root mount-point options [optional...] - type source super-options
        std::size_t dash = 6;
        while (dash < fields.size() && fields[dash] != "-") ++dash;
        if (fields.size() < 7 || dash + 2 >= fields.size()) continue;
        MountEntry entry;
        const auto colon = fields[2].find(':');
        if (!parseNumber(fields[0], entry.mountId) || !parseNumber(fields[1], entry.parentId) ||
            colon == std::string_view::npos || !parseNumber(fields[2].substr(0, colon), entry.major) ||
            !parseNumber(fields[2].substr(colon + 1), entry.minor))
            continue;
        entry.mountPoint = unescape(fields[4]);
        if (entry.mountPoint.empty() || entry.mountPoint[0] != '/') continue;
        entry.fsType = unescape(fields[dash + 1]);
        entry.source = unescape(fields[dash + 2]);
        if (dash + 3 < fields.size()) entry.superOptions = std::string(fields[dash + 3]);
        mounts.push_back(std::move(entry));
    }
    return mounts;
}

std::vector<MountEntry> pmReadMountInfo() {
    // A plain read loop: the file reports size 0 and is generated as it is read.
    const int fd = ::open("/proc/self/mountinfo", O_RDONLY | O_CLOEXEC);
    if (fd < 0) return {};
    std::string text;
    char buffer[16384];
    for (;;) {
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n <= 0) break;
        text.append(buffer, static_cast<std::size_t>(n));
    }
    ::close(fd);
    return pmParseMountInfo(text);
}

std::optional<MountEntry> pmFindMount(const std::vector<MountEntry>& mounts, const std::string& path) {
    const MountEntry* best = nullptr;
    for (const auto& mount : mounts) {
        if (!isSameOrAncestor(mount.mountPoint, path)) continue;
        if (!best || mount.mountPoint.size() >= best->mountPoint.size()) best = &mount;
    }
    if (!best) return std::nullopt;
    return *best;
}

std::string pmCanonicalFolderPath(const std::string& path) {
    namespace fs = std::filesystem;
    std::error_code error;
    fs::path absolute = fs::absolute(path, error);
    if (error) absolute = path;
    fs::path resolved = fs::weakly_canonical(absolute, error);
    if (error) resolved = absolute.lexically_normal();
    std::string text = resolved.string();
    while (text.size() > 1 && text.back() == '/') text.pop_back();
    return text;
}

std::optional<std::string> pmGetDiskVolume(const std::string& path, const std::vector<MountEntry>& mounts) {
    if (path.empty()) return std::nullopt;
    const auto mount = pmFindMount(mounts, pmCanonicalFolderPath(path));
    if (!mount || mount->mountPoint == "/") return std::nullopt;
    return mount->mountPoint;
}

std::optional<std::string> pmGetDiskVolume(const std::string& path) {
    return pmGetDiskVolume(path, pmReadMountInfo());
}
