#include "support/TempHome.h"
#include "telemetry/GpsLogFile.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace fs = std::filesystem;

TEST(GpsLogFile, LookupPlacesAndNames) {
    struct Case {
        const char* name;
        std::vector<std::string> files;    // relative to the card; a trailing '/' makes a folder
        const char* recording;
        std::string expected;              // relative to the card; empty = no log
    };
    const Case cases[] = {
        {"beside, .log first", {"Normal/FILE0001.log", "Normal/FILE0001.txt"}, "Normal/FILE0001.AVI",
         "Normal/FILE0001.log"},
        {"beside, .txt before .nmea", {"Normal/FILE0001.nmea", "Normal/FILE0001.txt"}, "Normal/FILE0001.AVI",
         "Normal/FILE0001.txt"},
        {"beside, upper-case .NMEA", {"Normal/FILE0001.NMEA"}, "Normal/FILE0001.MP4", "Normal/FILE0001.NMEA"},
        {"a folder with the log's name counts", {"Normal/FILE0001.log/"}, "Normal/FILE0001.AVI",
         "Normal/FILE0001.log"},
        {"the log folder wins over a log beside", {"Normal/FILE0001.log", "NMEA/FILE0001.NMEA"},
         "Normal/FILE0001.MOV", "NMEA/FILE0001.NMEA"},
        {"the log folder, .nmea before .NMEA", {"NMEA/FILE0001.nmea", "NMEA/FILE0001.NMEA"}, "Event/FILE0001.AVI",
         "NMEA/FILE0001.nmea"},
        {"a log folder without the log hides the one beside", {"Normal/FILE0001.log", "NMEA/"},
         "Normal/FILE0001.MOV", ""},
        {"... unless the whole name + .txt exists", {"Normal/FILE0001.log", "NMEA/", "Normal/FILE0001.MOV.txt"},
         "Normal/FILE0001.MOV", "Normal/FILE0001.MOV.txt"},
        {"whole name + .txt when nothing else", {"Normal/FILE0001.AVI.txt"}, "Normal/FILE0001.AVI",
         "Normal/FILE0001.AVI.txt"},
        {"the log folder ignores .log names", {"NMEA/FILE0001.log"}, "Normal/FILE0001.AVI", ""},
        {"other titles do not match", {"Normal/FILE0002.log"}, "Normal/FILE0001.AVI", ""},
    };
    for (const Case& c : cases) {
        TempHome home;
        const std::string card = home.path() + "/card";
        for (const std::string& file : c.files) {
            const fs::path path = fs::path(card) / file;
            fs::create_directories(file.back() == '/' ? path : path.parent_path());
            if (file.back() != '/') {
                ASSERT_TRUE(writeFile(path.string(), "$GPRMC\n"));
            }
        }
        fs::create_directories(fs::path(card) / fs::path(c.recording).parent_path());
        const auto log = pmGetGpsLogFile(card + "/" + c.recording);
        if (c.expected.empty()) {
            EXPECT_FALSE(log.has_value()) << c.name << ": " << log.value_or("");
        } else {
            ASSERT_TRUE(log.has_value()) << c.name;
            EXPECT_EQ(fs::path(*log).lexically_normal(), fs::path(card + "/" + c.expected).lexically_normal()) << c.name;
        }
    }
}
