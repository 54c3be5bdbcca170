#include "support/TempHome.h"
#include "telemetry/GpsParser.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <clocale>
#include <filesystem>

namespace {

struct Parsed {
    GpsList list;
    GpsParseIssue issue;
    int issues = 0;
};

Parsed parse(const std::string& text) {
    Parsed out;
    GpsParser parser;
    parser.ParseBuffer(text.data(), text.size(), &out.list);
    out.issue = parser.firstIssue();
    out.issues = parser.issueCount();
    return out;
}

const char* kMunich = "$GPRMC,123519,A,4807.038,N,01131.000,E,022.4,084.4,230394,003.1,W*6A\n";
const char* kVoid = "$GPRMC,123518,V,,,,,005.0,,230394,,*6A\n";

}  // namespace

TEST(GpsParser, RmcSentenceGivesPositionSpeedInKmhAndCourse) {
    const Parsed p = parse(kMunich);
    ASSERT_EQ(p.list.GetDataCount(), 1);
    const GpsData& s = *p.list.GetGpsData(0);
    EXPECT_FLOAT_EQ(s.fLatitude(), 48.1173f);
    EXPECT_FLOAT_EQ(s.fLongitude(), 11.516666f);
    EXPECT_FLOAT_EQ(s.fSpeed(), static_cast<float>(22.4 * 1.150779 * 1.6));
    EXPECT_NEAR(s.fSpeed(), 41.24, 0.01);
    EXPECT_FLOAT_EQ(s.fDirection(), 84.4f);
    EXPECT_TRUE(p.list.IsGPSReady());
    EXPECT_FALSE(p.list.IsGSensorReady());
    EXPECT_EQ(p.issues, 0);
}

TEST(GpsParser, HemispheresAndShortCoordinateFields) {
    struct Case {
        const char* fields;  // status .. E/W
        float latitude, longitude;
    };
    const Case cases[] = {
        {"A,3352.0000,S,15112.3000,E", -(33 + 52.0f / 60), 151 + 12.3f / 60},
        {"A,2254.6000,S,04310.8000,W", -(22 + 54.6f / 60), -(43 + 10.8f / 60)},
        {"A,4043.5000,N,07400.3000,W", 40 + 43.5f / 60, -(74 + 0.3f / 60)},
        {"A,0030.0000,N,00030.0000,E", 0.5f, 0.5f},
    };
    for (const Case& c : cases) {
        const Parsed p = parse(std::string("$GPRMC,000000,") + c.fields + ",010.0,090.0,010124,,*00\n");
        ASSERT_EQ(p.list.GetDataCount(), 1) << c.fields;
        EXPECT_FLOAT_EQ(p.list.GetGpsData(0)->fLatitude(), c.latitude) << c.fields;
        EXPECT_FLOAT_EQ(p.list.GetGpsData(0)->fLongitude(), c.longitude) << c.fields;
    }
    // A latitude of fewer than 3 characters or a missing hemisphere reads as 0: no fix, so the
    // sample keeps the sentence's speed at 0, 0.
    for (const char* fields : {"A,48,N,01131.000,E", "A,4807.038,,01131.000,E", "A,4807.038,N,011,E"}) {
        const Parsed p = parse(std::string("$GPRMC,000000,") + fields + ",010.0,090.0,010124,,*00\n");
        ASSERT_EQ(p.list.GetDataCount(), 1) << fields;
        const GpsData& s = *p.list.GetGpsData(0);
        EXPECT_TRUE(s.fLatitude() == 0.0f || s.fLongitude() == 0.0f) << fields;
        EXPECT_FLOAT_EQ(s.fSpeed(), static_cast<float>(10.0 * 1.150779 * 1.6)) << fields;
    }
}

