#include "cli/TelemetryCommand.h"
#include "outputs/GpxSave.h"
#include "telemetry/SampleText.h"

#include <gtest/gtest.h>

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
