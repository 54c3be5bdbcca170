#include "AviBytes.h"
#include "Utility/FileReader.h"
#include "support/TempHome.h"
#include "telemetry/AviTelemetry.h"

#include <gtest/gtest.h>

using namespace avibytes;

namespace {

// Records whose positions walk north-east from 48.1, 11.5 at 40 km/h; G-sensor records with z = 1
// + k / 100 000 g and x = 0.25 g.
std::string positions(int count, int firstFix = 0) {
    std::string payload;
    for (int k = 0; k < count; ++k) {
        if (k < firstFix)
            payload += slltRecord(0, 0, 0, 0, 7);
        else
            payload += slltRecord(11, 50000000 + 1000u * k, 48, 10000000 + 1000u * k, 40);
    }
    return payload;
}

std::string sensors(int count) {
    std::string payload;
    for (int k = 0; k < count; ++k) payload += sgltRecord(0x00, 25000, 0x80, 10000, 0x01, std::uint32_t(k));
    return payload;
}

class AviTelemetry : public ::testing::Test {
protected:
    std::string write(const std::string& bytes, const std::string& name = "FILE0001.AVI") {
        const std::string path = home.path() + "/" + name;
        EXPECT_TRUE(writeFile(path, bytes));
        return path;
    }
    TempHome home;
    GpsList list;
};

}  // namespace

TEST(AviRecords, CoordinateAndAxisBitLayouts) {
    const unsigned char east[] = {0x00, 0x78, 0x00, 0x98, 0x96, 0x80};
    const unsigned char west[] = {0xFF, 0x88, 0x00, 0x98, 0x96, 0x80};
    EXPECT_FLOAT_EQ(pmDecodeSlltCoordinate(east), 120.1f);
    EXPECT_FLOAT_EQ(pmDecodeSlltCoordinate(west), -120.1f);
    // A whole part of 0 cannot carry a sign: -0.5 degrees reads as +0.5.
    const unsigned char nearZero[] = {0x00, 0x00, 0x02, 0xFA, 0xF0, 0x80};
    EXPECT_FLOAT_EQ(pmDecodeSlltCoordinate(nearZero), 0.5f);

    struct Case {
        unsigned char sign;
        std::uint32_t fraction;
        float g;
    };
    for (const Case& c : {Case{0x01, 25000, 1.25f}, Case{0x80, 50000, -0.5f}, Case{0x81, 0, -1.0f},
                          Case{0x3F, 0, -1.0f},       // six-bit two's complement
                          Case{0x3F, 50000, -0.5f},   // -1 + 0.5
                          Case{0x41, 0, 1.0f},        // bit 6 unused
                          Case{0xA0, 0, 32.0f},       // -32, negated
                          Case{0x1F, 99999, 31.99999f}}) {
        unsigned char bytes[5] = {c.sign, std::uint8_t(c.fraction >> 24), std::uint8_t(c.fraction >> 16),
                                  std::uint8_t(c.fraction >> 8), std::uint8_t(c.fraction)};
        EXPECT_FLOAT_EQ(pmDecodeSgltAxis(bytes), c.g) << int(c.sign) << " " << c.fraction;
    }
}

TEST_F(AviTelemetry, PositionsAndSensorsAreAlignedToTheRecordingEnd) {
    const std::string path = write(avi(chunk("SLLT", positions(25)) + chunk("SGLT", sensors(28))));
    EXPECT_TRUE(pmParseAviGpsSenser(path, &list, 30));
    ASSERT_EQ(list.GetDataCount(), 30);
    EXPECT_TRUE(list.IsGPSReady());
    EXPECT_TRUE(list.IsGSensorReady());
    // Five fillers take the first fix with speed -1.
    for (int i = 0; i < 5; ++i) {
        const GpsData& s = *list.GetGpsData(i);
        EXPECT_FLOAT_EQ(s.fLatitude(), 48.1f) << i;
        EXPECT_FLOAT_EQ(s.fLongitude(), 11.5f) << i;
        EXPECT_EQ(s.fSpeed(), -1.0f) << i;
        EXPECT_EQ(s.dAltitude(), 65535.0) << i;
    }
    const GpsData& record3 = *list.GetGpsData(8);
    EXPECT_FLOAT_EQ(record3.fLatitude(), static_cast<float>(48 + 0.10003));
    EXPECT_EQ(record3.fSpeed(), 40.0f);
    EXPECT_EQ(record3.fDirection(), -1.0f);
    EXPECT_EQ(record3.dAltitude(), 65535.0);
    // 28 G-sensor records cover seconds 2 to 29.
    EXPECT_EQ(list.GetGpsData(1)->GetGValueX(), 0.0f);
    EXPECT_EQ(list.GetGpsData(2)->GetGValueX(), 0.25f);
    EXPECT_EQ(list.GetGpsData(2)->GetGValueY(), -0.1f);
    EXPECT_FLOAT_EQ(list.GetGpsData(29)->GetGValueZ(), 1.00027f);
    // The extremes name the seconds, not the record numbers.
    EXPECT_EQ(list.GetMaxGIndex(), 29);
    EXPECT_EQ(list.GetMinGIndex(), 2);
    EXPECT_FLOAT_EQ(list.GetMaxGValue(), 1.00027f);
    EXPECT_FLOAT_EQ(list.GetMinGValue(), -0.1f);
}

