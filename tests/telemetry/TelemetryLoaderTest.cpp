#include "AviBytes.h"
#include "support/TempHome.h"
#include "telemetry/RecordingLength.h"
#include "telemetry/TelemetryLoader.h"

#include <gtest/gtest.h>

#include <filesystem>

using namespace avibytes;

namespace {

std::string positions(int count) {
    std::string payload;
    for (int k = 0; k < count; ++k) payload += slltRecord(-43, 20000000, -22, 90000000 + 100u * k, 30);
    return payload;
}

// G-sensor records with z = 0.1 g except a peak of `peak` g (sign byte 0 or 0x80) at `at`.
std::string sensors(int count, int at = -1, bool negative = false, std::uint32_t peakFraction = 80000) {
    std::string payload;
    for (int k = 0; k < count; ++k)
        payload += k == at ? sgltRecord(negative ? 0x80 : 0x00, peakFraction, 0, 0, 0, 10000)
                           : sgltRecord(0, 0, 0, 0, 0, 10000);
    return payload;
}

const std::string kLog =
    "$GPRMC,101500,A,4807.038,N,01131.000,E,020.0,084.4,010524,,*00\n$GSENSOR,01,02,3e\n"
    "$GPRMC,101501,A,4807.138,N,01131.100,E,022.0,084.4,010524,,*00\n$GSENSOR,01,c0,10\n";

class Loader : public ::testing::Test {
protected:
    std::string put(const std::string& name, const std::string& bytes) {
        const std::string path = home.path() + "/Normal/" + name;
        std::filesystem::create_directories(home.path() + "/Normal");
        EXPECT_TRUE(writeFile(path, bytes));
        return path;
    }
    TempHome home;
    GpsList list;
};

}  // namespace

TEST_F(Loader, ChoosesTheSourceAndPadsOnlyTracksWithSensorValues) {
    struct Case {
        const char* name;
        std::string recording;
        std::string bytes;
        std::string log;        // beside, as title + ".log"; "-" = none
        TelemetrySource source;
        bool found;
        int samples;
    };
    const std::string chunks = avi(chunk("SLLT", positions(8)) + chunk("SGLT", sensors(10)));
    const Case cases[] = {
        {"a log wins over chunks; padded to 10", "FILE0001.AVI", chunks, kLog, TelemetrySource::TextLog, true, 10},
        {"an empty log: nothing, not even the chunks", "FILE0002.AVI", chunks, "", TelemetrySource::TextLog, false, 0},
        {"chunks without a log", "FILE0003.AVI", chunks, "-", TelemetrySource::AviChunks, true, 10},
        {"G-sensor chunk only: the sensor-only reader", "FILE0004.AVI", avi(chunk("SGLT", sensors(6))), "-",
         TelemetrySource::AviSensorOnly, true, 10},
        {"positions only: the readers report nothing but leave them", "FILE0005.AVI", avi(chunk("SLLT", positions(10))),
         "-", TelemetrySource::None, false, 10},
        {"not RIFF: the G-sensor stage's success pads an empty track", "FILE0006.AVI", "not an avi at all", "-",
         TelemetrySource::AviChunks, true, 10},
        {"MP4 without a log", "FILE0007.MP4", "....", "-", TelemetrySource::None, false, 0},
        {"MP4 with a log", "FILE0008.MP4", "....", kLog, TelemetrySource::TextLog, true, 10},
        {"a log without G-sensor lines is not padded", "FILE0009.MOV", "....",
         kLog.substr(0, kLog.find("$GSENSOR")), TelemetrySource::TextLog, true, 1},
    };
    for (const Case& c : cases) {
        const std::string path = put(c.recording, c.bytes);
        if (c.log != "-") put(c.recording.substr(0, 8) + ".log", c.log);
        const TelemetryLoad load = pmLoadTelemetry(path, 10.9, list);
        EXPECT_EQ(load.source, c.source) << c.name;
        EXPECT_EQ(load.found, c.found) << c.name;
        EXPECT_EQ(list.GetDataCount(), c.samples) << c.name;
        EXPECT_EQ(load.lengthSeconds, 10) << c.name;
    }
}

TEST_F(Loader, PaddingContinuesTheLastPositionAndAnUnreadableLogSaysWhy) {
    const std::string path = put("FILE0001.MOV", "....");
    put("FILE0001.log", kLog);
    pmLoadTelemetry(path, 5.0, list);
    ASSERT_EQ(list.GetDataCount(), 5);
    EXPECT_FLOAT_EQ(list.GetGpsData(4)->fLatitude(), 48 + 7.138f / 60);
    EXPECT_EQ(list.GetGpsData(4)->fSpeed(), -1.0f);

    put("FILE0001.log", "");
    const TelemetryLoad empty = pmLoadTelemetry(path, 5.0, list);
    EXPECT_TRUE(empty.logUnreadable);
    EXPECT_EQ(empty.logError, "the log is empty");
    EXPECT_EQ(list.GetDataCount(), 0);
}

