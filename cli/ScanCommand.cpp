#include "cli/Commands.h"
#include "cli/PlaylistOptions.h"
#include "library/FileDate.h"
#include "library/RecordingName.h"
#include "library/VideoLibrary.h"

#include <nlohmann/json.hpp>
#include <sys/stat.h>

#include <algorithm>
#include <array>
#include <charconv>
#include <cstring>
#include <cstdio>
#include <ctime>
#include <memory>
#include <string>
#include <string_view>

namespace {

struct ScanOptions {
    std::string folder;
    bool json = false;
    PlaylistOptions playlist;
};

// Control bytes would break the one-row-per-recording layout; everything else is printed as is.
std::string printable(const std::string& path) {
    std::string out;
    for (const char c : path) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x20 || byte == 0x7f) {
            char escaped[5];
            std::snprintf(escaped, sizeof escaped, "\\x%02X", byte);
            out += escaped;
        } else {
            out += c;
        }
    }
    return out;
}

std::string shownDate(FileDate date) { return pmGetDateStringFromNSDate(date) + " " + pmGetTimeStringFromNSDate(date); }

const char* videoTypeName(std::int32_t type) {
    switch (type) {
        case kVideoFileAvi:
            return "AVI";
        case kVideoFileMov:
            return "MOV";
        case kVideoFileMp4:
            return "MP4";
        default:
            return "?";
    }
}

const char* cameraName(std::uint16_t camera) {
    return camera == kCameraFront ? "front" : camera == kCameraRear ? "rear" : "-";
}

struct Row {
    const std::string* path;  // the playlist's own
    FileDate date;
    std::int32_t videoType;
    std::uint16_t recordType;
    std::uint16_t camera;
    std::int16_t motorType;
    std::optional<std::string> partnerPath;
    std::int32_t partnerIndex;
};

std::vector<Row> rowsOf(const VideoLibrary& library) {
    std::vector<Row> rows;
    rows.reserve(library.playlist().size());
    const auto& playlist = library.playlist();
    for (std::size_t i = 0; i < playlist.size(); ++i) {
        const std::string& path = playlist[i].URL();
        std::optional<std::string> partner = pmGetAnotherCameraFile(path);
        const std::int32_t partnerIndex = library.getAnotherCameraFile(static_cast<std::int32_t>(i), partner);
        rows.push_back({&path, playlist[i].fileDate(), pmGetVideoFileType(path), pmGetRecordFileType(path),
                        pmCheckDualCameraFileType(path), pmGetMotorTypeFile(path), std::move(partner), partnerIndex});
    }
    return rows;
}

// The JSON document's text, written through a small buffer of its own: a playlist of thousands of
// rows is megabytes in millions of small pieces, too many for string appends or stdio calls.
class JsonText {
public:
    explicit JsonText(std::FILE* out) : out_(out) {}
    ~JsonText() { flush(); }
    JsonText(const JsonText&) = delete;
    JsonText& operator=(const JsonText&) = delete;

    void put(std::string_view piece) {
        if (buffer_.size() - used_ < piece.size()) {
            flush();
            if (piece.size() > buffer_.size()) {
                std::fwrite(piece.data(), 1, piece.size(), out_);
                return;
            }
        }
        std::memcpy(buffer_.data() + used_, piece.data(), piece.size());
        used_ += piece.size();
    }
    void put(char c) { put(std::string_view(&c, 1)); }
    // The number in decimal, with leading zeros up to `width` digits.
    void number(long long value, std::size_t width = 0) {
        char digits[24];
        const auto length = static_cast<std::size_t>(std::to_chars(digits, digits + sizeof digits, value).ptr - digits);
        for (std::size_t i = length; i < width; ++i) put('0');
        put(std::string_view(digits, length));
    }
    // A JSON string of the text. Paths are bytes; JSON text is UTF-8, so bytes that are not get the
    // replacement character.
    void string(std::string_view text) {
        const bool plain = std::all_of(text.begin(), text.end(), [](char c) {
            return static_cast<unsigned char>(c) >= 0x20 && static_cast<unsigned char>(c) < 0x7f && c != '"' && c != '\\';
        });
        if (!plain) {
            put(nlohmann::json(std::string(text)).dump(-1, ' ', false, nlohmann::json::error_handler_t::replace));
            return;
        }
        put('"');
        put(text);
        put('"');
    }
    // ISO 8601 with the local offset, as a string: "2024-05-03T10:00:00+02:00".
    void isoDate(FileDate date) {
        const std::time_t whole =
            static_cast<std::time_t>(std::chrono::floor<std::chrono::seconds>(date.time_since_epoch()).count());
        struct tm t {};
        localtime_r(&whole, &t);
        const long offset = t.tm_gmtoff / 60;
        put('"');
        number(t.tm_year + 1900LL, 4);
        const std::pair<char, long> fields[] = {{'-', t.tm_mon + 1}, {'-', t.tm_mday}, {'T', t.tm_hour}, {':', t.tm_min},
                                                {':', t.tm_sec},     {offset < 0 ? '-' : '+', std::labs(offset) / 60},
                                                {':', std::labs(offset) % 60}};
        for (const auto& [separator, value] : fields) {
            put(separator);
            number(value, 2);
        }
        put('"');
    }
    void flush() {
        std::fwrite(buffer_.data(), 1, used_, out_);
        used_ = 0;
    }

private:
    std::FILE* out_;
    std::array<char, 64 * 1024> buffer_;
    std::size_t used_ = 0;
};

