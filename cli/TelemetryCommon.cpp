#include "cli/TelemetryCommon.h"

#include "Utility/FileSystem.h"

#include <cstdio>

void loadTelemetryForCommand(const std::string& command, const std::string& path, double lengthOverride,
                             LoadedTelemetry& out) {
    out.ok = false;
    if (!pmIsFileExist(path)) {
        std::fprintf(stderr, "cartena %s: %s: no such file\n", command.c_str(), path.c_str());
        return;
    }
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
