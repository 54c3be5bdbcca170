#include "support/TempHome.h"
#include "telemetry/GpsLogFile.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace fs = std::filesystem;

TEST(GpsLogFile, LookupPlacesAndNames) {
    // The files made (a trailing '/' makes a folder), the recording and the log found (empty: none),
    // all relative to the card.
    for (const auto& [name, files, recording, expected] : std::initializer_list<
             std::tuple<const char*, std::vector<std::string>, const char*, const char*>>{
        {"beside, .log first", {"N/F1.log", "N/F1.txt"}, "N/F1.AVI", "N/F1.log"},
        {"beside, .txt before .nmea", {"N/F1.nmea", "N/F1.txt"}, "N/F1.AVI", "N/F1.txt"},
        {"beside, upper-case .NMEA", {"N/F1.NMEA"}, "N/F1.MP4", "N/F1.NMEA"},
        {"a folder with the log's name counts", {"N/F1.log/"}, "N/F1.AVI", "N/F1.log"},
        {"the log folder wins over a log beside", {"N/F1.log", "NMEA/F1.NMEA"}, "N/F1.MOV", "NMEA/F1.NMEA"},
        {"the log folder, .nmea before .NMEA", {"NMEA/F1.nmea", "NMEA/F1.NMEA"}, "E/F1.AVI", "NMEA/F1.nmea"},
        {"a log folder without the log hides the one beside", {"N/F1.log", "NMEA/"}, "N/F1.MOV", ""},
        {"... unless the whole name + .txt exists", {"N/F1.log", "NMEA/", "N/F1.MOV.txt"}, "N/F1.MOV", "N/F1.MOV.txt"},
        {"whole name + .txt when nothing else", {"N/F1.AVI.txt"}, "N/F1.AVI", "N/F1.AVI.txt"},
        {"the log folder ignores .log names", {"NMEA/F1.log"}, "N/F1.AVI", ""},
        {"other titles do not match", {"N/F2.log"}, "N/F1.AVI", ""}}) {
        TempHome home;
        const fs::path card = home.path() + "/card";
        for (const std::string& file : files) {
            fs::create_directories((card / file).parent_path());
            if (file.back() != '/') {
                ASSERT_TRUE(writeFile((card / file).string(), "$GPRMC\n"));
            }
        }
        fs::create_directories((card / recording).parent_path());
        const auto log = pmGetGpsLogFile((card / recording).string());
        EXPECT_EQ(log ? fs::path(*log).lexically_normal().string() : "", *expected ? (card / expected).string() : "")
            << name;
    }
}