// The document: keys in alphabetical order, two blanks of indent (the layout nlohmann's dump
// gives a document of the same values), written out as it goes.
void writeJsonDocument(std::FILE* file, const ScanOptions& options, const PlaylistFilter& filter,
                       std::size_t libraryCount, const std::vector<Row>& rows, std::size_t events, std::size_t paired) {
    JsonText out(file);
    const auto key = [&](std::string_view indent, std::string_view name) {
        out.put(indent);
        out.put('"');
        out.put(name);
        out.put("\": ");
    };
    const auto flag = [&](std::string_view indent, std::string_view name, bool value, std::string_view after) {
        key(indent, name);
        out.put(value ? "true" : "false");
        out.put(after);
    };
    key("{\n  ", "eventCount");
    out.number(static_cast<long long>(events));
    key(",\n  ", "filter");
    key("{\n    ", "day");
    if (filter.allFile)
        out.put("null");
    else
        out.string(options.playlist.day);
    flag(",\n    ", "event", filter.showEvent, "");
    flag(",\n    ", "normal", filter.showNormal, "");
    flag(",\n    ", "parking", filter.showParking, "\n  }");
    key(",\n  ", "folder");
    out.string(options.folder);
    key(",\n  ", "libraryCount");
    out.number(static_cast<long long>(libraryCount));
    key(",\n  ", "pairedCount");
    out.number(static_cast<long long>(paired));
    key(",\n  ", "playlist");
    out.put(rows.empty() ? "[]" : "[");
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const Row& row = rows[i];
        key(i == 0 ? "\n    {\n      " : ",\n    {\n      ", "cameraCode");
        out.number(row.camera);
        key(",\n      ", "date");
        out.isoDate(row.date);
        key(",\n      ", "index");
        out.number(static_cast<long long>(i));
        key(",\n      ", "motorType");
        out.number(row.motorType);
        key(",\n      ", "partnerIndex");
        out.number(row.partnerIndex);
        key(",\n      ", "partnerPath");
        if (row.partnerPath)
            out.string(*row.partnerPath);
        else
            out.put("null");
        key(",\n      ", "path");
        out.string(*row.path);
        key(",\n      ", "recordingType");
        out.number(row.recordType);
        key(",\n      ", "videoFileType");
        out.number(row.videoType);
        out.put("\n    }");
    }
    if (!rows.empty()) out.put("\n  ]");
    key(",\n  ", "playlistCount");
    out.number(static_cast<long long>(rows.size()));
    out.put("\n}\n");
}

int runScan(const ScanOptions& options) {
    struct stat st {};
    if (::stat(options.folder.c_str(), &st) != 0) {
        std::fprintf(stderr, "cartena scan: no such folder: %s\n", printable(options.folder).c_str());
        return 1;
    }
    if (!S_ISDIR(st.st_mode)) {
        std::fprintf(stderr, "cartena scan: not a folder: %s\n", printable(options.folder).c_str());
        return 1;
    }

    const PlaylistFilter filter = pmPlaylistFilterOf(options.playlist);
    const VideoLibrary library = pmScanPlaylist(options.folder, filter);
    const std::vector<Row> rows = rowsOf(library);

    std::size_t events = 0, paired = 0;
    for (const Row& row : rows) {
        events += row.recordType == kRecordEvent;
        paired += row.partnerIndex >= 0;
    }

    if (options.json) {
        writeJsonDocument(stdout, options, filter, library.videoLib().size(), rows, events, paired);
        return 0;
    }

    for (const Row& row : rows) {
        const std::string partner =
            row.partnerIndex >= 0 ? printable(*rows[static_cast<std::size_t>(row.partnerIndex)].path) : "-";
        std::printf("%s  %-3s  %-6s  %-5s  %d  %s  %s\n", shownDate(row.date).c_str(), videoTypeName(row.videoType),
                    row.recordType == kRecordEvent ? "event" : "normal", cameraName(row.camera), row.motorType,
                    printable(*row.path).c_str(), partner.c_str());
    }
    std::printf("%zu recordings in the playlist (%zu event, %zu normal, %zu in front/rear pairs), %zu in the library\n",
                rows.size(), events, rows.size() - events, paired, library.videoLib().size());
    return 0;
}

}  // namespace

void addScanCommand(CLI::App& app, int& exitCode) {
    auto options = std::make_shared<ScanOptions>();
    CLI::App* scan = app.add_subcommand(
        "scan",
        "Scan a folder (a camera's card) and list its playlist in date order: date, container, recording type, "
        "camera, motor type, path and the paired recording of the other camera ('-' when none is next to it). "
        "Appends to the diagnostic log; writes nothing into the folder.");
    scan->add_option("DIR", options->folder, "Folder to scan, sub-folders included")->required();
    scan->add_flag("--json", options->json, "Print JSON instead of rows");
    addPlaylistOptions(*scan, options->playlist);
    scan->footer(
        "The three boxes are all on when none of --normal, --event, --parking is given; naming any of them turns "
        "on only the ones named.");
    scan->callback([options, &exitCode] { exitCode = runScan(*options); });
}
