#include "outputs/GpxSave.h"

#include <charconv>
#include <cstdio>

namespace {

void appendShortest(std::string& out, float value) {
    char buffer[64];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed);
    out.append(buffer, result.ptr);
}

void appendFixed(std::string& out, double value, int decimals) {
    char buffer[400];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, decimals);
    out.append(buffer, result.ptr);
}

std::string escaped(const std::string& text) {
    std::string out;
    for (char c : text) {
        switch (c) {
            case '&': out += "&amp;"; break;
            case '<': out += "&lt;"; break;
            case '>': out += "&gt;"; break;
            case '"': out += "&quot;"; break;
            default: out += c;
        }
    }
    return out;
}

void civilFromDays(std::int64_t z, int& year, int& month, int& day) {
    z += 719468;
    const std::int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    const auto doe = static_cast<unsigned>(z - era * 146097);
    const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const unsigned mp = (5 * doy + 2) / 153;
    day = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
    month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    year = static_cast<int>(yoe + era * 400 + (month <= 2));
}

}  // namespace

std::string pmGpxTime(std::int64_t utcMillis) {
    std::int64_t seconds = utcMillis / 1000;
    int millis = static_cast<int>(utcMillis % 1000);
    if (millis < 0) {
        millis += 1000;
        --seconds;
    }
    std::int64_t days = seconds / 86400;
    std::int64_t rest = seconds % 86400;
    if (rest < 0) {
        rest += 86400;
        --days;
    }
    int year, month, day;
    civilFromDays(days, year, month, day);
    char text[48];
    const int hh = static_cast<int>(rest / 3600), mm = static_cast<int>(rest / 60 % 60), ss = static_cast<int>(rest % 60);
    if (millis)
        std::snprintf(text, sizeof text, "%04d-%02d-%02dT%02d:%02d:%02d.%03dZ", year, month, day, hh, mm, ss, millis);
    else
        std::snprintf(text, sizeof text, "%04d-%02d-%02dT%02d:%02d:%02dZ", year, month, day, hh, mm, ss);
    return text;
}

std::string pmGpxDocument(const GpxTrack& track) {
    std::string out =
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
        "<gpx version=\"1.1\" creator=\"Cartena Manager\" xmlns=\"http://www.topografix.com/GPX/1/1\" "
        "xmlns:gpxtpx=\"http://www.garmin.com/xmlschemas/TrackPointExtension/v2\" "
        "xmlns:xsi=\"http://www.w3.org/2001/XMLSchema-instance\" "
        "xsi:schemaLocation=\"http://www.topografix.com/GPX/1/1 http://www.topografix.com/GPX/1/1/gpx.xsd "
        "http://www.garmin.com/xmlschemas/TrackPointExtension/v2 "
        "http://www.garmin.com/xmlschemas/TrackPointExtensionv2.xsd\">\n";
    const std::string name = escaped(track.name);
    out += "  <metadata>\n    <name>" + name + "</name>\n  </metadata>\n";
    out += "  <trk>\n    <name>" + name + "</name>\n    <trkseg>\n";
    if (track.list) {
        const auto& samples = track.list->gpslist();
        for (std::size_t i = 0; i < samples.size(); ++i) {
            const GpsData& sample = samples[i];
            if (!sample.hasPosition()) continue;
            out += "      <trkpt lat=\"";
            appendShortest(out, sample.fLatitude());
            out += "\" lon=\"";
            appendShortest(out, sample.fLongitude());
            out += "\">";
            // 0 is also what a sample holds when its log gave no altitude.
            if (sample.dAltitude() != GpsData::kNoAltitude && sample.dAltitude() != 0.0) {
                out += "<ele>";
                appendFixed(out, sample.dAltitude(), 1);
                out += "</ele>";
            }
            std::int64_t time = track.startMillis + static_cast<std::int64_t>(i) * 1000;
            if (track.sampleTimes && i < track.sampleTimes->size() && (*track.sampleTimes)[i] >= 0)
                time = (*track.sampleTimes)[i];
            out += "<time>" + pmGpxTime(time) + "</time>";
            const bool speed = sample.fSpeed() >= 0.0f;
            const bool course = sample.fDirection() >= 0.0f && sample.fDirection() < 360.0f;
            if (speed || course) {
                out += "<extensions><gpxtpx:TrackPointExtension>";
                if (speed) {
                    out += "<gpxtpx:speed>";
                    appendFixed(out, sample.fSpeed() / 3.6, 3);
                    out += "</gpxtpx:speed>";
                }
                if (course) {
                    out += "<gpxtpx:course>";
                    appendFixed(out, sample.fDirection(), 1);
                    out += "</gpxtpx:course>";
                }
                out += "</gpxtpx:TrackPointExtension></extensions>";
            }
            out += "</trkpt>\n";
        }
    }
    out += "    </trkseg>\n  </trk>\n</gpx>\n";
    return out;
}

ExportResult outputGPX(const std::string& path, const GpxTrack& track, bool replace) {
    if (track.list == nullptr || !track.list->IsGPSReady()) return {ExportStatus::NothingToWrite, 0};
    return pmExportBytes(path, replace, pmGpxDocument(track));
}