TEST(GpsParser, SecondsBeforeTheFirstFixShowItAndLaterGapsKeepTheLastFix) {
    const Parsed p = parse(std::string(kVoid) + kVoid + kMunich + kVoid +
                           "$GPRMC,123521,A,4807.538,N,01131.500,E,030.0,090.0,230394,,*6A\n");
    ASSERT_EQ(p.list.GetDataCount(), 5);
    for (int i : {0, 1, 3}) {
        const GpsData& s = *p.list.GetGpsData(i);
        EXPECT_FLOAT_EQ(s.fLatitude(), 48.1173f) << i;
        EXPECT_FLOAT_EQ(s.fLongitude(), 11.516666f) << i;
        EXPECT_EQ(s.fSpeed(), -1.0f) << i;
    }
    EXPECT_NEAR(p.list.GetGpsData(2)->fSpeed(), 41.24, 0.01);
    EXPECT_FLOAT_EQ(p.list.GetGpsData(4)->fLatitude(), 48 + 7.538f / 60);

    // Without any fix the void sentences keep their own speed at 0, 0.
    const Parsed none = parse(kVoid);
    ASSERT_EQ(none.list.GetDataCount(), 1);
    EXPECT_EQ(none.list.GetGpsData(0)->fLatitude(), 0.0f);
    EXPECT_FLOAT_EQ(none.list.GetGpsData(0)->fSpeed(), static_cast<float>(5.0 * 1.150779 * 1.6));
    EXPECT_EQ(none.list.GetGpsData(0)->fDirection(), 0.0f);  // empty course reads 0
    EXPECT_TRUE(none.list.IsGPSReady());                     // a void fix still counts
}

TEST(GpsParser, AltitudeLandsOnTheLatestSample) {
    const std::string gga = "$GPGGA,123519,4807.038,N,01131.000,E,1,08,0.9,545.4,M,46.9,M,,*47\n";
    // Before any sample: nowhere to go.
    Parsed p = parse(gga + kMunich + gga);
    ASSERT_EQ(p.list.GetDataCount(), 1);
    EXPECT_DOUBLE_EQ(p.list.GetGpsData(0)->dAltitude(), 545.4);
    // A GGA before the second's RMC sets the previous second.
    p = parse(std::string(kMunich) + "$GPGGA,1,2,N,3,E,1,08,0.9,600.5,M,,M,,*47\n" + kMunich);
    EXPECT_DOUBLE_EQ(p.list.GetGpsData(0)->dAltitude(), 600.5);
    EXPECT_DOUBLE_EQ(p.list.GetGpsData(1)->dAltitude(), 0.0);
}

TEST(GpsParser, HexadecimalSensorCountsKeepTheLowestEightBitsSigned) {
    struct Case {
        const char* text;
        int count;
    };
    for (const Case& c : {Case{"3e", 62}, Case{"C2", -62}, Case{"1f0", -16}, Case{"000000ff", -1}, Case{"7F", 127},
                          Case{"80", -128}, Case{"", 0}, Case{"123456789", 0}, Case{"g1", 0}, Case{"3e*5A", 0},
                          Case{"-1", 0}}) {
        const Parsed p = parse(std::string("$GSENSOR,") + c.text + ",0,0\n");
        ASSERT_EQ(p.list.GetDataCount(), 1) << c.text;
        EXPECT_EQ(p.list.GetGpsData(0)->GetSensorX(), c.count) << c.text;
        EXPECT_FLOAT_EQ(p.list.GetGpsData(0)->GetGValueX(), static_cast<float>(c.count * 0.016)) << c.text;
    }
}

TEST(GpsParser, SensorLinesGoToTheSecondOfTheLatestFixOrMakeTheirOwnSamples) {
    Parsed p = parse(std::string(kMunich) + "$GSENSOR,ff,02,3e\n");
    ASSERT_EQ(p.list.GetDataCount(), 1);
    const GpsData& s = *p.list.GetGpsData(0);
    EXPECT_EQ(s.GetSensorX(), -1);
    EXPECT_EQ(s.GetSensorY(), 2);
    EXPECT_EQ(s.GetSensorZ(), 62);
    EXPECT_FLOAT_EQ(s.GetGValueY(), 0.032f);
    EXPECT_FLOAT_EQ(p.list.GetMaxGValue(), 0.992f);
    EXPECT_FLOAT_EQ(p.list.GetMinGValue(), -0.016f);
    EXPECT_TRUE(p.list.IsGSensorReady());

    // Only sensor lines: one sample each at 0, 0 with direction 0; the Z tail reads as 0.
    p = parse("$GSENSOR,01,02,03\n$GSENSOR,04,05,3e*5A\n$GSENSORD,0.5,-0.25,1.0\n");
    ASSERT_EQ(p.list.GetDataCount(), 3);
    for (const GpsData& sample : p.list.gpslist()) {
        EXPECT_EQ(sample.fLatitude(), 0.0f);
        EXPECT_EQ(sample.fDirection(), 0.0f);
    }
    EXPECT_EQ(p.list.GetGpsData(1)->GetSensorZ(), 0);
    EXPECT_EQ(p.issue.line, 2);
    // Decimal values leave the counts alone.
    EXPECT_EQ(p.list.GetGpsData(2)->GetSensorX(), 0);
    EXPECT_EQ(p.list.GetGpsData(2)->GetGValueY(), -0.25f);
    EXPECT_FALSE(p.list.IsGPSReady());
}

