#include "cli/TelemetryCommon.h"

#include "Utility/FileReader.h"
#include "library/ContainerProbe.h"
#include "library/RecordingName.h"

#include <sys/stat.h>

#include <cstdio>

namespace {

// Why the path is not a recording to read telemetry for; null when it is one. Only the extension
// and the container's first bytes count, so that a recording cut short still gives its log's
// telemetry.
const char* notARecording(const std::string& path) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) return "no such file";
    if (S_ISDIR(st.st_mode)) return "a folder, not a recording";
    FileReader file(path);
    if (!pmHasContainerSignature(file, pmGetVideoFileType(path)))
        return "not a recording (an AVI file, or an MP4 or MOV file that starts with its ftyp box)";
    return nullptr;
}

}  // namespace

void loadTelemetryForCommand(const std::string& command, const std::string& path, double lengthOverride,
                             LoadedTelemetry& out) {
    out.ok = false;
    if (const char* reason = notARecording(path)) {
        std::fprintf(stderr, "cartena %s: %s: %s\n", command.c_str(), path.c_str(), reason);
        return;
    }
    out.recording = true;
    out.load = pmLoadTelemetryFromFile(path, out.list, &out.sampleTimes, lengthOverride);
    const TelemetryLoad& load = out.load;
    if (load.logUnreadable) {
        std::fprintf(stderr, "cartena %s: %s: the log cannot be read: %s\n", command.c_str(), load.logPath.c_str(),
                     load.logError.c_str());
        return;
    }
    if (load.logIssueCount > 0) {
        std::fprintf(stderr, "cartena %s: %s:%d: %s", command.c_str(), load.logPath.c_str(), load.logIssue.line,
                     load.logIssue.message);
        if (load.logIssueCount > 1) std::fprintf(stderr, " (and %d more lines with problems)", load.logIssueCount - 1);
        std::fputc('\n', stderr);
    }
    out.ok = true;
}
