#include "support/TempHome.h"
#include "telemetry/GpsParser.h"

#include <gtest/gtest.h>

#include <array>
#include <cerrno>
#include <clocale>
#include <cmath>
#include <optional>

// Rows of a table name only the columns they check.
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"

namespace {

// The track of a log, its first issue and its sample times.
std::tuple<GpsList, GpsParseIssue, std::vector<std::int64_t>> parse(const std::string& text) {
    GpsList list;
    std::vector<std::int64_t> times;
    GpsParser parser;
    parser.setSampleTimes(&times);
    parser.ParseBuffer(text.data(), text.size(), &list);
    return {list, parser.firstIssue(), times};
}

const std::string kMunichLine = "$GPRMC,123519,A,4807.038,N,01131.000,E,022.4,084.4,230394,003.1,W*6A";
const std::string kMunich = kMunichLine + "\n";
const std::string kVoid = "$GPRMC,123518,V,,,,,005.0,,230394,,*6A\n";
const std::string kGga = "$GPGGA,123519,4807.038,N,01131.000,E,1,08,0.9,545.4,M,46.9,M,,*47\n";
const std::string kSensor = "$GSENSOR,01,02,03\n";
std::string rmc(const std::string& fields) { return "$GPRMC,000000," + fields + ",010.0,090.0,010124,,*00\n"; }
std::string sensorX(const std::string& x) { return "$GSENSOR," + x + ",0,0\n"; }
std::string sentence(std::string text, int fields, const std::string& field) {  // padded to `fields`
    for (int i = int(std::count(text.begin(), text.end(), ',')) + 1; i < fields; ++i) text += "," + field;
    return text;
}
float kmh(double knots) { return static_cast<float>(knots * 1.150779 * 1.6); }
float degrees(float whole, float minutes) { return whole + minutes / 60; }

using Position = std::array<float, 4>;  // latitude, longitude, speed, direction (NaN: not checked)
const Position kMunichFix{48.1173f, 11.516666f, kmh(22.4), 84.4f};

// Sentences of multi-constellation receivers, by talker: a fix at P1 or P2 (kNoFix: none) or an altitude.
const char *kP1 = "4807.038,N,01131.000,E", *kP2 = "2254.600,S,04310.800,W", *kNoFix = ",,,", *t0 = "101500",
           *t1 = "101501";
std::string rmcOf(const char* talker, const char* time, const char* status, const char* position, const char* knots) {
    return std::string("$") + talker + "RMC," + time + "," + status + "," + position + "," + knots + ",84.4,230394,,*00\n";
}
std::string ggaOf(const char* talker, const char* time, const char* altitude) {
    return std::string("$") + talker + "GGA," + time + "," + kP1 + ",1,08,0.9," + altitude + ",M,46.9,M,,*00\n";
}
Position p1(float knots) { return {48.1173f, 11.516666f, kmh(knots), 84.4f}; }
Position p2(float knots) { return {-degrees(22, 54.6f), -degrees(43, 10.8f), kmh(knots), 84.4f}; }
const Position kP2NotMeasured{-degrees(22, 54.6f), -degrees(43, 10.8f), -1, NAN};

}  // namespace

