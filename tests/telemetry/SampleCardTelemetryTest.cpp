// `cartena telemetry` on every recording of the sample card shows the drive the generator meant.
#include "support/RunCommand.h"
#include "support/SampleCardFixture.h"
#include "support/TempHome.h"
#include "tools/SampleTelemetry.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <cmath>

using nlohmann::json;

namespace {

json telemetryOf(const std::string& path) {
    const CommandResult r = runCommand({builtProgram("cli/cartena"), "telemetry", path, "--format", "json"});
    EXPECT_NE(r.exitCode, -1) << r.err;
    try {
        return json::parse(r.out);
    } catch (const json::exception& e) {
        ADD_FAILURE() << path << ": " << e.what() << "\n" << r.out << r.err;
        return json::object();
    }
}

double number(const json& value, double marker) { return value.is_null() ? marker : value.get<double>(); }

std::string expectedSource(const SampleTelemetrySpec* spec, const SampleEntry& e) {
    if (spec == nullptr) return "none";
    if (spec->log != SampleLogPlace::None) return "text log";
    if (e.container != SampleContainer::Avi) return "none";
    switch (spec->chunks) {
    case SampleChunks::Both:
        return spec->chunkFlaw == SampleChunkFlaw::MisalignedBehindIndex ? "none" : "AVI telemetry chunks";
    case SampleChunks::SensorOnly: return "AVI G-sensor chunk";
    default: return "none";
    }
}

}  // namespace

TEST(SampleCardTelemetry, EveryRecordingShowsTheDriveThatWasMeant) {
    int checkedSeconds = 0;
    for (const SampleEntry& e : sampleCardEntries()) {
        if (e.kind != SampleKind::Recording) continue;
        SCOPED_TRACE(e.relativePath());
        const SampleTelemetrySpec* spec = sampleTelemetrySpecOf(e);
        const json t = telemetryOf(sampleCardPath(e));
        if (!t.contains("summary")) continue;
        const json& summary = t.at("summary");
        const json& samples = t.at("samples");
        EXPECT_EQ(summary.at("source"), expectedSource(spec, e));
        const bool event = e.event && spec && spec->peakSecond >= 0 && summary.at("found").get<bool>();
        EXPECT_EQ(summary.at("event_second"), event ? json(spec->peakSecond) : json(nullptr));
        if (spec == nullptr) {
            EXPECT_TRUE(samples.empty());
            continue;
        }
        const bool log = spec->log != SampleLogPlace::None;
        if (log && (spec->emptyLog || spec->lineEnds == SampleLineEnds::CrOnly)) {
            EXPECT_TRUE(samples.empty()) << "nothing is read from an empty or CR-only log";
            continue;
        }
        if (!log && (spec->chunkFlaw == SampleChunkFlaw::MisalignedBehindIndex || spec->chunks == SampleChunks::IndexOnly)) {
            EXPECT_TRUE(samples.empty());
            continue;
        }
        if (!log && spec->chunkFlaw == SampleChunkFlaw::UnknownBeforeIndex) {
            // The walk stops before the index: success without records, padded with zeros.
            ASSERT_EQ(samples.size(), std::size_t(e.seconds));
            for (const json& s : samples) EXPECT_TRUE(s.at("latitude").is_null());
            continue;
        }
        ASSERT_GE(samples.size(), std::size_t(e.seconds) - 1);
        const bool positions = spec->chunks != SampleChunks::SensorOnly && (!log || spec->positions);
        const bool sensors = log ? spec->sensor != SampleSensorLines::None : spec->chunks != SampleChunks::PositionsOnly;
        double lastLatitude = 0, lastLongitude = 0;
        int firstFix = 0;
        while (!sampleTelemetrySecond(*spec, e, firstFix).fix) ++firstFix;
        const SampleSecond first = sampleTelemetrySecond(*spec, e, firstFix);
        for (int i = 0; i < e.seconds && std::size_t(i) < samples.size(); ++i) {
            SCOPED_TRACE(i);
            const SampleSecond meant = sampleTelemetrySecond(*spec, e, i);
            const json& s = samples[std::size_t(i)];
            const double latitude = number(s.at("latitude"), 0), longitude = number(s.at("longitude"), 0);
            const double speed = number(s.at("speed_kmh"), -1);
            if (!positions) {
                EXPECT_EQ(latitude, 0.0);
                EXPECT_EQ(longitude, 0.0);
            } else if (meant.fix) {
                EXPECT_NEAR(latitude, meant.latitude, 1e-5);
                EXPECT_NEAR(longitude, meant.longitude, 1e-5);
                EXPECT_NEAR(speed, meant.speedKmh, 0.1);
                if (log) {
                    EXPECT_NEAR(number(s.at("direction"), -1), meant.direction, 0.06);
                    EXPECT_NEAR(number(s.at("altitude_m"), 65535), meant.altitude, 0.06);
                } else {
                    EXPECT_TRUE(s.at("direction").is_null());
                    EXPECT_TRUE(s.at("altitude_m").is_null());
                }
                lastLatitude = latitude;
                lastLongitude = longitude;
                ++checkedSeconds;
            } else {
                // No fix: the last fix, or the first one for seconds before it; a log marks the
                // speed as not measured, a position record keeps its own.
                const double wantLatitude = i < firstFix ? first.latitude : lastLatitude;
                const double wantLongitude = i < firstFix ? first.longitude : lastLongitude;
                EXPECT_NEAR(latitude, wantLatitude, 1e-5);
                EXPECT_NEAR(longitude, wantLongitude, 1e-5);
                if (log)
                    EXPECT_EQ(speed, -1.0);
                else
                    EXPECT_NEAR(speed, meant.speedKmh, 0.1);
            }
            // G values as written (counts, thousandths or 1e-5 g), stored as floats.
            EXPECT_NEAR(s.at("gx").get<double>(), sensors ? meant.gx : 0.0, 2e-6);
            EXPECT_NEAR(s.at("gy").get<double>(), sensors ? meant.gy : 0.0, 2e-6);
            EXPECT_NEAR(s.at("gz").get<double>(), sensors ? meant.gz : 0.0, 2e-6);
        }
    }
    EXPECT_GT(checkedSeconds, 300);
}

