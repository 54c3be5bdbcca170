#include "Utility/FileReader.h"
#include "support/ContainerBuilder.h"
#include "support/TempHome.h"
#include "telemetry/AviTelemetry.h"

#include <gtest/gtest.h>

using namespace containers;

namespace {

// An AVI as cameras write it (headers, movie data, padding, an index of a quarter of its size),
// then `tail` behind the index.
std::string aviWith(const std::string& tail, std::uint64_t size = 1024) {
    std::string bytes =
        aviImage({.size = size}).flat() + riffChunk("JUNK", zeros(12)) + riffChunk("idx1", zeros(size / 4)) + tail;
    return bytes.replace(4, 4, le32(std::uint32_t(bytes.size() - 8)));
}

// A chunk whose size field says `declared` whatever the payload holds.
std::string chunk(const std::string& tag, const std::string& payload, std::uint32_t declared = ~0u) {
    return tag + le32(declared == ~0u ? std::uint32_t(payload.size()) : declared) + payload;
}

// Position records walking north-east from 48.1, 11.5 at 40 km/h; the first `firstFix` have no fix.
std::string positions(int count, int firstFix = 0) {
    std::string out;
    for (std::uint32_t k = 0; k < std::uint32_t(count); ++k) {
        const std::string fix = be16(11) + be32(50000000 + 1000 * k) + be16(48) + be32(10000000 + 1000 * k);
        out += zeros(5) + (k < std::uint32_t(firstFix) ? zeros(12) : fix) + zeros(2) + be16(40) + zeros(7);
    }
    return out;
}

std::string axis(std::uint8_t sign, std::uint32_t fraction) { return std::string(1, char(sign)) + be32(fraction); }
// G-sensor records: x 0.25, y -0.1 and z 1 + k / 100 000 g.
std::string sensors(int count) {
    std::string out;
    for (std::uint32_t k = 0; k < std::uint32_t(count); ++k)
        out += zeros(5) + axis(0x00, 25000) + axis(0x80, 10000) + axis(0x01, k);
    return out;
}

class AviTelemetry : public ::testing::Test {
protected:
    std::string write(const std::string& bytes) {
        const std::string path = home.path() + "/FILE" + std::to_string(++files) + ".AVI";
        EXPECT_TRUE(writeFile(path, bytes));
        return path;
    }
    TempHome home;
    int files = 0;
    GpsList list;
};

}  // namespace

TEST(AviRecords, CoordinateAndAxisBitLayouts) {
    auto bytes = [](const std::string& text) { return reinterpret_cast<const unsigned char*>(text.data()); };
    // Whole degrees and 1e-8 degrees that take their sign, so 0 whole degrees carry none.
    for (auto [whole, fraction, degrees] :
         {std::tuple{120, 10000000u, 120.1f}, {-120, 10000000u, -120.1f}, {0, 50000000u, 0.5f}})
        EXPECT_FLOAT_EQ(pmDecodeSlltCoordinate(bytes(be16(std::uint16_t(whole)) + be32(fraction))), degrees) << whole;
    // Bit 7 the sign, bits 0-5 a six-bit two's complement, bit 6 unused.
    for (auto [sign, fraction, g] : {std::tuple{0x01, 25000u, 1.25f}, {0x80, 50000u, -0.5f}, {0x81, 0u, -1.0f},
                                     {0x3F, 0u, -1.0f}, {0x3F, 50000u, -0.5f}, {0x41, 0u, 1.0f}, {0xA0, 0u, 32.0f},
                                     {0x1F, 99999u, 31.99999f}})
        EXPECT_FLOAT_EQ(pmDecodeSgltAxis(bytes(axis(std::uint8_t(sign), fraction))), g) << sign << " " << fraction;
}

TEST_F(AviTelemetry, RecordsFillTheLastSecondsOfTheRecording) {
    // 25 positions and 28 G-sensor records on 30 seconds: five fillers take the first fix with
    // speed -1; the G-sensor records cover seconds 2 to 29 and the extremes name those seconds.
    EXPECT_TRUE(pmParseAviGpsSenser(write(aviWith(chunk("SLLT", positions(25)) + chunk("SGLT", sensors(28)))), &list, 30));
    ASSERT_EQ(list.GetDataCount(), 30);
    EXPECT_TRUE(list.IsGPSReady() && list.IsGSensorReady());
    const GpsData &filler = *list.GetGpsData(1), &record3 = *list.GetGpsData(8);
    EXPECT_EQ(std::tuple(filler.fLatitude(), filler.fLongitude(), filler.fSpeed(), filler.dAltitude(), filler.GetGValueX()),
              std::tuple(48.1f, 11.5f, -1.0f, 65535.0, 0.0f));
    EXPECT_EQ(std::tuple(record3.fLatitude(), record3.fSpeed(), record3.fDirection(), record3.dAltitude()),
              std::tuple(static_cast<float>(48 + 0.10003), 40.0f, -1.0f, 65535.0));
    EXPECT_EQ(std::pair(list.GetGpsData(2)->GetGValueX(), list.GetGpsData(2)->GetGValueY()), std::pair(0.25f, -0.1f));
    EXPECT_EQ(std::tuple(list.GetMaxGIndex(), list.GetMinGIndex(), list.GetMaxGValue(), list.GetMinGValue()),
              std::tuple(29, 2, static_cast<float>(1.00027), -0.1f));

    // 32 records on 30 positions: the last two are appended; records before the first fix show it.
    list.ClearAllData();
    EXPECT_TRUE(pmParseAviGpsSenser(write(aviWith(chunk("SLLT", positions(30, 3)) + chunk("SGLT", sensors(32)))), &list, 30));
    ASSERT_EQ(list.GetDataCount(), 32);
    EXPECT_EQ(std::tuple(list.GetGpsData(0)->fLatitude(), list.GetGpsData(0)->fSpeed(), list.GetGpsData(0)->GetGValueX()),
              std::tuple(static_cast<float>(48 + 0.10003), -1.0f, 0.25f));
    EXPECT_EQ(std::pair(list.GetGpsData(31)->fLatitude(), list.GetMaxGIndex()), std::pair(0.0f, 31));
}