// Every rule is read in the C locale and in a German one, whose decimal separator is a comma. Line
// ends, later fixes lost and the talkers of common receivers are also read off the sample card.
TEST(GpsParser, LogRules) {
    struct Rule {
        std::string rule;
        std::string log;
        int samples;
        const char* flags;  // "gps" and "sensor" as the track says
        int issueLine;      // of the first issue; 0 none
        int at;             // the sample checked; -1 the last
        std::optional<Position> position;
        std::optional<std::array<int, 3>> counts;  // with g values of count x 0.016 unless `g` says
        std::optional<std::array<float, 3>> g;
        double altitude;
    };
    // 205 characters whose first 200 end with a field of 20; 23 fields and a comma as the 200th.
    const std::string cutTo200 = sentence("$GSENSORD,0.5,0.25,0.125", 19, "123456789") + ",1234," + std::string(25, '7');
    const std::string commaAt200 = sentence("$GSENSORD,0.5,0.5,0.5", 22, "12345678") + "," + std::string(15, '9') + ",5";
    const auto half = std::array{0.5f, 0.5f, 0.5f};
    std::vector<Rule> rules = {
        {"RMC: degrees and minutes, knots to km/h, course", kMunich, 1, "gps", 0, 0, kMunichFix},
        {"south, east", rmc("A,3352.0000,S,15112.3000,E"), 1, "gps", 0, 0,
         Position{-degrees(33, 52), degrees(151, 12.3f), kmh(10), 90}},
        {"north, west", rmc("A,4043.5000,N,07400.3000,W"), 1, "gps", 0, 0,
         Position{degrees(40, 43.5f), -degrees(74, 0.3f), kmh(10), 90}},
        {"0 whole degrees", rmc("A,0030.0000,N,00030.0000,E"), 1, "gps", 0, 0, Position{0.5f, 0.5f, kmh(10), 90}},
        {"void before any fix: 0, 0 with its own speed; empty course 0", kVoid, 1, "gps", 0, 0,
         Position{0, 0, kmh(5), 0}},
        {"seconds before the first fix show it with speed -1", kVoid + kVoid + kMunich, 3, "gps", 0, 0,
         Position{48.1173f, 11.516666f, -1, 0}},
        {"a later fix is its own", kMunich + kVoid + "$GPRMC,1,A,4807.538,N,01131.500,E,030.0,090.0,230394,,*6A\n",
         3, "gps", 0, 2, Position{degrees(48, 7.538f), degrees(11, 31.5f), kmh(30), 90}},
        {"GGA: altitude of the latest sample", kMunich + kGga, 1, "gps", 0, 0, kMunichFix, {}, {}, 545.4},
        {"GGA before any sample goes nowhere", kGga + kMunich, 1, "gps", 0, 0, kMunichFix},
        {"GGA before the second's RMC sets the previous second", kMunich + kGga + kMunich, 2, "gps", 0, 0,
         kMunichFix, {}, {}, 545.4},
        {"... and not this one", kMunich + kGga + kMunich, 2, "gps", 0, 1, kMunichFix},
        {"GSENSOR without RMC: a sample of its own per line", kSensor + "$GSENSOR,04,05,06\n", 2, "sensor", 0, 1,
         Position{0, 0, 0, 0}, std::array{4, 5, 6}},
        {"hex: the checksum tail stays in the last field", "$GSENSOR,01,02,3e*5A\n", 1, "sensor", 1, 0, {},
         std::array{1, 2, 0}},
        {"GSENSORD: g values, empty is 0", "$GSENSORD,0.5,,-1.25\n", 1, "sensor", 0, 0, Position{0, 0, 0, 0},
         std::array{0, 0, 0}, std::array{0.5f, 0.0f, -1.25f}},
        {"GSENSORD leaves the counts", kMunich + kSensor + "$GSENSORD,0.5,0.25,1\n", 1, "gps sensor", 0, 0,
         kMunichFix, std::array{1, 2, 3}, std::array{0.5f, 0.25f, 1.0f}},
        {"GSENSORD: inf and nan are 0, a sign and exponent are read", "$GSENSORD,inf,nan,+1e-1\n", 1, "sensor", 1,
         0, {}, {}, std::array{0.0f, 0.0f, 0.1f}},
        {"CR alone ends no line", kMunichLine + "\r$GSENSOR,01,02,03\r", 0, "", 1},
        {"the last line without a line feed is not read", kMunich + "$GSENSOR,01,02,03", 1, "gps", 2, 0, kMunichFix,
         std::array{0, 0, 0}},
        {"text before '$' is dropped and '$' restarts", "junk $GSENSOR,01,01,01 $GSENSOR,02,02,02\n", 1, "sensor", 0,
         0, {}, std::array{2, 2, 2}},
        {"a line is cut to 200 characters", cutTo200 + "\n", 1, "sensor", 1, 0, {}, {}, std::array{0.5f, 0.25f, 0.125f}},
        {"the 200th character is kept", commaAt200 + "\n", 0, "", 1},
        {"a field of 20 characters", "$GSENSORD,0.5,0.5,0.500000000000000000\n", 1, "sensor", 0, 0, {}, {}, half},
        {"a field of 21 characters skips the sentence", "$GSENSORD,0.5,0.5,0.5000000000000000000\n", 0, "", 1},
        {"23 fields", sentence("$GSENSORD,0.5,0.5,0.5", 23, "x") + "\n", 1, "sensor", 0, 0, {}, {}, half},
        {"24 fields skip the sentence", sentence("$GSENSORD,0.5,0.5,0.5", 24, "x") + "\n", 0, "", 1},
        // One sample per fix whatever talkers the receiver uses; a combined (GN) fix replaces another's.
        {"GP then GN for one fix: the combined fix and its altitude win", rmcOf("GP", t0, "A", kP1, "10") +
         rmcOf("GN", t0, "A", kP2, "20") + ggaOf("GN", t0, "500") + ggaOf("GP", t0, "400"), 1, "gps", 0, 0, p2(20),
         {}, {}, 500},
        {"GN then GP for one fix", rmcOf("GN", t0, "A", kP2, "20") + rmcOf("GP", t0, "A", kP1, "10"), 1, "gps", 0, 0,
         p2(20)},
        {"GP and GL only", rmcOf("GP", t0, "A", kP1, "10") + rmcOf("GL", t0, "A", kP2, "20") + ggaOf("GL", t0, "300"), 1,
         "gps", 0, 0, p1(10), {}, {}, 300},
        {"GP only: a repeated line and 5 Hz stay samples of their own", rmcOf("GP", "101500.00", "A", kP1, "10") +
         rmcOf("GP", "101500.00", "A", kP1, "10") + rmcOf("GP", "101500.20", "A", kP2, "20"), 3, "gps", 0, -1, p2(20)},
        {"altitude and G values stay when the combined fix replaces the sample", rmcOf("GP", t0, "A", kP2, "20") +
         ggaOf("GP", t0, "400") + sensorX("3e") + rmcOf("GN", t0, "A", kP1, "10"), 1, "gps sensor", 0, 0, p1(10),
         std::array{62, 0, 0}, {}, 400},
        {"a combined fix after a void one is the first fix, shown by the seconds before it",
         rmcOf("GP", t0, "V", kNoFix, "5") + rmcOf("GP", t1, "V", kNoFix, "5") + rmcOf("GN", t1, "A", kP2, "20"), 2,
         "gps", 0, 0, kP2NotMeasured},
        {"a void combined fix does not replace a valid one",
         rmcOf("GP", t0, "A", kP1, "10") + rmcOf("GN", t0, "V", kNoFix, "20"), 1, "gps", 0, 0, p1(10)},
        {"the replaced fix is not remembered as the last fix", rmcOf("GP", t0, "A", kP1, "10") +
         rmcOf("GN", t0, "A", kP2, "20") + rmcOf("GP", t1, "V", kNoFix, "5"), 2, "gps", 0, 1, kP2NotMeasured},
        {"void sentences without a time merge across talkers",
         rmcOf("GP", "", "V", kNoFix, "5") + rmcOf("GN", "", "V", kNoFix, "20"), 1, "gps", 0, 0, Position{0, 0, kmh(20), NAN}},
        {"talkers match exactly", rmcOf("gn", t0, "A", kP1, "10") + rmcOf("XX", t0, "A", kP1, "10") + "$GNRMCX," + t0 +
         ",A," + kP1 + ",10\n", 0, "", 0},
    };
    // Latitude under 3 characters, no hemisphere, longitude under 4 characters: no fix, the speed stands.
    for (const char* fields : {"A,48,N,01131.000,E", "A,4807.038,,01131.000,E", "A,4807.038,N,011,E"})
        rules.push_back({std::string("no fix: ") + fields, rmc(fields), 1, "gps", 0, 0, Position{0, 0, kmh(10), 90}});
    // GSENSOR counts in hex, either case: the lowest 8 bits, signed; 9 digits or a sign are 0 and an issue.
    for (auto [hex, x, issueLine] : {std::tuple{"C2", -62, 0}, {"1f0", -16, 0}, {"000000ff", -1, 0}, {"7F", 127, 0},
                                     {"80", -128, 0}, {"", 0, 0}, {"123456789", 0, 1}, {"-1", 0, 1}})
        rules.push_back({std::string("hex ") + hex, sensorX(hex), 1, "sensor", issueLine, 0, {}, std::array{x, 0, 0}});
    for (const char* locale : {"C", "de_DE.UTF-8"}) {
        ASSERT_NE(std::setlocale(LC_ALL, locale), nullptr) << locale << " (scripts/setup generates it)";
        for (const Rule& r : rules) {
            SCOPED_TRACE(r.rule + " in " + locale);
            const auto [list, issue, times] = parse(r.log);
            ASSERT_EQ(list.GetDataCount(), r.samples);
            // Times go with RMC samples, a replaced one's included; a sensor-only log has none.
            EXPECT_EQ(times.size(), list.IsGPSReady() ? std::size_t(r.samples) : 0);
            const std::string flags = r.flags;
            EXPECT_EQ(list.IsGPSReady(), flags.find("gps") != std::string::npos);
            EXPECT_EQ(list.IsGSensorReady(), flags.find("sensor") != std::string::npos);
            EXPECT_EQ(issue.line, r.issueLine) << (issue.message ? issue.message : "");
            if (r.samples == 0) continue;
            const GpsData& s = *list.GetGpsData(r.at);
            const Position position{s.fLatitude(), s.fLongitude(), s.fSpeed(), s.fDirection()};
            for (std::size_t i = 0; r.position && i < 4; ++i) {
                if (!std::isnan((*r.position)[i])) {
                    EXPECT_FLOAT_EQ(position[i], (*r.position)[i]) << i;
                }
            }
            std::array<float, 3> g{};
            if (r.counts) {
                EXPECT_EQ((std::array{s.GetSensorX(), s.GetSensorY(), s.GetSensorZ()}), *r.counts);
                for (std::size_t i = 0; i < 3; ++i) g[i] = static_cast<float>((*r.counts)[i] * 0.016);
            }
            EXPECT_EQ((std::array{s.GetGValueX(), s.GetGValueY(), s.GetGValueZ()}), r.g.value_or(g));
            EXPECT_DOUBLE_EQ(s.dAltitude(), r.altitude);
        }
    }
    std::setlocale(LC_ALL, "C");
}

