#include "support/RunCommand.h"
#include "support/TempHome.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace {

const char* kLog =
    "$GPRMC,101500.00,V,,,,,003.0,,010524,,,N*00\n"
    "$GSENSOR,01,02,3e\n"
    "$GPRMC,101501.00,A,4807.0380,N,01131.0000,E,020.000,084.4,010524,,,A*00\n"
    "$GPGGA,101501.00,4807.0380,N,01131.0000,E,1,08,0.9,545.4,M,46.9,M,,*00\n"
    "$GSENSOR,01,f0,10\n";

class CartenaTelemetry : public ::testing::Test {
protected:
    void SetUp() override {
        std::filesystem::create_directories(home.path() + "/card/Movie");
        ASSERT_TRUE(writeFile(recording, "not really a movie"));
        ASSERT_TRUE(writeFile(log, kLog));
    }
    CommandResult run(std::vector<std::string> args) {
        args.insert(args.begin(), builtProgram("cli/cartena"));
        return runCommand(args);
    }
    TempHome home;
    const std::string recording = home.path() + "/card/Movie/FILE0001.MOV";
    const std::string log = home.path() + "/card/Movie/FILE0001.log";
};

}  // namespace

// (The JSON form is read on every recording of the sample card.)
TEST_F(CartenaTelemetry, CsvShowsTheTrackAsHeldAndNamesTheMarkers) {
    const CommandResult r = run({"telemetry", recording, "--length", "3"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    // The second before the fix shows the fix with speed -1; the padding continues it.
    EXPECT_EQ(r.out, "# markers: latitude,longitude 0,0 = no position; speed_kmh -1 = no measured speed (position "
                     "from another fix); direction -1 = unknown; altitude_m 65535 = no altitude\n"
                     "second,latitude,longitude,speed_kmh,direction,altitude_m,gx,gy,gz\n"
                     "0,48.1173,11.516666,-1,0,0,0.016,0.032,0.992\n"
                     "1,48.1173,11.516666,36.82493,84.4,545.4,0.016,-0.256,0.256\n"
                     "2,48.1173,11.516666,-1,-1,0,0,0,0\n"
                     "# recording: " + recording + "\n# source: text log " + log + "\n# samples: 3\n# length_s: 3\n"
                     "# peak_g: 0.992 at second 0\n# event_second: none\n");
}

TEST_F(CartenaTelemetry, SaysWhyALogCannotBeReadAndWhereItWentWrong) {
    ASSERT_TRUE(writeFile(log, ""));
    CommandResult r = run({"telemetry", recording});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_NE(r.err.find("FILE0001.log: the log cannot be read: the log is empty"), std::string::npos) << r.err;
    ASSERT_TRUE(writeFile(log, std::string(kLog) + "$GPRMC,1,A,4807.0380,N,01131.0000,E,0123456789012345678901,1\n"));
    r = run({"telemetry", recording});
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_NE(r.err.find("FILE0001.log:6: a field is longer than 20 characters"), std::string::npos) << r.err;
    r = run({"telemetry", home.path() + "/missing.AVI"});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_NE(r.err.find("no such file"), std::string::npos);
}

TEST_F(CartenaTelemetry, ExportsRefuseToOverwriteWithoutForce) {
    for (const std::string format : {"kml", "gpx"}) {
        const std::string out = home.path() + "/track." + format;
        EXPECT_EQ(run({format, recording, "-o", out}).exitCode, 0) << format;
        EXPECT_NE(readFile(out).find("track." + format), std::string::npos);  // named after its file
        const CommandResult refused = run({format, recording, "-o", out});
        EXPECT_EQ(refused.exitCode, 1) << format;
        EXPECT_NE(refused.err.find("--force"), std::string::npos) << refused.err;
        EXPECT_EQ(run({format, recording, "-o", out, "--force"}).exitCode, 0) << format;
    }
    // Both points of the log carry its UTC times.
    const std::string gpx = readFile(home.path() + "/track.gpx");
    EXPECT_NE(gpx.find("<time>2024-05-01T10:15:00Z</time>"), std::string::npos) << gpx;
    EXPECT_NE(gpx.find("<time>2024-05-01T10:15:01Z</time>"), std::string::npos) << gpx;
    // Nothing but the two exports beside the home's folders: no temporary files left.
    std::size_t files = 0;
    for (const auto& entry : std::filesystem::directory_iterator(home.path())) files += entry.is_regular_file();
    EXPECT_EQ(files, 2u);
}
