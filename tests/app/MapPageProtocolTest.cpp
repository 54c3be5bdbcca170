#include "app/MapPageScript.h"
#include "support/MemoryPreferences.h"
#include "telemetry/GpsList.h"
#include "telemetry/SampleText.h"

#include <gtest/gtest.h>

#include <clocale>

namespace {

// A track of one sample per point ({0, 0}: no fix that second).
GpsList trackOf(std::initializer_list<std::pair<float, float>> points) {
    GpsList track;
    for (const auto& [latitude, longitude] : points) track.InsertData(latitude, longitude, 50.0f, 90.0f, -1);
    track.setBGps(true);
    return track;
}

std::string statementsFor(const GpsList* track) {
    std::string text;
    for (const std::string& s : pmDrawPathStatements(track)) text += (text.empty() ? "" : " ") + s;
    return text;
}

}  // namespace

TEST(MapPageProtocol, StatementsAndInfoBarTextsAreWrittenAsTheCFormatsWriteThemInAnyLocale) {
    MemoryPreferences english;
    english.values["LANGUAGE_ID"] = 0;
    if (!std::setlocale(LC_ALL, "de_DE.UTF-8")) GTEST_SKIP() << "no German locale on this machine";
    const std::string texts[] = {
        pmMapSetCenterScript(25.0330f, -121.5654f), pmAddPathPointScript(-0.5f, 0.0f), pmDrawPathScript(),
        pmSetZoomScript(18), pmAutoLocationScript(),
        pmGetInfoBarLocationText(-25.5f, 121.5f, 10.0f, 12.25f, 90.0f),
        pmGetInfoBarLocationText(25.033f, 121.5654f, 40.0f, 65535.0f, 359.6f),
        pmGetInfoBarLocationText(25.033f, 121.5654f, -1.0f, 12.0f, 10.0f),
        pmGetInfoBarLocationText(0.0f, 121.5654f, 40.0f, 12.0f, -1.0f),
        pmGetInfoBarSpeedText(105.4f, kSpeedUnitMph) + " " + pmGetInfoBarSpeedText(-1.0f, kSpeedUnitKmh),
    };
    std::setlocale(LC_ALL, "C");
    const char* expected[] = {
        "mapSetCenter(25.033001, -121.565399)", "addPathPoint(-0.500000, 0.000000)", "drawPath()", "setZoom(18)",
        "AutoLocation()", "E 90° [25.50000°S. 121.50000°E]  Alt.12.2m", "N 360° [25.03300°N. 121.56540°E]  Alt.-",
        "N 10° [-. -]  Alt.-", "  [-. -]  Alt.-", "65 -",
    };
    for (int i = 0; i < 10; ++i) EXPECT_EQ(texts[i], expected[i]);
}

TEST(MapPageProtocol, ATrackIsSentPointByPointAndZoomedByTheDistanceBetweenItsFirstAndLastFixes) {
    const GpsList one = trackOf({{25.0f, 121.5f}}), noFix = trackOf({{0, 0}, {0, 0}});
    const GpsList gaps = trackOf({{0, 0}, {25.0f, 121.5f}, {25.0f, 0}, {25.004f, 121.5f}, {0, 0}});
    EXPECT_EQ(statementsFor(&one), "addPathPoint(25.000000, 121.500000) drawPath()");  // no zoom for one
    EXPECT_EQ(statementsFor(&noFix), "addPathPoint(0.000000, 0.000000) addPathPoint(0.000000, 0.000000) drawPath() setZoom(18)");
    EXPECT_EQ(statementsFor(&gaps), "addPathPoint(0.000000, 0.000000) addPathPoint(25.000000, 121.500000) "
                                    "addPathPoint(25.000000, 0.000000) addPathPoint(25.004000, 121.500000) "
                                    "addPathPoint(0.000000, 0.000000) drawPath() setZoom(15)");
    GpsList noPositions = trackOf({{25.0f, 121.5f}, {25.1f, 121.5f}});
    noPositions.setBGps(false);
    EXPECT_EQ(statementsFor(&noPositions) + " " + statementsFor(nullptr), "drawPath() drawPath()");

    // Longitudes near the equator 0.1, 0.5 and 1.0 km apart (each bound belongs to the wider
    // zoom), and just under them after the rounding to four decimals.
    const struct {
        float degrees;
        int zoom;
    } bounds[] = {{0.0008975f, 18}, {0.00089832f, 15}, {0.0044915764f, 14}, {0.008982f, 14}, {0.0089831528f, 13}};
    for (const auto& b : bounds) {
        const GpsList track = trackOf({{0.001f, 0.001f}, {0.001f, 0.001f + b.degrees}});
        EXPECT_EQ(pmDrawPathStatements(&track).back(), pmSetZoomScript(b.zoom)) << b.degrees << " degrees";
    }
}