TEST(EventMark, LargerMagnitudeWinsAndMustExceedHalfAG) {
    struct Case {
        float max, min;
        std::uint16_t type;
        bool sensor;
        int event;
    };
    for (const Case& c : {Case{0.4f, -0.6f, 1, true, 7}, Case{0.6f, -0.6f, 1, true, 3}, Case{0.5f, -0.5f, 1, true, -1},
                          Case{0.9f, -0.1f, 0, true, -1}, Case{0.9f, -0.1f, 1, false, -1},
                          Case{0.51f, 0.0f, 1, true, 3}}) {
        GpsList list;
        list.setFMaxGValue(c.max);
        list.setFMinGValue(c.min);
        list.setNMaxGIndex(3);
        list.setNMinGIndex(7);
        list.setBSenser(c.sensor);
        EXPECT_EQ(pmGetEventTime(list, c.type), c.event) << c.max << " " << c.min << " " << c.type;
    }
}

TEST_F(Loader, EventRecordingsGetTheirPeakSecond) {
    // Peak of -0.8 g at record 4 of 6, laid on the last 6 seconds of 10: second 8.
    const std::string event = put("EVEN0001.AVI", avi(chunk("SGLT", sensors(6, 4, true))));
    TelemetryLoad load = pmLoadTelemetry(event, 10.0, list);
    EXPECT_EQ(load.source, TelemetrySource::AviSensorOnly);
    EXPECT_EQ(load.recordType, 1);
    EXPECT_EQ(load.peakIndex, 4);  // the sensor-only reader appends from the start
    EXPECT_EQ(load.eventTime, 4);
    EXPECT_FLOAT_EQ(load.peakValue, 0.8f);

    const std::string merged =
        put("EVEN0002.AVI", avi(chunk("SLLT", positions(10)) + chunk("SGLT", sensors(6, 4, false, 40000))));
    load = pmLoadTelemetry(merged, 10.0, list);
    EXPECT_EQ(load.source, TelemetrySource::AviChunks);
    EXPECT_EQ(load.peakIndex, 8);
    EXPECT_EQ(load.eventTime, -1);  // 0.4 g is no event

    const std::string normal = put("FILE0010.AVI", avi(chunk("SGLT", sensors(6, 4, true))));
    load = pmLoadTelemetry(normal, 10.0, list);
    EXPECT_EQ(load.peakIndex, 4);
    EXPECT_EQ(load.eventTime, -1);
}

TEST_F(Loader, RecordingLengthFromTheContainer) {
    auto mp4 = [](bool version1, std::uint32_t scale, std::uint64_t duration) {
        std::string mvhd = version1 ? std::string("\x01\0\0\0", 4) + std::string(16, '\0')
                                    : std::string(4, '\0') + std::string(8, '\0');
        be32(mvhd, scale);
        if (version1) be32(mvhd, std::uint32_t(duration >> 32));
        be32(mvhd, std::uint32_t(duration));
        mvhd += std::string(80, '\0');
        auto box = [](const std::string& type, const std::string& body) {
            std::string out;
            be32(out, std::uint32_t(body.size() + 8));
            return out + type + body;
        };
        return box("ftyp", "isom") + box("mdat", std::string(100, 'm')) +
               box("moov", box("udta", "") + box("mvhd", mvhd) + box("trak", ""));
    };
    struct Case {
        const char* name;
        std::string bytes;
        double length;  // -1 = none
    };
    const Case cases[] = {
        {"AVI 30 frames of 1 s", avi("", 30, 1000000, 8192), 30.0},
        {"AVI 899 frames of 33 367 us", avi("", 899, 33367, 8192), 899 * 33367 / 1e6},
        {"AVI claiming more frames than it could hold", avi("", 4000000000u, 1000000, 8192),
         double(avi("", 1, 1, 8192).size() / 8)},
        {"MP4 version 0", mp4(false, 1000, 30500), 30.5},
        {"MP4 version 1", mp4(true, 90000, 90000ull * 61), 61.0},
        {"MP4 with a forged length is capped at a day", mp4(false, 1, 0xFFFFFFFFu), kMaxRecordingLength},
        {"MP4 with a time scale of 0", mp4(false, 0, 100), -1},
        {"not a container", "hello, world", -1},
    };
    for (const Case& c : cases) {
        const auto length = pmGetRecordingLength(put("LEN.DAT", c.bytes));
        if (c.length < 0) {
            EXPECT_FALSE(length.has_value()) << c.name;
        } else {
            ASSERT_TRUE(length.has_value()) << c.name;
            EXPECT_DOUBLE_EQ(*length, c.length) << c.name;
        }
    }
}