// Counts are compared as counts and g values as g; an equal peak later does not move the index,
// and a track of negative values keeps a maximum of 0 set at its first sample.
TEST(GpsParser, SensorExtremes) {
    for (auto [lines, max, maxIndex, min, minIndex] :
         {std::tuple{"$GSENSOR,00,fa,10|$GSENSOR,00,fa,2a|$GSENSOR,00,fa,20|$GSENSOR,00,fa,2a", 0.672f, 1, -0.096f, 0},
          {"$GSENSORD,0,-0.096,0.256|$GSENSORD,0,-0.096,0.672|$GSENSORD,0,-0.096,0.5|$GSENSORD,0,-0.096,0.672", 0.672f,
           1, -0.096f, 0},
          {"$GSENSORD,-0.2,-0.3,-0.1|$GSENSORD,-0.5,-0.1,-0.1|$GSENSORD,0,-0.5,0", 0.0f, 0, -0.5f, 1}}) {
        std::string log = kMunich + lines + "\n";  // each line on a second of its own
        for (std::size_t at = 0; (at = log.find('|', at)) != std::string::npos;) log.replace(at, 1, "\n" + kMunich);
        const GpsList list = std::get<0>(parse(log));
        EXPECT_EQ(std::tuple(list.GetMaxGValue(), list.GetMaxGIndex(), list.GetMinGValue(), list.GetMinGIndex()),
                  std::tuple(max, maxIndex, min, minIndex))
            << lines;
    }
}

