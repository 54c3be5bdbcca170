#include "telemetry/TelemetryLoader.h"

#include "Utility/DiagnosticLog.h"
#include "library/RecordingName.h"
#include "telemetry/AviTelemetry.h"
#include "telemetry/GpsLogFile.h"
#include "telemetry/RecordingLength.h"

#include <cmath>

const char* pmTelemetrySourceName(TelemetrySource source) {
    switch (source) {
        case TelemetrySource::TextLog: return "text log";
        case TelemetrySource::AviChunks: return "AVI telemetry chunks";
        case TelemetrySource::AviSensorOnly: return "AVI G-sensor chunk";
        case TelemetrySource::None: break;
    }
    return "none";
}

TelemetryPeak pmGetTelemetryPeak(const GpsList& list) {
    TelemetryPeak peak{std::fabs(list.GetMaxGValue()), list.GetMaxGIndex()};
    const float minimum = std::fabs(list.GetMinGValue());
    if (minimum > peak.value) peak = {minimum, list.GetMinGIndex()};
    return peak;
}

int pmGetEventTime(const GpsList& list, std::uint16_t recordType) {
    if (recordType != kRecordEvent || !list.IsGSensorReady()) return -1;
    const TelemetryPeak peak = pmGetTelemetryPeak(list);
    return peak.value > 0.5f ? peak.index : -1;
}

TelemetryLoad pmLoadTelemetry(const std::string& path, double lengthSeconds, GpsList& list,
                              std::vector<std::int64_t>* sampleTimes) {
    TelemetryLoad load;
    load.lengthSeconds = lengthSeconds >= 1.0 && lengthSeconds < 2147483647.0 ? static_cast<int>(lengthSeconds) : 0;
    list.ClearAllData();
    if (sampleTimes) sampleTimes->clear();
    if (path.empty()) return load;
    load.recordType = pmGetRecordFileType(path);
    load.motorType = pmGetMotorTypeFile(path);

    if (const auto log = pmGetGpsLogFile(path)) {
        load.logPath = *log;
        pmOutputDebugMsg("OnOpenGpsFile() - Found GPS file  - " + *log);
        GpsParser parser;
        parser.setSampleTimes(sampleTimes);
        load.found = parser.ParseFile(*log, &list);
        load.source = TelemetrySource::TextLog;
        load.logUnreadable = !load.found;
        load.logErrorCode = parser.errorCode();
        load.logError = parser.errorText();
        load.logIssue = parser.firstIssue();
        load.logIssueCount = parser.issueCount();
    } else {
        pmOutputDebugMsg("OnOpenGpsFile() - No GPS file !");
        list.ClearAllData();
        if (pmGetVideoFileType(path) == kVideoFileAvi) {
            load.found = pmParseAviGpsSenser(path, &list, load.lengthSeconds);
            load.source = TelemetrySource::AviChunks;
            if (!load.found) {
                load.found = pmParseAviSensor(path, &list);
                load.source = TelemetrySource::AviSensorOnly;
            }
        }
    }
    if (!load.found) {
        if (load.source != TelemetrySource::TextLog) load.source = TelemetrySource::None;
    } else if (list.IsGSensorReady()) {
        list.SyncVideoDuration(load.lengthSeconds);
    }
    if (sampleTimes) sampleTimes->resize(static_cast<std::size_t>(list.GetDataCount()), -1);
    const TelemetryPeak peak = pmGetTelemetryPeak(list);
    load.peakValue = peak.value;
    load.peakIndex = peak.index;
    if (load.found) load.eventTime = pmGetEventTime(list, load.recordType);
    return load;
}

TelemetryLoad pmLoadTelemetryFromFile(const std::string& path, GpsList& list, std::vector<std::int64_t>* sampleTimes,
                                      double lengthOverride) {
    double length = lengthOverride;
    if (length < 0.0) length = pmGetRecordingLength(path).value_or(0.0);
    return pmLoadTelemetry(path, length, list, sampleTimes);
}