TEST_F(AviTelemetry, SensorRecordsWithoutPositionsAreAppendedFromTheStart) {
    const std::string path = write(aviWith(chunk("SGLT", zeros(5) + axis(0, 50000) + axis(0x81, 25000) +
                                                          axis(0, 98000) + sensors(2))));
    EXPECT_TRUE(pmParseAviSensor(path, &list));
    ASSERT_EQ(list.GetDataCount(), 3);
    EXPECT_EQ(std::tuple(list.GetMaxGValue(), list.GetMinGValue(), list.GetMaxGIndex(), list.GetMinGIndex()),
              std::tuple(static_cast<float>(1.00001), -1.25f, 2, 0));
    EXPECT_EQ(std::pair(list.GetGpsData(0)->fDirection(), list.GetGpsData(0)->dAltitude()), std::pair(-1.0f, 0.0));
    EXPECT_TRUE(list.IsGSensorReady() && !list.IsGPSReady());
    // The merging reader on a 10-second recording without positions: records meant for seconds 7
    // to 9 land on samples 0 to 2, and the extremes name the samples they landed on.
    GpsList merged;
    EXPECT_TRUE(pmParseSyntekAviSenser(write(aviWith(chunk("SGLT", sensors(3)))), &merged, 10));
    EXPECT_EQ(std::tuple(merged.GetDataCount(), merged.GetMaxGIndex(), merged.GetMinGIndex()), std::tuple(3, 2, 0));
}

// Lower-case tags, chunks off the four-byte steps behind the index, an unknown chunk before it and
// files with one kind of chunk are on the sample card. Here: the position reader's result on 4
// seconds and the samples it left; the sensor-only reader's (the merging one walks alike) and its.
TEST_F(AviTelemetry, WhatEachReaderReportsOnOddFiles) {
    for (auto [name, bytes, gpsSenser, samples, sensorOnly, sensorSamples] :
         {std::tuple{"empty file", std::string(), false, 0, false, 0},
          {"not RIFF: the walks stop, the G-sensor stage reports success", "RIFX" + aviWith("").substr(4), true, 0,
           true, 0},
          {"AVI cut inside the header", aviWith("").substr(0, 30), false, 0, false, 0},
          {"an empty G-sensor chunk", aviWith(chunk("SGLT", "")), false, 0, true, 0},
          {"a size of 2^31 or more is a size, cut to the file",
           aviWith(chunk("SLLT", positions(2)) + chunk("SGLT", sensors(2), 0x80000000u)), true, 4, true, 2}}) {
        const std::string path = write(bytes);
        GpsList track, sensorsOnly, merged;
        EXPECT_EQ(pmParseAviGpsSenser(path, &track, 4), gpsSenser) << name;
        EXPECT_EQ(pmParseAviSensor(path, &sensorsOnly), sensorOnly) << name;
        EXPECT_EQ(pmParseSyntekAviSenser(path, &merged, 4), sensorOnly) << name;
        EXPECT_EQ(std::pair(track.GetDataCount(), sensorsOnly.GetDataCount()), std::pair(samples, sensorSamples)) << name;
    }
    GpsList emptyChunk;  // an empty chunk still says the track has G-sensor data
    EXPECT_TRUE(pmParseSyntekAviSenser(write(aviWith(chunk("SGLT", ""))), &emptyChunk, 4) && emptyChunk.IsGSensorReady());
    EXPECT_FALSE(pmParseAviGpsSenser(home.path() + "/none", &list, 4) || pmParseAviSensor(home.path() + "/none", &list));
}

TEST_F(AviTelemetry, NeverReadsTheMovieOrTheIndex) {
    const std::string tail = chunk("SLLT", positions(60)) + chunk("SGLT", sensors(60));
    FileReader::resetTotals();
    EXPECT_TRUE(pmParseAviGpsSenser(write(aviWith(tail, 1 << 20)), &list, 60));
    // Headers read twice (two walks) plus every byte behind the index at most twice.
    EXPECT_LE(FileReader::totalBytesRead(), 2 * 200 + 2 * tail.size());
}
