#include "telemetry/AviTelemetry.h"

#include "Utility/FileReader.h"
#include "telemetry/AviChunkWalk.h"

#include <vector>

namespace {

// Running extremes of the chunk readers: they start at 0 for each chunk and replace the track's.
struct RunningExtremes {
    float max = 0.0f;
    float min = 0.0f;

    void apply(GpsList& list, float x, float y, float z, int index) {
        max = MaxValue(MaxValue(max, x), MaxValue(y, z));
        min = MinValue(MinValue(min, x), MinValue(y, z));
        const bool one = list.GetDataCount() == 1;
        if (max > list.fMaxGValue() || one) list.setNMaxGIndex(index);
        if (list.fMinGValue() > min || one) list.setNMinGIndex(index);
        list.setFMaxGValue(max);
        list.setFMinGValue(min);
    }
};

struct Axes {
    float x, y, z;
};

Axes decodeSgltRecord(const unsigned char* record) {
    return {pmDecodeSgltAxis(record + 5), pmDecodeSgltAxis(record + 10), pmDecodeSgltAxis(record + 15)};
}

}  // namespace

float pmDecodeSlltCoordinate(const unsigned char* p) {
    const auto whole = static_cast<std::int16_t>(std::uint16_t(p[0] << 8 | p[1]));
    const double fraction = pmReadBE32(p + 2) / 100000000.0;
    return static_cast<float>(whole + ((p[0] & 0x80) ? -fraction : fraction));
}

float pmDecodeSgltAxis(const unsigned char* p) {
    int whole = p[0] & 0x3F;
    if (whole & 0x20) whole -= 64;
    double value = whole + pmReadBE32(p + 1) / 100000.0;
    if (p[0] & 0x80) value = -value;
    return static_cast<float>(value);
}

bool pmParseAviGpsSenser(const std::string& path, GpsList* list, int lengthSeconds) {
    if (list == nullptr) return false;
    {
        FileReader file(path);
        const AviWalkResult walk = pmWalkAviChunks(file, "SLLT");
        if (walk.end == AviWalkEnd::EmptyFile || walk.end == AviWalkEnd::EndOfFile) return false;
        if (walk.end == AviWalkEnd::Found) {
            std::vector<unsigned char> payload;
            if (!pmReadAviChunkPayload(file, walk.position, payload)) return false;
            const auto count = static_cast<long long>(payload.size() / kSlltRecordSize);
            if (count < lengthSeconds) {
                GpsData filler;
                filler.setDAltitude(GpsData::kNoAltitude);
                list->reserve(static_cast<std::size_t>(lengthSeconds));
                for (long long i = count; i < lengthSeconds; ++i) list->InsertData(&filler, -1);
            }
            list->setBGps(true);

            GpsData lastFix;  // none yet
            for (std::size_t at = 0; at + kSlltRecordSize <= payload.size(); at += kSlltRecordSize) {
                const unsigned char* record = payload.data() + at;
                GpsData sample;
                sample.setFLongitude(pmDecodeSlltCoordinate(record + 5));
                sample.setFLatitude(pmDecodeSlltCoordinate(record + 11));
                sample.setFSpeed(static_cast<float>(std::uint16_t(record[19] << 8 | record[20])));
                sample.setDAltitude(GpsData::kNoAltitude);
                if (!sample.hasPosition()) {
                    sample.setFLatitude(lastFix.fLatitude());
                    sample.setFLongitude(lastFix.fLongitude());
                } else {
                    if (!lastFix.hasPosition()) list->backFillPosition(sample.fLatitude(), sample.fLongitude());
                    lastFix = sample;
                }
                list->InsertData(&sample, -1);
            }
        }
    }
    const bool sensor = pmParseSyntekAviSenser(path, list, lengthSeconds);
    list->setBSenser(true);
    return sensor;
}

bool pmParseSyntekAviSenser(const std::string& path, GpsList* list, int lengthSeconds) {
    if (list == nullptr) return false;
    FileReader file(path);
    const AviWalkResult walk = pmWalkAviChunks(file, "SGLT");
    if (walk.end == AviWalkEnd::EmptyFile || walk.end == AviWalkEnd::EndOfFile) return false;
    if (walk.end == AviWalkEnd::Stopped) return true;

    const int held = list->GetDataCount();
    std::vector<unsigned char> payload;
    if (!pmReadAviChunkPayload(file, walk.position, payload)) return false;
    if (payload.empty()) {
        list->setBSenser(true);
        return true;
    }
    const auto count = static_cast<long long>(payload.size() / kSgltRecordSize);
    const long long start = count < lengthSeconds ? lengthSeconds - count : 0;
    RunningExtremes extremes;
    long long k = 0;
    for (std::size_t at = 0; at + kSgltRecordSize <= payload.size(); at += kSgltRecordSize, ++k) {
        const Axes g = decodeSgltRecord(payload.data() + at);
        const long long second = start + k;
        int index;
        if (second < held) {
            index = static_cast<int>(second);
            list->GetGpsData(index)->setSensorValue(g.x, g.y, g.z);
        } else {
            // Appended where the track ends; the extreme index names where the record landed.
            GpsData sample;
            sample.setSensorValue(g.x, g.y, g.z);
            list->InsertData(&sample, -1);
            index = list->GetDataCount() - 1;
        }
        extremes.apply(*list, g.x, g.y, g.z, index);
    }
    list->setBSenser(true);
    return true;
}

bool pmParseAviSensor(const std::string& path, GpsList* list) {
    if (list == nullptr) return false;
    FileReader file(path);
    const AviWalkResult walk = pmWalkAviChunks(file, "SGLT");
    if (walk.end == AviWalkEnd::EmptyFile || walk.end == AviWalkEnd::EndOfFile) return false;
    if (walk.end == AviWalkEnd::Stopped) return true;

    std::vector<unsigned char> payload;
    if (!pmReadAviChunkPayload(file, walk.position, payload)) return false;
    list->reserve(static_cast<std::size_t>(list->GetDataCount()) + payload.size() / kSgltRecordSize);
    RunningExtremes extremes;
    for (std::size_t at = 0; at + kSgltRecordSize <= payload.size(); at += kSgltRecordSize) {
        const Axes g = decodeSgltRecord(payload.data() + at);
        GpsData sample;
        sample.setSensorValue(g.x, g.y, g.z);
        list->InsertData(&sample, -1);
        extremes.apply(*list, g.x, g.y, g.z, list->GetDataCount() - 1);
    }
    list->setBSenser(true);
    return true;
}