TEST_F(AviTelemetry, MoreRecordsThanSecondsAreAppended) {
    const std::string path = write(avi(chunk("SLLT", positions(30, 3)) + chunk("SGLT", sensors(32))));
    EXPECT_TRUE(pmParseAviGpsSenser(path, &list, 30));
    ASSERT_EQ(list.GetDataCount(), 32);
    EXPECT_EQ(list.GetGpsData(0)->GetGValueX(), 0.25f);
    EXPECT_FLOAT_EQ(list.GetGpsData(31)->GetGValueZ(), 1.00031f);
    EXPECT_EQ(list.GetGpsData(31)->fLatitude(), 0.0f);  // appended records carry no position
    EXPECT_EQ(list.GetMaxGIndex(), 31);
    // Records without a fix before the first fix show it with speed -1 once it comes.
    EXPECT_FLOAT_EQ(list.GetGpsData(0)->fLatitude(), static_cast<float>(48 + 0.10003));
    EXPECT_EQ(list.GetGpsData(0)->fSpeed(), -1.0f);
}

TEST_F(AviTelemetry, LowerCaseTagsAndTheScanBehindTheIndex) {
    // Lower-case tags, and an unknown chunk behind the index whose length keeps four-byte steps.
    std::string path = write(avi(chunk("abcd", std::string(8, 'x')) + chunk("sllt", positions(3)) +
                                     chunk("sglt", sensors(3)),
                                 3, 1000000, 64, 32, "idx1"));
    EXPECT_TRUE(pmParseAviGpsSenser(path, &list, 3));
    EXPECT_EQ(list.GetDataCount(), 3);
    EXPECT_EQ(list.GetGpsData(0)->GetGValueX(), 0.25f);

    // Six bytes of foreign data put the next tag off the four-byte steps: it is never seen.
    list.ClearAllData();
    path = write(avi(chunk("abcd", std::string(6, 'x')) + chunk("SGLT", sensors(3))), "FILE0002.AVI");
    EXPECT_FALSE(pmParseAviSensor(path, &list));
    EXPECT_EQ(list.GetDataCount(), 0);
}

TEST_F(AviTelemetry, ReadersThatStopOrFindNothing) {
    struct Case {
        const char* name;
        std::string bytes;
        bool gpsSenser;  // result of the position reader (with its G-sensor stage)
        int samples;     // after it
        bool sensorOnly; // result of the sensor-only reader on a fresh track
    };
    const std::string noRiff = "RIFX" + avi("").substr(4);
    const std::string unknownBeforeIndex = [] {
        std::string a = avi(chunk("SLLT", positions(2)) + chunk("SGLT", sensors(2)));
        const std::size_t junk = a.find("JUNK");
        a.replace(junk, 4, "XTRA");
        return a;
    }();
    const Case cases[] = {
        {"empty file", "", false, 0, false},
        {"not RIFF: both walks stop, the G-sensor stage reports success", noRiff, true, 0, true},
        {"unknown chunk before the index", unknownBeforeIndex, true, 0, true},
        {"index without telemetry", avi(""), false, 0, false},
        {"positions only: false, but the positions stay", avi(chunk("SLLT", positions(4))), false, 4, false},
        {"G-sensor only: the position walk reaches the end", avi(chunk("SGLT", sensors(4))), false, 0, true},
        {"AVI cut inside the header", avi("").substr(0, 30), false, 0, false},
    };
    for (const Case& c : cases) {
        const std::string path = write(c.bytes);
        GpsList track;
        EXPECT_EQ(pmParseAviGpsSenser(path, &track, 4), c.gpsSenser) << c.name;
        EXPECT_EQ(track.GetDataCount(), c.samples) << c.name;
        GpsList fresh;
        EXPECT_EQ(pmParseAviSensor(path, &fresh), c.sensorOnly) << c.name;
    }
    // A file that cannot be opened is an empty file.
    EXPECT_FALSE(pmParseAviGpsSenser(home.path() + "/none.AVI", &list, 4));
    EXPECT_FALSE(pmParseAviSensor(home.path() + "/none.AVI", &list));
}