TEST(SampleCardTelemetry, GpxReadsBackWithOnePointPerPositionedSecond) {
    TempHome home;
    for (const char* name : {"FILE0001F.MP4", "FILE0005R.MP4", "BN0001.AVI", "FILE0304.MOV", "BE1234.AVI"}) {
        SCOPED_TRACE(name);
        const std::string recording = sampleCardPath(sampleCardEntry(name));
        const json t = telemetryOf(recording);
        std::size_t positioned = 0;
        for (const json& s : t.at("samples")) positioned += !s.at("latitude").is_null();
        ASSERT_GT(positioned, 0u);
        const std::string gpx = home.path() + "/" + name + ".gpx";
        const CommandResult made = runCommand({builtProgram("cli/cartena"), "gpx", recording, "-o", gpx});
        ASSERT_EQ(made.exitCode, 0) << made.err;
        const CommandResult babel = runCommand({"gpsbabel", "-t", "-i", "gpx", "-f", gpx, "-o", "unicsv", "-F", "-"});
        ASSERT_EQ(babel.exitCode, 0) << babel.err;
        EXPECT_EQ(std::size_t(std::count(babel.out.begin(), babel.out.end(), '\n')), positioned + 1) << babel.out;
    }
}

TEST(SampleCardTelemetry, LogsAreWhatCamerasWrite) {
    // Checksums hold on every NMEA sentence; G-sensor lines carry no tail except in the one log
    // made to show how a tail is read.
    int sentences = 0, tails = 0;
    for (const SampleEntry& e : sampleCardEntries()) {
        if (e.kind != SampleKind::TextFile || e.makeText == nullptr) continue;
        const std::string text = readFile(sampleCardPath(e));
        std::size_t at = 0;
        while ((at = text.find('$', at)) != std::string::npos) {
            const std::size_t end = text.find_first_of("\r\n", at);
            const std::string line = text.substr(at, end == std::string::npos ? std::string::npos : end - at);
            at += 1;
            const std::size_t star = line.find('*');
            if (line.rfind("$GSENSOR", 0) == 0) {
                tails += star != std::string::npos;
                if (star == std::string::npos) continue;
            }
            ASSERT_NE(star, std::string::npos) << e.relativePath() << ": " << line;
            unsigned sum = 0;
            for (std::size_t i = 1; i < star; ++i) sum ^= static_cast<unsigned char>(line[i]);
            EXPECT_EQ(std::stoul(line.substr(star + 1, 2), nullptr, 16), sum) << e.relativePath() << ": " << line;
            ++sentences;
        }
    }
    EXPECT_GT(sentences, 1000);
    EXPECT_EQ(tails, 10);  // the ten seconds of FILE0312.log
}
