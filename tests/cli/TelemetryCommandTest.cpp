#include "support/ContainerBuilder.h"
#include "support/RunCommand.h"
#include "support/TempHome.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

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
        recording = home.path() + "/card/Movie/FILE0001.MOV";
        // Cut short before its index, as when the camera lost power.
        containers::Mp4Options movie;
        movie.majorBrand = "qt  ";
        movie.withMoov = false;
        ASSERT_TRUE(containers::writeImage(recording, containers::mp4Image(movie)));
        ASSERT_TRUE(writeFile(home.path() + "/card/Movie/FILE0001.log", kLog));
    }
    TempHome home;
    std::string recording;
    const std::string cartena = builtProgram("cli/cartena");
};

}  // namespace

TEST_F(CartenaTelemetry, CsvShowsTheTrackAsHeldAndNamesTheMarkers) {
    const CommandResult r = runCommand({cartena, "telemetry", recording, "--length", "3"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_NE(r.out.find("speed_kmh -1 = "), std::string::npos);
    EXPECT_NE(r.out.find("altitude_m 65535 = "), std::string::npos);
    EXPECT_NE(r.out.find("\nsecond,latitude,longitude,speed_kmh,direction,altitude_m,gx,gy,gz\n"), std::string::npos);
    // The second before the fix shows the fix with speed -1; the padding continues it.
    EXPECT_NE(r.out.find("\n0,48.1173,11.516666,-1,0,0,0.016,0.032,0.992\n"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("\n1,48.1173,11.516666,36.82493,84.4,545.4,0.016,-0.256,0.256\n"), std::string::npos)
        << r.out;
    EXPECT_NE(r.out.find("\n2,48.1173,11.516666,-1,-1,0,0,0,0\n"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("# source: text log " + home.path() + "/card/Movie/FILE0001.log\n"), std::string::npos);
    EXPECT_NE(r.out.find("# samples: 3\n# length_s: 3\n# peak_g: 0.992 at second 0\n# event_second: none\n"),
              std::string::npos) << r.out;
}

TEST_F(CartenaTelemetry, JsonGivesNullForMarkers) {
    const CommandResult r = runCommand({cartena, "telemetry", recording, "--format", "json", "--length", "3"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    const auto document = nlohmann::json::parse(r.out);
    const auto& samples = document.at("samples");
    ASSERT_EQ(samples.size(), 3u);
    EXPECT_TRUE(samples[0].at("speed_kmh").is_null());
    EXPECT_EQ(samples[1].at("speed_kmh").get<double>(), 36.82493);
    EXPECT_TRUE(samples[2].at("direction").is_null());
    EXPECT_EQ(samples[1].at("altitude_m").get<double>(), 545.4);
    EXPECT_EQ(document.at("summary").at("source"), "text log");
    EXPECT_EQ(document.at("summary").at("peak_second"), 0);
    EXPECT_TRUE(document.at("summary").at("event_second").is_null());
}

TEST_F(CartenaTelemetry, SaysWhyALogCannotBeReadAndWhereItWentWrong) {
    ASSERT_TRUE(writeFile(home.path() + "/card/Movie/FILE0001.log", ""));
    CommandResult r = runCommand({cartena, "telemetry", recording});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_NE(r.err.find("FILE0001.log: the log cannot be read: the log is empty"), std::string::npos) << r.err;

    ASSERT_TRUE(writeFile(home.path() + "/card/Movie/FILE0001.log",
                          std::string(kLog) + "$GPRMC,1,A,4807.0380,N,01131.0000,E,0123456789012345678901,1\n"));
    r = runCommand({cartena, "telemetry", recording});
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_NE(r.err.find("FILE0001.log:6: a field is longer than 20 characters"), std::string::npos) << r.err;

    r = runCommand({cartena, "telemetry", home.path() + "/missing.AVI"});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_NE(r.err.find("no such file"), std::string::npos);
}

TEST_F(CartenaTelemetry, ExportsRefuseToOverwriteWithoutForce) {
    for (const char* format : {"kml", "gpx"}) {
        const std::string out = home.path() + "/track." + format;
        CommandResult r = runCommand({cartena, format, recording, "-o", out});
        ASSERT_EQ(r.exitCode, 0) << format << r.err;
        const std::string first = readFile(out);
        EXPECT_NE(first.find("track." + std::string(format)), std::string::npos);
        r = runCommand({cartena, format, recording, "-o", out});
        EXPECT_EQ(r.exitCode, 1) << format;
        EXPECT_NE(r.err.find("--force"), std::string::npos) << r.err;
        r = runCommand({cartena, format, recording, "-o", out, "--force"});
        EXPECT_EQ(r.exitCode, 0) << format << r.err;
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