TEST(GpsParser, FilesThatCannotBeReadLeaveTheTrackAloneAndReadOnesAppend) {
    TempHome home;
    GpsList list;
    list.InsertData(1, 1, 1, 1, -1);
    GpsParser parser;
    EXPECT_FALSE(parser.ParseFile(home.path() + "/missing.log", &list));
    EXPECT_EQ(parser.errorCode(), ENOENT);
    ASSERT_TRUE(writeFile(home.path() + "/empty.log", "") && writeFile(home.path() + "/ok.log", kMunich + kMunich));
    EXPECT_FALSE(parser.ParseFile(home.path() + "/empty.log", &list));
    EXPECT_EQ(parser.errorText(), "the log is empty");
    EXPECT_FALSE(parser.ParseFile(home.path(), &list));  // a folder
    EXPECT_EQ(list.GetDataCount(), 1);
    EXPECT_TRUE(parser.ParseFile(home.path() + "/ok.log", &list));
    EXPECT_EQ(std::pair(list.GetDataCount(), parser.errorText()), std::pair(3, std::string()));  // the caller clears
}

TEST(GpsParser, SentenceTimesForExport) {
    // None for a sensor line's own sample or an RMC without time; 1994-03-23 12:35:19 and
    // 1999-12-31 23:59:59.5 UTC.
    EXPECT_EQ(std::get<2>(parse(kSensor + kMunich + "$GPRMC,235959.50,A,4807.038,N,01131.000,E,1,2,311299,,*00\n" +
                                "$GPRMC,,V,,,,,,,,,*00\n")),
              (std::vector<std::int64_t>{-1, 764426119000, 946684799500, -1}));
}
