#include "outputs/PrintPage.h"
#include "support/MemoryPreferences.h"
#include "telemetry/GpsData.h"

#include <gtest/gtest.h>

#include <optional>

TEST(PrintPage, FramesStackWithTheirOwnAspectAndTheRowsFollowTheGraph) {
    struct Case {
        int option;
        PrintRect video, video2, graph;
        int rowStep;
    };
    const Case cases[] = {
        // One frame across the page at 56 % of its width in height.
        {kPrintSingleCamera, {10, 10, 575, 322}, {10, 10, 575, 322}, {297, 342, 287, 177}, 39},
        // Both: 38 % of the page for camera 1 (16:9), the rest to 67 % for camera 2 (4:3).
        {kPrintBothCameras, {10, 10, 567, 319}, {10, 339, 313, 235}, {297, 584, 287, 177}, 39},
    };
    for (const Case& c : cases) {
        const PrintLayout layout = pmPrintLayout(595, 842, c.option, {640, 360}, {320, 240});
        EXPECT_EQ(layout.rectVideo, c.video) << c.option;
        EXPECT_EQ(layout.rectVideo2, c.video2) << c.option;
        EXPECT_EQ(layout.rectGSensor, c.graph) << c.option;
        EXPECT_EQ(layout.rectDirection, (PrintRect{10, c.graph.y, 287, 20})) << c.option;
        EXPECT_EQ(layout.rectSpeed.y, c.graph.y + 4 * c.rowStep) << c.option;
        EXPECT_EQ(layout.rectDate, (PrintRect{297, 812, 287, 20})) << c.option;
    }
    EXPECT_EQ(pmMakeHalfRect({10, 5, 287, 20}), (PrintRect{153, 5, 143, 20}));
}

TEST(PrintPage, ValuesShowDashesWhereTheSampleHasNoneAndSpeedInTheUnit) {
    MemoryPreferences store;
    store.values["LANGUAGE_ID"] = 0;
    struct Case {
        const char* name;
        std::optional<GpsData> sample;
        std::int16_t unit;
        std::vector<std::string> values;
    };
    auto sample = [](float latitude, double altitude) {
        GpsData s;
        s.setFLatitude(latitude);
        s.setFLongitude(-8.61f);
        s.setFSpeed(100.0f);
        s.setFDirection(180.0f);
        s.setDAltitude(altitude);
        return s;
    };
    const Case cases[] = {
        {"mph", sample(41.15f, 12.34), 1, {"S 180°", "-8.61000°", "41.15000°", "12.3 m", "62 mph"}},
        {"km/h", sample(41.15f, 12.34), 0, {"S 180°", "-8.61000°", "41.15000°", "12.3 m", "100 km/h"}},
        {"no altitude", sample(41.15f, 65535.0), 0, {"S 180°", "-8.61000°", "41.15000°", "-", "100 km/h"}},
        {"latitude 0", sample(0.0f, 12.34), 0, {"S 180°", "-", "-", "-", "-"}},
        {"no sample", std::nullopt, 0, {"-", "-", "-", "-", "-"}},
    };
    for (const Case& c : cases) {
        const PrintTexts texts = pmPrintTexts(c.sample ? &*c.sample : nullptr, c.unit, {2014, 6, 5});
        EXPECT_EQ(std::vector<std::string>(std::begin(texts.values), std::end(texts.values)), c.values) << c.name;
        EXPECT_EQ(texts.captions[4], "Speed :");
        EXPECT_EQ(texts.date, "Print Date : 2014/06/05");
    }
}
