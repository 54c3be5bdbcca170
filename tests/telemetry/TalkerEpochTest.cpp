// Logs of multi-constellation receivers: which RMC sentences make a sample, which replace one,
// and where the altitudes go.
#include "telemetry/GpsParser.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

const char* kP1 = "4807.038,N,01131.000,E";
const char* kP2 = "2254.600,S,04310.800,W";
const char* kVoid = ",,,";

std::string rmc(const char* talker, const char* time, const char* status, const char* position, const char* knots) {
    return std::string("$") + talker + "RMC," + time + "," + status + "," + position + "," + knots + ",84.4,230394,,*00\n";
}
std::string gga(const char* talker, const char* time, const char* altitude) {
    return std::string("$") + talker + "GGA," + time + "," + kP1 + ",1,08,0.9," + altitude + ",M,46.9,M,,*00\n";
}

struct Sample {
    float latitude, longitude, speed;  // speed -1: not measured
    double altitude = 0.0;
    int sensorX = 0;
};
const float kKnot = static_cast<float>(1.150779 * 1.6);
Sample p1(float knots, double altitude = 0.0, int sensorX = 0) {
    return {48 + 7.038f / 60, 11 + 31.0f / 60, knots < 0 ? -1.0f : knots * kKnot, altitude, sensorX};
}
Sample p2(float knots, double altitude = 0.0) {
    return {-(22 + 54.6f / 60), -(43 + 10.8f / 60), knots < 0 ? -1.0f : knots * kKnot, altitude};
}

struct Case {
    const char* name;
    std::string log;
    std::vector<Sample> samples;
    bool gps = true;
};

}  // namespace

TEST(TalkerEpoch, OneSamplePerFixWhateverTalkersTheReceiverUses) {
    const char* t0 = "101500";
    const char* t1 = "101501";
    const Case cases[] = {
        {"GN only", rmc("GN", t0, "A", kP1, "10") + gga("GN", t0, "500") + rmc("GN", t1, "A", kP2, "20") +
                        gga("GN", t1, "501"),
         {p1(10, 500), p2(20, 501)}},
        {"GP then GN for one fix: the combined fix and its altitude win",
         rmc("GP", t0, "A", kP1, "10") + rmc("GN", t0, "A", kP2, "20") + gga("GN", t0, "500") + gga("GP", t0, "400"),
         {p2(20, 500)}},
        {"GN then GP for one fix", rmc("GN", t0, "A", kP2, "20") + rmc("GP", t0, "A", kP1, "10"), {p2(20)}},
        {"GP RMC with GN GGA",
         rmc("GP", t0, "A", kP1, "10") + gga("GN", t0, "500") + rmc("GP", t1, "A", kP1, "10") + gga("GN", t1, "501"),
         {p1(10, 500), p1(10, 501)}},
        {"GP and GL only", rmc("GP", t0, "A", kP1, "10") + rmc("GL", t0, "A", kP2, "20") + gga("GL", t0, "300"),
         {p1(10, 300)}},
        {"GP only: a repeated line and 5 Hz stay samples of their own",
         rmc("GP", "101500.00", "A", kP1, "10") + rmc("GP", "101500.00", "A", kP1, "10") +
             rmc("GP", "101500.20", "A", kP2, "20"),
         {p1(10), p1(10), p2(20)}},
        {"altitude and G values stay when the combined fix replaces the sample",
         rmc("GP", t0, "A", kP2, "20") + gga("GP", t0, "400") + "$GSENSOR,3e,00,00\n" + rmc("GN", t0, "A", kP1, "10"),
         {p1(10, 400, 62)}},
        {"a combined fix after a void one is the first fix, shown by the seconds before it",
         rmc("GP", t0, "V", kVoid, "5") + rmc("GP", t1, "V", kVoid, "5") + rmc("GN", t1, "A", kP2, "20"),
         {p2(-1), p2(20)}},
        {"a void combined fix does not replace a valid one",
         rmc("GP", t0, "A", kP1, "10") + rmc("GN", t0, "V", kVoid, "20"), {p1(10)}},
        {"the replaced fix is not remembered as the last fix",
         rmc("GP", t0, "A", kP1, "10") + rmc("GN", t0, "A", kP2, "20") + rmc("GP", t1, "V", kVoid, "5"),
         {p2(20), p2(-1)}},
        {"void sentences without a time merge across talkers",
         rmc("GP", "", "V", kVoid, "5") + rmc("GN", "", "V", kVoid, "20"), {{0, 0, 20 * kKnot}}},
        {"talkers match exactly",
         rmc("gn", t0, "A", kP1, "10") + rmc("XX", t0, "A", kP1, "10") + "$GNRMCX," + t0 + ",A," + kP1 + ",10\n",
         {}, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        GpsList list;
        std::vector<std::int64_t> times;
        GpsParser parser;
        parser.setSampleTimes(&times);
        parser.ParseBuffer(c.log.data(), c.log.size(), &list);
        EXPECT_EQ(list.IsGPSReady(), c.gps);
        EXPECT_EQ(times.size(), c.samples.size());
        EXPECT_EQ(list.GetDataCount(), int(c.samples.size()));
        for (std::size_t i = 0; i < c.samples.size() && i < list.gpslist().size(); ++i) {
            const GpsData& got = list.gpslist()[i];
            const Sample& want = c.samples[i];
            EXPECT_FLOAT_EQ(got.fLatitude(), want.latitude) << i;
            EXPECT_FLOAT_EQ(got.fLongitude(), want.longitude) << i;
            EXPECT_FLOAT_EQ(got.fSpeed(), want.speed) << i;
            EXPECT_EQ(got.dAltitude(), want.altitude) << i;
            EXPECT_EQ(got.GetSensorX(), want.sensorX) << i;
        }
    }
}
