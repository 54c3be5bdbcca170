#include "app/MapPageScript.h"
#include "support/MemoryPreferences.h"
#include "telemetry/GpsList.h"
#include "telemetry/SampleText.h"

#include <gtest/gtest.h>

#include <clocale>

namespace {

// A track with a position fix per sample ({0, 0}: no fix that second).
GpsList trackOf(std::initializer_list<std::pair<float, float>> points) {
    GpsList track;
    for (const auto& [latitude, longitude] : points) track.InsertData(latitude, longitude, 50.0f, 90.0f, -1);
    track.setBGps(true);
    return track;
}

std::string joined(const std::vector<std::string>& statements) {
    std::string text;
    for (const std::string& s : statements) text += (text.empty() ? "" : " ") + s;
    return text;
}

}  // namespace

TEST(MapPageProtocol, StatementsAreWrittenAsTheCFormatsWriteThemWhateverTheLocale) {
    if (!std::setlocale(LC_ALL, "de_DE.UTF-8")) GTEST_SKIP() << "no German locale on this machine";
    EXPECT_EQ(pmMapSetCenterScript(25.0330f, -121.5654f), "mapSetCenter(25.033001, -121.565399)");
    EXPECT_EQ(pmAddPathPointScript(-0.5f, 0.0f), "addPathPoint(-0.500000, 0.000000)");
    EXPECT_EQ(pmDrawPathScript(), "drawPath()");
    EXPECT_EQ(pmSetZoomScript(18), "setZoom(18)");
    EXPECT_EQ(pmAutoLocationScript(), "AutoLocation()");
    MemoryPreferences english;
    english.values["LANGUAGE_ID"] = 0;
    EXPECT_EQ(pmGetInfoBarLocationText(-25.5f, 121.5f, 10.0f, 12.25f, 90.0f), "E 90° [25.50000°S. 121.50000°E]  Alt.12.2m");
    std::setlocale(LC_ALL, "C");
}

TEST(MapPageProtocol, ATrackIsDrawnPointByPointAndZoomedByTheDistanceBetweenItsFirstAndLastFixes) {
    const struct {
        const char* name;
        GpsList track;
        const char* statements;
    } cases[] = {
        {"one sample: no zoom", trackOf({{25.0f, 121.5f}}), "addPathPoint(25.000000, 121.500000) drawPath()"},
        {"no fixes at all: from (0, 0) to (0, 0)", trackOf({{0, 0}, {0, 0}}),
         "addPathPoint(0.000000, 0.000000) addPathPoint(0.000000, 0.000000) drawPath() setZoom(18)"},
        {"seconds without a fix are sent but do not end the track",
         trackOf({{0, 0}, {25.0f, 121.5f}, {25.0f, 0}, {25.004f, 121.5f}, {0, 0}}),
         "addPathPoint(0.000000, 0.000000) addPathPoint(25.000000, 121.500000) addPathPoint(25.000000, 0.000000) "
         "addPathPoint(25.004000, 121.500000) addPathPoint(0.000000, 0.000000) drawPath() setZoom(15)"},
    };
    for (const auto& c : cases) EXPECT_EQ(joined(pmDrawPathStatements(&c.track)), c.statements) << c.name;

    // Degrees of longitude near the equator: 0.1, 0.5 and 1.0 km (each bound belongs to the wider
    // zoom), and just under after the rounding to four decimals.
    const float east = 0.001f;
    const struct {
        float degrees;
        int zoom;
    } bounds[] = {{0.0008975f, 18}, {0.00089832f, 15}, {0.0044915764f, 14}, {0.0089831528f, 13}, {0.008982f, 14}};
    for (const auto& b : bounds) {
        const GpsList track = trackOf({{east, east}, {east, east + b.degrees}});
        EXPECT_EQ(pmDrawPathStatements(&track).back(), pmSetZoomScript(b.zoom))
            << b.degrees << " degrees: " << pmMapDistanceKm(east, east, east, east + b.degrees) << " km";
    }

    // No track, or one without positions, only clears the path.
    GpsList noPositions = trackOf({{25.0f, 121.5f}, {25.1f, 121.5f}});
    noPositions.setBGps(false);
    EXPECT_EQ(joined(pmDrawPathStatements(&noPositions)), "drawPath()");
    EXPECT_EQ(joined(pmDrawPathStatements(nullptr)), "drawPath()");
}

TEST(MapPageProtocol, InfoBarTextsShowDashesForWhatIsUnknown) {
    MemoryPreferences english;
    english.values["LANGUAGE_ID"] = 0;
    const struct {
        float latitude, longitude, speed, altitude, heading;
        const char* location;
    } cases[] = {
        {25.0330f, 121.5654f, 40.0f, 65535.0f, 359.6f, "N 360° [25.03300°N. 121.56540°E]  Alt.-"},
        {25.0330f, 121.5654f, -1.0f, 12.0f, 10.0f, "N 10° [-. -]  Alt.-"},
        {0.0f, 121.5654f, 40.0f, 12.0f, -1.0f, "  [-. -]  Alt.-"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(pmGetInfoBarLocationText(c.latitude, c.longitude, c.speed, c.altitude, c.heading), c.location);
    EXPECT_EQ(pmGetInfoBarSpeedText(105.4f, kSpeedUnitMph), "65");
    EXPECT_EQ(pmGetInfoBarSpeedText(-1.0f, kSpeedUnitKmh), "-");
}
