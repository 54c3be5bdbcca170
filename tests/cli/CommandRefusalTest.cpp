// What the command line refuses: a length no recording has or a backup without its sources (usage,
// exit 2), and paths that are not recordings or folders that are not there (exit 1); each says so
// on one line. A recording cut short still gives its telemetry.
#include "support/ContainerBuilder.h"
#include "support/RunCommand.h"
#include "support/TempHome.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace {

struct Refusal {
    std::vector<std::string> arguments;  // after the program
    int exitCode;
    std::string says;                    // part of the one line on standard error
};

}  // namespace

TEST(CommandRefusal, LengthsAndPathsThatAreNoRecording) {
    TempHome home;
    const std::string cartena = builtProgram("cli/cartena");
    const std::string folder = home.path() + "/card";
    std::filesystem::create_directories(folder + "/Movie.MP4");
    containers::Mp4Options cut;
    cut.withMoov = false;
    ASSERT_TRUE(containers::writeImage(folder + "/FILE0001.MP4", containers::mp4Image(cut)));
    ASSERT_TRUE(writeFile(folder + "/FILE0001.log", "$GNRMC,101500,A,4807.038,N,01131.000,E,10.0,84.4,010524,,*00\n"));
    ASSERT_TRUE(writeFile(folder + "/NOISE.MP4", std::string(4096, '\x5a')));
    ASSERT_TRUE(containers::writeImage(folder + "/RIFF.MP4", containers::aviImage()));
    ASSERT_TRUE(containers::writeImage(folder + "/MOVIE.AVI", containers::mp4Image()));
    ASSERT_TRUE(writeFile(folder + "/FILE0001.txt", "$GPRMC\n"));
    const std::string recording = folder + "/FILE0001.MP4";

    const char* length = "expected a number of seconds above 0 and at most 86400";
    const char* notRecording = ": not a recording (";
    std::vector<Refusal> refusals;
    for (const char* bad : {"nan", "inf", "-inf", "1e12", "-5", "0", "86400.5", "3s", ""})
        refusals.push_back({{"telemetry", recording, "--length", bad}, 2, length});
    const std::string out = home.path() + "/track";
    for (const std::string& path : {folder + "/NOISE.MP4", folder + "/RIFF.MP4", folder + "/MOVIE.AVI",
                                     folder + "/FILE0001.txt"})
        refusals.push_back({{"telemetry", path}, 1, notRecording});
    refusals.push_back({{"telemetry", folder + "/missing.MP4"}, 1, ": no such file"});
    refusals.push_back({{"telemetry", folder + "/Movie.MP4"}, 1, ": a folder, not a recording"});
    // The exports say the same.
    for (const char* command : {"kml", "gpx"}) {
        refusals.push_back({{command, folder + "/Movie.MP4", "-o", out}, 1, ": a folder, not a recording"});
        refusals.push_back({{command, folder + "/NOISE.MP4", "-o", out}, 1, notRecording});
    }
    // A backup needs recordings or a card, and a folder to copy to.
    refusals.push_back({{"backup", "--to", folder}, 2, "name recordings"});
    refusals.push_back({{"backup", "--to", folder, recording, "--from", folder}, 2, "excludes"});
    refusals.push_back({{"backup", "--to", folder, "--event", recording}, 2, "--from"});
    refusals.push_back({{"backup", "--to", out, recording}, 1, "no such folder"});
    for (const Refusal& r : refusals) {
        std::vector<std::string> argv{cartena};
        argv.insert(argv.end(), r.arguments.begin(), r.arguments.end());
        const CommandResult result = runCommand(argv);
        const std::string shown = r.arguments[0] + " " + r.arguments[1] + " " + r.arguments.back();
        EXPECT_EQ(result.exitCode, r.exitCode) << shown << "\n" << result.err;
        EXPECT_NE(result.err.find(r.says), std::string::npos) << shown << "\n" << result.err;
        EXPECT_EQ(std::count(result.err.begin(), result.err.end(), '\n'), 1) << shown << "\n" << result.err;
        EXPECT_TRUE(result.out.empty()) << shown << "\n" << result.out;
    }

    // The longest length taken, on a recording cut short before its index.
    const CommandResult day = runCommand({cartena, "telemetry", recording, "--length", "86400", "--format", "json"});
    ASSERT_EQ(day.exitCode, 0) << day.err;
    EXPECT_NE(day.out.find("\"length_s\": 86400"), std::string::npos);
    EXPECT_NE(day.out.find("\"latitude\": 48.1173"), std::string::npos) << day.out;
}
