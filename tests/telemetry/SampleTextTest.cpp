#include "cli/TelemetryCommand.h"
#include "outputs/GpxSave.h"
#include "support/MemoryPreferences.h"
#include "telemetry/GpsParser.h"
#include "telemetry/SampleText.h"

#include <gtest/gtest.h>

#include <clocale>

// Headings have inclusive upper bounds and rounded degrees; numbers are printed the same in a
// German locale, whose decimal separator is a comma.
TEST(SampleText, HeadingCoordinatesAndAltitudeWhateverTheLocale) {
    MemoryPreferences english;  // English texts whatever the machine's language
    english.values["LANGUAGE_ID"] = 0;
    ASSERT_NE(std::setlocale(LC_NUMERIC, "de_DE.UTF-8"), nullptr) << "scripts/setup generates de_DE.UTF-8";
    for (auto [heading, text] : {std::pair{-1.0f, "-"}, {0.0f, "N 0°"}, {22.5f, "N 23°"}, {22.6f, "NE 23°"},
                                 {67.5f, "NE 68°"}, {67.6f, "E 68°"}, {112.5f, "E 113°"}, {157.5f, "SE 158°"},
                                 {157.6f, "S 158°"}, {202.5f, "S 203°"}, {247.5f, "SW 248°"}, {292.5f, "W 293°"},
                                 {292.6f, "NW 293°"}, {337.4f, "NW 337°"}, {337.5f, "N 338°"}, {359.6f, "N 360°"}})
        EXPECT_EQ(pmGetDirectionString(heading), text) << heading;
    for (auto [latitude, value, text] :
         {std::tuple{true, -25.5f, "S 25°30'0.0\""}, {true, 25.5f, "N 25°30'0.0\""}, {false, -0.25f, "W 0°15'0.0\""},
          {false, 121.5125f, "E 121°30'45.0\""}, {true, 0.0f, "N 0°00'00\""}, {false, 0.0f, "E 0°00'00\""},
          {true, 10.0001f, "N 10°00'0.4\""}})
        EXPECT_EQ(pmGetLocationString(latitude, value), text) << value;
    for (auto [altitude, text] :
         {std::pair{65535.0f, "-"}, {70000.0f, "-"}, {12.25f, "12.2  m"}, {12.5f, "12.5  m"}, {-3.0f, "-3.0  m"}})
        EXPECT_EQ(pmGetAltitudeString(altitude), text) << altitude;
    std::setlocale(LC_NUMERIC, "C");
}

TEST(SampleText, SpeedInTheChosenUnitAndTheViewsConversions) {
    EXPECT_EQ(std::tuple(pmGetShownSpeed(105.4f, kSpeedUnitMph), pmGetShownSpeed(105.4f, kSpeedUnitKmh),
                         pmGetShownSpeed(99.5f, kSpeedUnitKmh), pmGetSpeedInUnit(-1.0f, kSpeedUnitMph)),
              std::tuple(65, 105, 100, -1.0f));  // 65.49 mph; an unknown speed stays unknown
    EXPECT_EQ(pmGetSpeedUnitString(kSpeedUnitKmh) + " " + pmGetSpeedUnitString(7), "km/h mph");
    EXPECT_FLOAT_EQ(pmGetSpeedByMile(100.0f), 62.137f);
    EXPECT_DOUBLE_EQ(pmMeter2Feet(100.0), 328.0);
    EXPECT_EQ(std::pair(pmFixFloatValue(1.0), pmFixFloatValue(0.0)), std::pair(1.0005, -0.0005));
    EXPECT_EQ(pmGetUnicharLength(u"abc\0def"), 3u);
}

// A sample with a latitude or a longitude of 0 has no position, for everyone who shows or exports
// it: the GPX export writes no track point, `cartena telemetry` gives null coordinates and the
// dashboard shows "-".
TEST(SamplePosition, AZeroCoordinateIsNoPositionForEveryConsumer) {
    const struct {
        float latitude, longitude;
        bool hasPosition;
    } cases[] = {
        {48.1173f, 11.516666f, true}, {-33.45f, -70.66f, true}, {0.0f, 11.516666f, false},
        {48.1173f, 0.0f, false},      {0.0f, 0.0f, false},
    };
    for (const auto& c : cases) {
        const std::string row = std::to_string(c.latitude) + ", " + std::to_string(c.longitude);
        LoadedTelemetry telemetry;
        telemetry.list.InsertData(c.latitude, c.longitude, 30.0f, 90.0f, -1);
        const GpsData& sample = *telemetry.list.GetGpsData(0);
        EXPECT_EQ(sample.hasPosition(), c.hasPosition) << row;

        const std::string gpx = pmGpxDocument({&telemetry.list, nullptr, 0, "drive"});
        EXPECT_EQ(gpx.find("<trkpt") != std::string::npos, c.hasPosition) << row << "\n" << gpx;

        const nlohmann::json json = pmTelemetryJson(telemetry, "FILE0001.AVI").at("samples").at(0);
        EXPECT_EQ(json.at("latitude").is_null(), !c.hasPosition) << row;
        EXPECT_EQ(json.at("longitude").is_null(), !c.hasPosition) << row;

        EXPECT_EQ(pmGetSampleLocationString(true, sample) == "-", !c.hasPosition) << row;
        EXPECT_EQ(pmGetSampleLocationString(false, sample) == "-", !c.hasPosition) << row;
    }
}
