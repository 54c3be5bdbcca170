#include "Utility/FilePreferencesStore.h"

#include "Utility/DiagnosticLog.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <ctime>

namespace {

constexpr const char* kFileName = "settings.json";

// Creates the folder and any missing parents with mode 0700: the file will hold account tokens.
bool makeFolders(const std::string& path) {
    for (std::size_t slash = 1; slash != std::string::npos;) {
        slash = path.find('/', slash + 1);
        const std::string part = path.substr(0, slash);
        if (::mkdir(part.c_str(), 0700) != 0 && errno != EEXIST) return false;
    }
    return true;
}

bool writeAll(int fd, const std::string& bytes) {
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        done += static_cast<std::size_t>(n);
    }
    return true;
}

std::string timeStamp() {
    const std::time_t now = std::time(nullptr);
    struct tm local {};
    localtime_r(&now, &local);
    char text[32];
    std::strftime(text, sizeof text, "%Y%m%d-%H%M%S", &local);
    return text;
}

}  // namespace

FilePreferencesStore::FilePreferencesStore(std::string folder)
    : folder_(std::move(folder)), file_(folder_ + "/" + kFileName) {
    load();
}

void FilePreferencesStore::load() {
    const int fd = ::open(file_.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        if (errno != ENOENT) {
            unreadableFileInPlace_ = true;
            pmOutputDebugMsgF("Settings - cannot read %s: %s", file_.c_str(), std::strerror(errno));
        }
        return;
    }
    std::string bytes;
    char buffer[8192];
    ssize_t n;
    while ((n = ::read(fd, buffer, sizeof buffer)) > 0) bytes.append(buffer, static_cast<std::size_t>(n));
    const bool readFailed = n < 0;
    ::close(fd);

    auto parsed = nlohmann::json::parse(bytes, nullptr, false);
    if (readFailed || parsed.is_discarded() || !parsed.is_object()) {
        unreadableFileInPlace_ = true;
        pmOutputDebugMsgF("Settings - %s cannot be parsed; using defaults", file_.c_str());
        return;
    }
    values_ = std::move(parsed);
}

std::optional<PreferenceValue> FilePreferencesStore::value(const std::string& key) const {
    const auto it = values_.find(key);
    if (it == values_.end()) return std::nullopt;
    if (it->is_string()) return PreferenceValue(it->get<std::string>());
    // Integers are read as signed 32-bit (low 32 bits); other numbers truncate; any other kind of
    // value is present but no number and no string.
    if (it->is_number_integer()) return PreferenceValue(static_cast<std::int32_t>(it->get<std::int64_t>()));
    if (it->is_number_float()) return PreferenceValue(static_cast<std::int32_t>(it->get<double>()));
    if (it->is_boolean()) return PreferenceValue(std::int32_t(it->get<bool>() ? 1 : 0));
    return PreferenceValue(std::monostate{});
}

void FilePreferencesStore::setValue(const std::string& key, const PreferenceValue& value) {
    if (const auto* number = std::get_if<std::int32_t>(&value)) values_[key] = *number;
    else if (const auto* text = std::get_if<std::string>(&value)) values_[key] = *text;
    else values_[key] = nullptr;
    save(false);
}

bool FilePreferencesStore::synchronize() { return save(true); }

bool FilePreferencesStore::moveUnreadableFileAside() {
    const std::string aside = file_ + ".unreadable-" + timeStamp();
    if (::rename(file_.c_str(), aside.c_str()) != 0 && errno != ENOENT) return false;
    setAside_ = aside;
    unreadableFileInPlace_ = false;
    pmOutputDebugMsgF("Settings - moved the unreadable settings file to %s", aside.c_str());
    return true;
}

bool FilePreferencesStore::save(bool syncFolder) {
    if (!makeFolders(folder_)) {
        reportWriteFailure("cannot create " + folder_);
        return false;
    }
    if (unreadableFileInPlace_ && !moveUnreadableFileAside()) {
        reportWriteFailure("cannot move the unreadable " + file_ + " aside");
        return false;
    }

    std::string temp = file_ + ".XXXXXX";
    const int fd = ::mkostemp(temp.data(), O_CLOEXEC);  // mkostemp creates it with mode 0600
    if (fd < 0) {
        reportWriteFailure("cannot create a file in " + folder_);
        return false;
    }
    const std::string bytes = values_.dump(2) + "\n";
    const bool written = writeAll(fd, bytes) && ::fsync(fd) == 0;
    const int savedErrno = errno;
    ::close(fd);
    if (!written || ::rename(temp.c_str(), file_.c_str()) != 0) {
        ::unlink(temp.c_str());
        errno = savedErrno;
        reportWriteFailure("cannot write " + file_);
        return false;
    }
    if (syncFolder) {
        const int dir = ::open(folder_.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        if (dir >= 0) {
            ::fsync(dir);
            ::close(dir);
        }
    }
    return true;
}

void FilePreferencesStore::reportWriteFailure(const std::string& what) {
    const std::string reason = what + ": " + std::strerror(errno);
    pmOutputDebugMsgF("Settings - %s; changes are kept for this run only", reason.c_str());
    if (!writeFailureReported_) {
        writeFailureReported_ = true;
        std::fprintf(stderr, "cartena: settings %s; changes are kept for this run only\n", reason.c_str());
    }
}