TEST(GpsParser, PeakIndexStaysOnTheFirstOfEqualPeaks) {
    const std::vector<std::vector<std::string>> logs = {
        {"$GSENSOR,00,fa,10", "$GSENSOR,00,fa,2a", "$GSENSOR,00,fa,20", "$GSENSOR,00,fa,2a"},
        {"$GSENSORD,0,-0.096,0.256", "$GSENSORD,0,-0.096,0.672", "$GSENSORD,0,-0.096,0.5", "$GSENSORD,0,-0.096,0.672"},
    };
    for (const auto& lines : logs) {
        std::string log;
        for (const std::string& line : lines) log += kMunich + line + "\n";
        const Parsed p = parse(log);
        ASSERT_EQ(p.list.GetDataCount(), 4) << lines[0];
        EXPECT_EQ(p.list.GetMaxGIndex(), 1) << lines[0];
        EXPECT_FLOAT_EQ(p.list.GetMaxGValue(), 0.672f) << lines[0];
        EXPECT_EQ(p.list.GetMinGIndex(), 0) << lines[0];
        EXPECT_FLOAT_EQ(p.list.GetMinGValue(), -0.096f) << lines[0];
    }
}

TEST(GpsParser, LineEndsAndTheLastLine) {
    const std::string lf = std::string(kMunich) + "$GSENSOR,01,02,03\n";
    std::string crlf, cr;
    for (char c : lf) {
        if (c == '\n') {
            crlf += "\r\n";
            cr += '\r';
        } else {
            crlf += c;
            cr += c;
        }
    }
    const Parsed a = parse(lf), b = parse(crlf), c = parse(cr);
    ASSERT_EQ(a.list.GetDataCount(), 1);
    ASSERT_EQ(b.list.GetDataCount(), 1);
    EXPECT_EQ(b.list.GetGpsData(0)->GetSensorZ(), 3);
    EXPECT_EQ(c.list.GetDataCount(), 0);
    EXPECT_EQ(c.issue.line, 1);

    const Parsed noFinalFeed = parse(std::string(kMunich) + "junk before $GPRMC,1,A,4807.038,N,01131.000,E,1,2,3");
    EXPECT_EQ(noFinalFeed.list.GetDataCount(), 1);
    EXPECT_EQ(noFinalFeed.issue.line, 2);
    EXPECT_NE(std::string(noFinalFeed.issue.message).find("line feed"), std::string::npos);

    // A '$' restarts the sentence; text before it is ignored.
    const Parsed restart = parse("noise $GSENSOR,01,01,01 $GSENSOR,02,02,02\n");
    ASSERT_EQ(restart.list.GetDataCount(), 1);
    EXPECT_EQ(restart.list.GetGpsData(0)->GetSensorX(), 2);
}

TEST(GpsParser, SentenceAndFieldLimits) {
    // 31 fields in 294 characters: cut to 200 characters it has 22 fields and parses.
    std::string longLine = "$GSENSORD,0.5,0.25,0.125";
    for (int i = 0; i < 27; ++i) longLine += ",123456789";
    Parsed p = parse(longLine + "\n");
    ASSERT_EQ(p.list.GetDataCount(), 1);
    EXPECT_EQ(p.list.GetGpsData(0)->GetGValueX(), 0.5f);
    EXPECT_EQ(p.issue.line, 1);

    struct Case {
        std::string line;
        int samples;
    };
    std::string fields23 = "$GSENSORD,0.5,0.5,0.5", fields24;
    for (int i = 4; i < 23; ++i) fields23 += ",x";
    fields24 = fields23 + ",x";
    for (const Case& c : {Case{"$GSENSORD,0.5,0.5,0.500000000000000000", 1},   // a field of 20 characters
                          Case{"$GSENSORD,0.5,0.5,0.5000000000000000000", 0},  // 21 characters
                          Case{fields23, 1}, Case{fields24, 0}}) {
        const Parsed q = parse(c.line + "\n");
        EXPECT_EQ(q.list.GetDataCount(), c.samples) << c.line;
        EXPECT_EQ(q.issues, 1 - c.samples) << c.line;
    }
}

