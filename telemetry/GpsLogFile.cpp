#include "telemetry/GpsLogFile.h"

#include "Utility/DiagnosticLog.h"
#include "Utility/FileSystem.h"

#include <filesystem>

namespace fs = std::filesystem;

std::optional<std::string> pmGetGpsLogFile(const std::string& recordingPath) {
    if (recordingPath.empty()) return std::nullopt;
    const std::size_t slash = recordingPath.rfind('/');
    const std::size_t nameStart = slash == std::string::npos ? 0 : slash + 1;
    const std::size_t dot = recordingPath.rfind('.');
    const bool hasExtension = dot != std::string::npos && dot > nameStart;
    const std::string base = hasExtension ? recordingPath.substr(0, dot) : recordingPath;
    const std::string title = base.substr(nameStart);

    std::optional<std::string> found;
    std::string tried;
    for (const char* extension : {".log", ".txt", ".nmea", ".NMEA"}) {
        tried = base + extension;
        if (pmIsFileExist(tried)) {
            found = tried;
            break;
        }
    }
    if (!found) pmOutputDebugMsg("pmGetGpsLogFile() - GPS NMEA file not found! " + tried);

    // A log folder beside the recording's folder decides alone, even against a log beside it.
    std::error_code error;
    fs::path recording = fs::absolute(fs::path(recordingPath), error);
    if (error) recording = fs::path(recordingPath);
    recording = recording.lexically_normal();
    const fs::path logFolder = recording.parent_path().parent_path() / "NMEA";
    if (pmIsFileExist(logFolder.string())) {
        found.reset();
        for (const char* extension : {".nmea", ".NMEA"}) {
            const std::string candidate = (logFolder / (title + extension)).string();
            if (pmIsFileExist(candidate)) {
                found = candidate;
                break;
            }
        }
    }
    if (!found && pmIsFileExist(recordingPath + ".txt")) found = recordingPath + ".txt";
    return found;
}
