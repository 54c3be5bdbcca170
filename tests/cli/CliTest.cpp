#include "Utility/DiagnosticLog.h"
#include "support/ContainerBuilder.h"
#include "support/RunCommand.h"
#include "support/TempHome.h"

#include <gtest/gtest.h>

#include <filesystem>

TEST(CartenaCommand, EachCommandAnswersOrSaysWhatWentWrongOnOneLineWithItsExitCode) {
    TempHome home;
    const std::string h = home.path(), busy = h + "/busy", card = h + "/card/", made = h + "/new";
    std::filesystem::create_directories(busy);
    std::filesystem::create_directories(card);
    ASSERT_TRUE(writeFile(busy + "/keep.txt", "mine"));
    const std::string log = "$GPRMC,101500.00,V,,,,,003.0,,010524,,,N*00\n$GSENSOR,01,02,3e\n"
                            "$GPRMC,101501.00,A,4807.0380,N,01131.0000,E,020.000,084.4,010524,,,A*00\n"
                            "$GPGGA,101501.00,4807.0380,N,01131.0000,E,1,08,0.9,545.4,M,46.9,M,,*00\n"
                            "$GSENSOR,01,f0,10\n";
    const std::string longField = "$GPRMC,1,A,4807.0380,N,01131.0000,E,0123456789012345678901,1\n";
    const auto cutShort = containers::mp4Image({.majorBrand = "qt  ", .withMoov = false});  // before its index
    for (const auto& [name, text] : {std::pair{"FILE0001", log}, {"FILE0002", ""}, {"FILE0003", log + longField}})
        ASSERT_TRUE(containers::writeImage(card + name + ".MOV", cutShort) && writeFile(card + name + ".log", text));
    // The track as held: the second before the fix shows the fix with speed -1; the padding continues it.
    const std::string csv = "# markers: latitude or longitude 0 = no position; speed_kmh -1 = no measured speed "
                            "(position from another fix); direction -1 = unknown; altitude_m 65535 = no altitude\n"
                            "second,latitude,longitude,speed_kmh,direction,altitude_m,gx,gy,gz\n"
                            "0,48.1173,11.516666,-1,0,0,0.016,0.032,0.992\n"
                            "1,48.1173,11.516666,36.82493,84.4,545.4,0.016,-0.256,0.256\n"
                            "2,48.1173,11.516666,-1,-1,0,0,0,0\n# recording: " + card + "FILE0003.MOV\n"
                            "# source: text log " + card + "FILE0003.log\n# samples: 3\n# length_s: 3\n"
                            "# peak_g: 0.992 at second 0\n# event_second: none\n";
    // The arguments, the exit code and what standard output and standard error begin with.
    const std::tuple<std::vector<std::string>, int, std::string, std::string> cases[] = {
        {{"--help"}, 0, "cartena: the command line", ""},
        {{"--version"}, 0, "cartena ", ""},
        {{"--no-such-option"}, 2, "", "cartena: "},
        {{"no-such-command"}, 2, "", "cartena: "},
        {{"scan", h + "/no card"}, 1, "", "cartena scan: no such folder: " + h + "/no card\n"},
        {{"scan", busy + "/keep.txt"}, 1, "", "cartena scan: not a folder: " + busy + "/keep.txt\n"},
        {{"scan", card, "--day", "2024-13-01"}, 2, "", "cartena: "},
        {{"scan", card, "--day", "2023-02-29"}, 2, "", "cartena: "},
        {{"make-sample-card", busy}, 1, "", "cartena make-sample-card: " + busy + " exists and is not empty\n"},
        {{"make-sample-card", made, "--first-day", "2024-13-01"}, 2, "", "cartena: "},
        {{"make-sample-card", made, "--first-day", "2024-02-30x"}, 2, "", "cartena: "},
        {{"make-sample-card", made, "--first-day", "24-02-27"}, 2, "", "cartena: "},
        {{"telemetry", h + "/missing.AVI"}, 1, "", "cartena telemetry: " + h + "/missing.AVI: no such file\n"},
        {{"telemetry", card + "FILE0002.MOV"}, 1, "# markers: ",  // the empty table all the same
         "cartena telemetry: " + card + "FILE0002.log: the log cannot be read: the log is empty\n"},
        {{"telemetry", card + "FILE0003.MOV", "--length", "3"}, 0, csv,
         "cartena telemetry: " + card + "FILE0003.log:6: a field is longer than 20 characters"},
        {{"kml", card + "FILE0001.MOV", "-o", h + "/track.kml"}, 0, "", ""},
        {{"kml", card + "FILE0001.MOV", "-o", h + "/track.kml"}, 1, "",
         "cartena kml: " + h + "/track.kml: the file exists (use --force to replace it)\n"},
        {{"kml", card + "FILE0001.MOV", "-o", h + "/track.kml", "--force"}, 0, "", ""},
        {{"gpx", card + "FILE0001.MOV", "-o", h + "/track.gpx"}, 0, "", ""},
        {{"gpx", card + "FILE0001.MOV", "-o", h + "/track.gpx"}, 1, "",
         "cartena gpx: " + h + "/track.gpx: the file exists (use --force to replace it)\n"},
        {{"gpx", card + "FILE0001.MOV", "-o", h + "/track.gpx", "--force"}, 0, "", ""},
    };
    pmOutputDebugMsg("earlier line");
    for (const auto& [args, exitCode, out, err] : cases) expectCartenaAnswer(args, exitCode, out, err);
    EXPECT_EQ(readFile(busy + "/keep.txt"), "mine");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(busy), {}), 1);
    EXPECT_FALSE(std::filesystem::exists(made));
    // The exports are named after their files and carry the log's UTC times; no temporary file is left.
    EXPECT_NE(readFile(h + "/track.kml").find("<name><![CDATA[track.kml]]></name>"), std::string::npos);
    const std::string gpx = readFile(h + "/track.gpx");
    EXPECT_NE(gpx.find("<time>2024-05-01T10:15:00Z</time>"), std::string::npos) << gpx;
    EXPECT_NE(gpx.find("<time>2024-05-01T10:15:01Z</time>"), std::string::npos) << gpx;
    const auto isFile = [](const std::filesystem::directory_entry& entry) { return entry.is_regular_file(); };
    EXPECT_EQ(std::count_if(std::filesystem::directory_iterator(h), {}, isFile), 2);
    // A scan appends to the log of earlier runs.
    ASSERT_EQ(runCommand({builtProgram("cli/cartena"), "scan", busy}).exitCode, 0);
    EXPECT_EQ(logMessages().front(), "earlier line");
    EXPECT_EQ(logMessages().back(), "AppDelegate::buildVideoLibrary - End !");
}

// What the command line refuses: a length no recording has or a backup without its sources (usage,
// exit 2), and paths that are not recordings or folders that are not there (exit 1). A recording cut
// short still gives its telemetry.
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
    std::vector<std::tuple<std::vector<std::string>, int, std::string>> refusals;  // arguments, exit code, error
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
    for (const auto& [args, exitCode, err] : refusals) expectCartenaAnswer(args, exitCode, "", err);

    // The longest length taken, on a recording cut short before its index.
    const CommandResult day = runCommand({cartena, "telemetry", recording, "--length", "86400", "--format", "json"});
    ASSERT_EQ(day.exitCode, 0) << day.err;
    EXPECT_NE(day.out.find("\"length_s\": 86400"), std::string::npos);
    EXPECT_NE(day.out.find("\"latitude\": 48.1173"), std::string::npos) << day.out;
}