TEST(GpsParser, NumbersIgnoreTheLocaleAndRejectInfinityAndNan) {
    const char* german = nullptr;
    for (const char* name : {"de_DE.UTF-8", "de_DE.utf8", "de_DE"})
        if ((german = std::setlocale(LC_ALL, name)) != nullptr) break;
    if (german == nullptr) GTEST_SKIP() << "no de_DE locale is installed (scripts/setup generates de_DE.UTF-8)";
    ASSERT_EQ(std::localeconv()->decimal_point[0], ',');
    const Parsed p = parse(std::string(kMunich) + "$GSENSORD,inf,nan,1e-1\n$GSENSORD,0.75,-1.5,+.25\n");
    std::setlocale(LC_ALL, "C");
    ASSERT_EQ(p.list.GetDataCount(), 1);
    EXPECT_FLOAT_EQ(p.list.GetGpsData(0)->fLatitude(), 48.1173f);
    EXPECT_FLOAT_EQ(p.list.GetGpsData(0)->fDirection(), 84.4f);
    EXPECT_EQ(p.list.GetGpsData(0)->GetGValueX(), 0.75f);
    EXPECT_EQ(p.list.GetGpsData(0)->GetGValueZ(), 0.25f);
    // inf and nan read as 0, so the first line's extremes are 0 and 0.1.
    EXPECT_EQ(p.list.GetMaxGValue(), 0.75f);
    EXPECT_EQ(p.list.GetMinGValue(), -1.5f);
    EXPECT_EQ(p.issue.line, 2);
}

TEST(GpsParser, FilesThatCannotBeReadLeaveTheTrackAlone) {
    TempHome home;
    GpsList list;
    list.InsertData(1, 1, 1, 1, -1);
    GpsParser parser;
    EXPECT_FALSE(parser.ParseFile(home.path() + "/missing.log", &list));
    EXPECT_EQ(parser.errorCode(), ENOENT);
    ASSERT_TRUE(writeFile(home.path() + "/empty.log", ""));
    EXPECT_FALSE(parser.ParseFile(home.path() + "/empty.log", &list));
    EXPECT_EQ(parser.errorText(), "the log is empty");
    std::filesystem::create_directory(home.path() + "/folder.log");
    EXPECT_FALSE(parser.ParseFile(home.path() + "/folder.log", &list));
    EXPECT_EQ(list.GetDataCount(), 1);

    ASSERT_TRUE(writeFile(home.path() + "/ok.log", std::string(kMunich) + kMunich));
    EXPECT_TRUE(parser.ParseFile(home.path() + "/ok.log", &list));
    EXPECT_EQ(list.GetDataCount(), 3);  // appended: the caller clears
    EXPECT_TRUE(parser.errorText().empty());
}

TEST(GpsParser, SentenceTimesForExport) {
    GpsList list;
    std::vector<std::int64_t> times;
    GpsParser parser;
    parser.setSampleTimes(&times);
    const std::string log = std::string("$GSENSOR,1,1,1\n") + kMunich +
                            "$GPRMC,235959.50,A,4807.038,N,01131.000,E,1,2,311299,,*00\n$GPRMC,,V,,,,,,,,,*00\n";
    parser.ParseBuffer(log.data(), log.size(), &list);
    ASSERT_EQ(times.size(), 4u);
    EXPECT_EQ(times[0], -1);
    EXPECT_EQ(times[1], 764426119000);   // 1994-03-23 12:35:19 UTC
    EXPECT_EQ(times[2], 946684799500);   // 1999-12-31 23:59:59.5 UTC
    EXPECT_EQ(times[3], -1);
}

TEST(GpsUnits, ViewConversions) {
    EXPECT_FLOAT_EQ(pmGetSpeedByMile(100.0f), 62.137f);
    EXPECT_EQ(pmGetSpeedByMile(-1.0f), -1.0f);
    EXPECT_DOUBLE_EQ(pmMeter2Feet(100.0), 328.0);
    EXPECT_DOUBLE_EQ(pmFixFloatValue(1.0), 1.0005);
    EXPECT_DOUBLE_EQ(pmFixFloatValue(0.0), -0.0005);
    EXPECT_EQ(pmGetUnicharLength(u"abc\0def"), 3u);
}
