// `cartena telemetry` on every recording of the sample card shows the drive the generator meant.
#include "support/RunCommand.h"
#include "support/SampleCardFixture.h"
#include "tools/SampleTelemetry.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

using nlohmann::json;

namespace {

double number(const json& value, double marker) { return value.is_null() ? marker : value.get<double>(); }

}  // namespace

TEST(SampleCardTelemetry, EveryRecordingShowsTheDriveThatWasMeant) {
    const std::string cartena = builtProgram("cli/cartena");
    int checkedSeconds = 0;
    for (const SampleEntry& e : sampleCardEntries()) {
        if (e.kind != SampleKind::Recording) continue;
        SCOPED_TRACE(e.relativePath());
        const SampleTelemetrySpec* spec = sampleTelemetrySpecOf(e);
        const CommandResult r = runCommand({cartena, "telemetry", sampleCardPath(e), "--format", "json"});
        const json t = json::parse(r.out, nullptr, false);
        ASSERT_FALSE(t.is_discarded()) << r.out << r.err;
        const json& samples = t.at("samples");
        // One sample per second; none from an empty or CR-only log or from chunks the walk cannot reach.
        const bool log = spec && spec->log != SampleLogPlace::None;
        const bool none = !spec || (log && (spec->emptyLog || spec->lineEnds == SampleLineEnds::CrOnly)) ||
                          (!log && (spec->chunkFlaw == SampleChunkFlaw::MisalignedBehindIndex ||
                                    spec->chunks == SampleChunks::IndexOnly));
        const char* source = log ? "text log"
                             : none || spec->chunks == SampleChunks::PositionsOnly ? "none"
                             : spec->chunks == SampleChunks::SensorOnly           ? "AVI G-sensor chunk"
                                                                                  : "AVI telemetry chunks";
        EXPECT_EQ(t.at("summary").at("source"), source);
        const bool event = e.event && spec && spec->peakSecond >= 0 && t.at("summary").at("found").get<bool>();
        EXPECT_EQ(t.at("summary").at("event_second"), event ? json(spec->peakSecond) : json(nullptr));
        const std::size_t count = none ? 0 : std::size_t(e.seconds);
        ASSERT_EQ(samples.size(), count);
        if (count == 0) continue;
        // A walk that stops before the index succeeds without records: the track is padded with zeros.
        const bool read = log || spec->chunkFlaw != SampleChunkFlaw::UnknownBeforeIndex;
        const bool positions = read && spec->chunks != SampleChunks::SensorOnly && (!log || spec->positions);
        const bool sensors =
            read && (log ? spec->sensor != SampleSensorLines::None : spec->chunks != SampleChunks::PositionsOnly);
        int firstFix = 0;
        while (!sampleTelemetrySecond(*spec, e, firstFix).fix) ++firstFix;
        const SampleSecond first = sampleTelemetrySecond(*spec, e, firstFix);
        double lastLatitude = first.latitude, lastLongitude = first.longitude;
        for (std::size_t i = 0; i < count; ++i) {
            SCOPED_TRACE(i);
            const SampleSecond meant = sampleTelemetrySecond(*spec, e, int(i));
            const json& s = samples[i];
            const double latitude = number(s.at("latitude"), 0), longitude = number(s.at("longitude"), 0);
            const double speed = number(s.at("speed_kmh"), -1);
            if (!positions) {
                EXPECT_EQ(std::pair(latitude, longitude), std::pair(0.0, 0.0));
            } else if (meant.fix) {
                EXPECT_NEAR(latitude, meant.latitude, 1e-5);
                EXPECT_NEAR(longitude, meant.longitude, 1e-5);
                EXPECT_NEAR(speed, meant.speedKmh, 0.1);
                // A position record carries no heading or altitude.
                EXPECT_NEAR(number(s.at("direction"), -1), log ? meant.direction : -1, 0.06);
                EXPECT_NEAR(number(s.at("altitude_m"), 65535), log ? meant.altitude : 65535, 0.06);
                lastLatitude = latitude;
                lastLongitude = longitude;
                ++checkedSeconds;
            } else {
                // No fix: the last fix (the first one before it); a log marks the speed as not
                // measured, a position record keeps its own.
                EXPECT_NEAR(latitude, lastLatitude, 1e-5);
                EXPECT_NEAR(longitude, lastLongitude, 1e-5);
                EXPECT_NEAR(speed, log ? -1.0 : meant.speedKmh, 0.1);
            }
            // G values as written (counts, thousandths or 1e-5 g), stored as floats.
            EXPECT_NEAR(s.at("gx").get<double>(), sensors ? meant.gx : 0.0, 2e-6);
            EXPECT_NEAR(s.at("gy").get<double>(), sensors ? meant.gy : 0.0, 2e-6);
            EXPECT_NEAR(s.at("gz").get<double>(), sensors ? meant.gz : 0.0, 2e-6);
        }
    }
    EXPECT_GT(checkedSeconds, 300);
}

// Every NMEA sentence of the logs carries its right checksum, as gpsbabel, which checks them, sees.
TEST(SampleCardTelemetry, LogsAreWhatCamerasWrite) {
    int logs = 0;
    for (const SampleEntry& e : sampleCardEntries()) {
        if (e.kind != SampleKind::TextFile || e.makeText == nullptr) continue;
        const CommandResult r = runCommand({"gpsbabel", "-i", "nmea", "-f", sampleCardPath(e), "-o", "unicsv", "-F", "-"});
        EXPECT_EQ(std::pair(r.exitCode, r.err), std::pair(0, std::string())) << e.relativePath();
        ++logs;
    }
    EXPECT_GT(logs, 20);
}
