#include "tools/SampleCard.h"

#include "Utility/FileReader.h"
#include "tools/SampleScene.h"
#include "tools/SampleTelemetry.h"
#include "tools/VideoEncoder.h"

extern "C" {
#include <libavutil/log.h>
}

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cstring>
#include <filesystem>
#include <thread>

namespace fs = std::filesystem;

namespace {

constexpr std::uint64_t kSmallestListedMp4 = 2049;  // files of 2048 bytes or less are not recordings

struct TopBoxes {
    std::uint64_t mdat = 0;
    std::uint64_t moov = 0;
    bool hasMdat = false;
    bool hasMoov = false;
};

// Where the top-level media-data and movie boxes of an MP4 we just wrote begin.
bool findTopBoxes(const std::string& path, TopBoxes& boxes) {
    FileReader reader(path);
    if (!reader.isOpen()) return false;
    std::uint64_t offset = 0;
    while (offset + 8 <= reader.size()) {
        unsigned char header[16];
        if (!reader.readAt(offset, header, 8)) return false;
        std::uint64_t size = pmReadBE32(header);
        if (size == 1) {
            if (!reader.readAt(offset + 8, header + 8, 8)) return false;
            size = pmReadBE64(header + 8);
        } else if (size == 0) {
            size = reader.size() - offset;
        }
        if (size < 8) return false;
        if (std::memcmp(header + 4, "mdat", 4) == 0) {
            boxes.mdat = offset;
            boxes.hasMdat = true;
        } else if (std::memcmp(header + 4, "moov", 4) == 0) {
            boxes.moov = offset;
            boxes.hasMoov = true;
        }
        offset += size;
    }
    return true;
}

// Cuts the file in the middle of its media data, so that the movie box written at the end is gone.
bool cutBeforeMoov(const std::string& path, std::string& error) {
    TopBoxes boxes;
    if (!findTopBoxes(path, boxes) || !boxes.hasMdat || !boxes.hasMoov || boxes.moov < boxes.mdat) {
        error = "the movie box does not follow the media data";
        return false;
    }
    const std::uint64_t cut = boxes.mdat + (boxes.moov - boxes.mdat) / 2;
    if (::truncate(path.c_str(), off_t(cut)) != 0) {
        error = std::string("cutting the file: ") + std::strerror(errno);
        return false;
    }
    return true;
}

// Appends a free box so that the file is exactly `target` bytes long.
bool padWithFreeBox(const std::string& path, std::uint64_t target, std::string& error) {
    std::error_code ec;
    const std::uint64_t size = fs::file_size(path, ec);
    if (ec || size > target || (size < target && target - size < 8)) {
        error = "the recording is too large to pad to " + std::to_string(target) + " bytes";
        return false;
    }
    if (size == target) return true;
    std::string box(target - size, '\0');
    const std::uint32_t n = std::uint32_t(box.size());
    box[0] = char(n >> 24);
    box[1] = char(n >> 16);
    box[2] = char(n >> 8);
    box[3] = char(n);
    std::memcpy(box.data() + 4, "free", 4);
    const int fd = ::open(path.c_str(), O_WRONLY | O_APPEND | O_CLOEXEC);
    const bool written = fd >= 0 && ::write(fd, box.data(), box.size()) == ssize_t(box.size());
    if (fd >= 0) ::close(fd);
    if (!written) error = "padding the file failed";
    return written;
}

bool writeRecording(const SampleEntry& entry, const std::string& path, const SampleCardOptions& options,
                    std::string& error) {
    VideoEncoder encoder;
    VideoEncoder::Settings settings;
    settings.container = entry.container;
    settings.codec = entry.codec;
    settings.width = entry.width;
    settings.height = entry.height;
    settings.fps = entry.fps;
    settings.moovFirst = entry.moovFirst;
    // The tiny recording must fit in 2048 bytes with its movie box.
    if (entry.flaw == SampleFlaw::TooSmall) settings.quality = 40;
    if (!encoder.open(path, settings, error)) return false;
    RgbImage image(entry.width, entry.height);
    for (int i = 0; i < entry.frameCount(); ++i) {
        drawSampleFrame(image, entry, options.firstDay, options.seed, i);
        if (!encoder.addFrame(image, error)) return false;
    }
    if (!encoder.finish(error)) return false;
    switch (entry.flaw) {
    case SampleFlaw::None:
        return true;
    case SampleFlaw::TooShort: {
        std::error_code ec;
        if (fs::file_size(path, ec) < kSmallestListedMp4) {
            error = "the short recording came out too small";
            return false;
        }
        return true;
    }
    case SampleFlaw::TooSmall:
        return padWithFreeBox(path, kSmallestListedMp4 - 1, error);
    case SampleFlaw::NoMoov:
        return cutBeforeMoov(path, error);
    }
    return true;
}

bool writeTextFile(const std::string& path, const std::string& text, std::string& error) {
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    const bool written = fd >= 0 && ::write(fd, text.data(), text.size()) == ssize_t(text.size());
    if (fd >= 0) ::close(fd);
    if (!written) error = std::string("writing the file: ") + std::strerror(errno);
    return written;
}

bool setModeAndTime(const std::string& path, const SampleEntry& entry, const SampleCardOptions& options,
                    std::string& error) {
    if (::chmod(path.c_str(), entry.writeProtected ? 0444 : 0644) != 0) {
        error = std::string("setting the mode: ") + std::strerror(errno);
        return false;
    }
    const std::time_t when = sampleEntryTime(entry, options.firstDay);
    const timespec times[2] = {{when, 0}, {when, 0}};
    if (::utimensat(AT_FDCWD, path.c_str(), times, 0) != 0) {
        error = std::string("setting the date: ") + std::strerror(errno);
        return false;
    }
    return true;
}

// Keeps FFmpeg's encoders from chattering on standard error while the card is made.
class QuietLibav {
public:
    QuietLibav() : saved_(av_log_get_level()) {
        if (saved_ > AV_LOG_ERROR) av_log_set_level(AV_LOG_ERROR);
    }
    ~QuietLibav() { av_log_set_level(saved_); }
    QuietLibav(const QuietLibav&) = delete;
    QuietLibav& operator=(const QuietLibav&) = delete;

private:
    int saved_;
};

}  // namespace

