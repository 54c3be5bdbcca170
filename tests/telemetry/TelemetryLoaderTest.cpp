// What the sample card, whose own test checks every recording on it, cannot show of the loader.
#include "support/ContainerBuilder.h"
#include "support/TempHome.h"
#include "telemetry/GpsLogFile.h"
#include "telemetry/RecordingLength.h"
#include "telemetry/TelemetryLoader.h"

#include <gtest/gtest.h>

#include <filesystem>

using namespace containers;
namespace fs = std::filesystem;

TEST(TelemetryLoader, PadsOnlyTracksWithSensorValuesToTheWholeSeconds) {
    const std::string second0 = "$GPRMC,101500,A,4807.038,N,01131.000,E,020.0,084.4,010524,,*00\n";
    const std::string second1 = "$GPRMC,101501,A,4807.138,N,01131.100,E,022.0,084.4,010524,,*00\n";
    const float latitude = 48 + 7.138f / 60, speed = static_cast<float>(22.0 * 1.150779 * 1.6);
    TempHome home;
    GpsList list;
    // The log beside the recording ("-" none), then the samples and the last one's latitude, speed
    // and direction.
    for (auto [name, recording, log, source, samples, lastLatitude, lastSpeed, lastDirection] :
         {std::tuple{"a short log: padded with its last position", "FILE0001.MOV",
                     second0 + "$GSENSOR,01,02,3e\n" + second1, TelemetrySource::TextLog, 10, latitude, -1.0f, -1.0f},
          {"a log without G-sensor lines is not padded", "FILE0002.MOV", second0 + second1, TelemetrySource::TextLog, 2,
           latitude, speed, 84.4f},
          {"not RIFF: the G-sensor stage's success pads an empty track", "FILE0003.AVI", "-",
           TelemetrySource::AviChunks, 10, 0.0f, 0.0f, -1.0f},
          {"an MP4 without a log: nothing, and the last track is gone", "FILE0004.MP4", "-", TelemetrySource::None, 0,
           0.0f, 0.0f, 0.0f}}) {
        const std::string path = home.path() + "/" + recording;
        ASSERT_TRUE(writeFile(path, "not a movie"));
        if (log != "-") {
            ASSERT_TRUE(writeFile(path.substr(0, path.size() - 4) + ".log", log));
        }
        const TelemetryLoad load = pmLoadTelemetry(path, 10.9, list);
        EXPECT_EQ(std::tuple(load.source, load.found, load.lengthSeconds), std::tuple(source, samples > 0, 10)) << name;
        ASSERT_EQ(list.GetDataCount(), samples) << name;
        if (samples == 0) continue;
        const GpsData& last = *list.GetLastData();
        EXPECT_EQ(std::tuple(last.fLatitude(), last.fSpeed(), last.fDirection()),
                  std::tuple(lastLatitude, lastSpeed, lastDirection))
            << name;
    }
    EXPECT_EQ(pmLoadTelemetry(home.path() + "/FILE0001.MOV", 0.9, list).lengthSeconds, 0);
    EXPECT_EQ(list.GetDataCount(), 2);  // nothing to pad to
}

TEST(TelemetryLoader, EventMarkGoesToTheLargerMagnitudeAboveHalfAG) {
    // Maximum 3 at second 3, minimum at second 7.
    for (auto [max, min, type, sensor, event] :
         {std::tuple{0.4f, -0.6f, 1, true, 7}, {0.6f, -0.6f, 1, true, 3}, {0.5f, -0.5f, 1, true, -1},
          {0.9f, -0.1f, 0, true, -1}, {0.9f, -0.1f, 1, false, -1}, {0.51f, 0.0f, 1, true, 3}}) {
        GpsList list;
        list.setFMaxGValue(max);
        list.setFMinGValue(min);
        list.setNMaxGIndex(3);
        list.setNMinGIndex(7);
        list.setBSenser(sensor);
        EXPECT_EQ(pmGetEventTime(list, std::uint16_t(type)), event) << max << " " << min << " " << type;
    }
}

TEST(TelemetryLoader, RecordingLengthFromTheContainer) {
    auto avi = [](std::uint32_t frames) {  // frames of 33 333 us in 8 KiB
        return aviImage({.size = 8192}).flat().replace(48, 4, le32(frames));
    };
    auto mp4 = [](std::uint32_t scale, std::uint32_t duration) {
        return mp4Image({.timeScale = scale, .duration = duration, .mediaBytes = 100}).flat();
    };
    const std::string version1 = ftypBox() + box("moov", box("udta", "") + box("mvhd", std::string("\x01\0\0\0", 4) +
                                                 zeros(16) + be32(90000) + be64(90000ull * 61)));
    TempHome home;
    for (auto [name, bytes, length] :  // length -1: none
         {std::tuple{"AVI: frames x frame time", avi(899), 899 * 33333 / 1e6},
          {"AVI claiming more frames than 8 bytes each could hold", avi(4000000000u), 8192 / 8 * 33333 / 1e6},
          {"MP4 version 0", mp4(1000, 30500), 30.5}, {"MP4 version 1", version1, 61.0},
          {"MP4 with a forged length is capped at a day", mp4(1, 0xFFFFFFFFu), kMaxRecordingLength},
          {"MP4 with a time scale of 0", mp4(0, 100), -1.0}, {"not a container", std::string("hello, world"), -1.0}}) {
        ASSERT_TRUE(writeFile(home.path() + "/LEN.DAT", bytes));
        EXPECT_EQ(pmGetRecordingLength(home.path() + "/LEN.DAT").value_or(-1), length) << name;
    }
}

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