TEST_F(AviTelemetry, PartialRecordsAndSizesBeyondTheFile) {
    struct Case {
        const char* name;
        std::string tail;
        int gpsSamples;     // from a 2-second recording
        int sensorSamples;  // from the sensor-only reader
    };
    const Case cases[] = {
        // (12 bytes keep the scan behind the SLLT chunk on four-byte steps, so SGLT is found.)
        {"trailing partial records are dropped",
         chunk("SLLT", positions(3) + std::string(12, '\0')) + chunk("SGLT", sensors(2) + std::string(7, '\0')), 3, 2},
        {"a size past the end is cut to the file",
         chunk("SLLT", positions(2)) + chunkWithSize("SGLT", 1000, sensors(3)), 3, 3},
        {"a size of 2^31 or more is a size, cut to the file",
         chunk("SLLT", positions(2)) + chunkWithSize("SGLT", 0x80000000u, sensors(2)), 2, 2},
        {"a chunk skip past the end ends the walk",
         chunkWithSize("JUNK", 0xFFFFFFF0u, "") + chunk("SGLT", sensors(2)), 0, 0},
    };
    for (const Case& c : cases) {
        const std::string path = write(avi(c.tail));
        GpsList track;
        pmParseAviGpsSenser(path, &track, 2);
        EXPECT_EQ(track.GetDataCount(), c.gpsSamples) << c.name;
        GpsList sensorsOnly;
        pmParseAviSensor(path, &sensorsOnly);
        EXPECT_EQ(sensorsOnly.GetDataCount(), c.sensorSamples) << c.name;
    }
}

TEST_F(AviTelemetry, SensorOnlyReaderAppendsFromTheStart) {
    std::string payload = sgltRecord(0x00, 50000, 0x81, 25000, 0x00, 98000) + sensors(2);
    const std::string path = write(avi(chunk("SGLT", payload)));
    EXPECT_TRUE(pmParseAviSensor(path, &list));
    ASSERT_EQ(list.GetDataCount(), 3);
    EXPECT_FLOAT_EQ(list.GetMaxGValue(), 1.00001f);
    EXPECT_FLOAT_EQ(list.GetMinGValue(), -1.25f);
    EXPECT_EQ(list.GetMinGIndex(), 0);
    EXPECT_EQ(list.GetMaxGIndex(), 2);
    EXPECT_EQ(list.GetGpsData(0)->fDirection(), -1.0f);
    EXPECT_EQ(list.GetGpsData(0)->dAltitude(), 0.0);
    EXPECT_TRUE(list.IsGSensorReady());
    EXPECT_FALSE(list.IsGPSReady());

    // A zero-size chunk: no sample, still G-sensor data and success.
    GpsList empty;
    EXPECT_TRUE(pmParseAviSensor(write(avi(chunk("SGLT", ""))), &empty));
    EXPECT_EQ(empty.GetDataCount(), 0);
    EXPECT_TRUE(empty.IsGSensorReady());
    GpsList merged;
    EXPECT_TRUE(pmParseSyntekAviSenser(write(avi(chunk("SGLT", ""))), &merged, 10));
    EXPECT_TRUE(merged.IsGSensorReady());
}

TEST_F(AviTelemetry, MergeOnAShortTrackNamesTheSamplesRecordsLandedOn) {
    // Three records for a 10-second recording and no positions: they would cover seconds 7 to 9
    // but the track ends at 0, so they are appended as 0 to 2 and the extremes name those.
    const std::string path = write(avi(chunk("SGLT", sensors(3))));
    EXPECT_TRUE(pmParseSyntekAviSenser(path, &list, 10));
    ASSERT_EQ(list.GetDataCount(), 3);
    EXPECT_EQ(list.GetMaxGIndex(), 2);
    EXPECT_EQ(list.GetMinGIndex(), 0);
}

TEST_F(AviTelemetry, NeverReadsTheMovieOrTheIndex) {
    const std::size_t movie = 1 << 20, index = 1 << 18;
    const std::string tail = chunk("SLLT", positions(60)) + chunk("SGLT", sensors(60));
    const std::string path = write(avi(tail, 60, 1000000, movie, index));
    FileReader::resetTotals();
    EXPECT_TRUE(pmParseAviGpsSenser(path, &list, 60));
    EXPECT_EQ(list.GetDataCount(), 60);
    // Headers read twice (two walks) plus every byte behind the index at most twice.
    EXPECT_LE(FileReader::totalBytesRead(), 2 * 200 + 2 * tail.size());
}