SampleCardResult makeSampleCard(const std::string& folder, const SampleCardOptions& options,
                                const std::vector<SampleEntry>& entries) {
    SampleCardResult result;
    std::error_code ec;
    const fs::path root(folder);
    if (fs::exists(root, ec)) {
        if (!fs::is_directory(root, ec)) {
            result.error = folder + " exists and is not a folder";
            return result;
        }
        if (!fs::is_empty(root, ec)) {
            result.error = folder + " exists and is not empty";
            return result;
        }
    }
    fs::create_directories(root, ec);
    if (ec) {
        result.error = "cannot create " + folder + ": " + ec.message();
        return result;
    }

    auto pathOf = [&](const SampleEntry& entry) { return (root / entry.relativePath()).string(); };
    auto fail = [&](const SampleEntry& entry, const std::string& why) {
        result.error = entry.relativePath() + ": " + why;
        return result;
    };

    // Folders first, so that the writers need not care about them.
    for (const SampleEntry& entry : entries) {
        const fs::path parent = entry.kind == SampleKind::Folder ? root / entry.relativePath() : root / entry.folder;
        fs::create_directories(parent, ec);
        if (ec) return fail(entry, ec.message());
    }

    std::vector<std::string> errors(entries.size());
    {
        const QuietLibav quiet;
        std::atomic<std::size_t> next{0};
        auto work = [&] {
            for (std::size_t i; (i = next++) < entries.size();) {
                const SampleEntry& entry = entries[i];
                if (entry.kind == SampleKind::Recording && !writeRecording(entry, pathOf(entry), options, errors[i]) &&
                    errors[i].empty())
                    errors[i] = "encoding failed";
            }
        };
        std::vector<std::thread> workers;
        for (int t = 1; t < options.threads; ++t) workers.emplace_back(work);
        work();
        for (std::thread& worker : workers) worker.join();
    }

    for (std::size_t i = 0; i < entries.size(); ++i) {
        const SampleEntry& entry = entries[i];
        const std::string path = pathOf(entry);
        std::string error = errors[i];
        if (!error.empty()) return fail(entry, error);
        switch (entry.kind) {
        case SampleKind::Recording:
            ++result.recordings;
            if (!addSampleTelemetryChunks(entry, path, error)) return fail(entry, error);
            for (const SampleRecordingHook& hook : options.recordingHooks)
                if (hook && !hook(entry, path, root.string(), error))
                    return fail(entry, error.empty() ? "a recording hook failed" : error);
            if (!setModeAndTime(path, entry, options, error)) return fail(entry, error);
            break;
        case SampleKind::TextFile:
            if (!writeTextFile(path, entry.makeText ? entry.makeText(entry, options.firstDay) : entry.text, error) || !setModeAndTime(path, entry, options, error))
                return fail(entry, error);
            break;
        case SampleKind::Folder:
            break;
        case SampleKind::FolderLink:
            fs::create_directory_symlink(entry.text, path, ec);
            if (ec) return fail(entry, ec.message());
            break;
        }
        ++result.entries;
    }

    for (auto it = fs::recursive_directory_iterator(root, ec); !ec && it != fs::recursive_directory_iterator();
         it.increment(ec))
        if (it->is_regular_file(ec) && !it->is_symlink(ec)) result.bytes += it->file_size(ec);
    result.ok = true;
    return result;
}
