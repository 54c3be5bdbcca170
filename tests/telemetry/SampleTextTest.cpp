#include "telemetry/SampleText.h"
#include "support/MemoryPreferences.h"

#include <gtest/gtest.h>

#include <clocale>

namespace {
// English texts whatever the machine's language.
struct English {
    MemoryPreferences store;
    English() { store.values["LANGUAGE_ID"] = 0; }
};
}  // namespace

TEST(SampleText, HeadingPointsHaveInclusiveUpperBoundsAndRoundedDegrees) {
    English english;
    const struct {
        float heading;
        const char* text;
    } cases[] = {
        {-1.0f, "-"},        {0.0f, "N 0°"},        {22.5f, "N 23°"},     {22.6f, "NE 23°"},
        {67.5f, "NE 68°"},   {67.6f, "E 68°"},      {112.5f, "E 113°"},   {157.5f, "SE 158°"},
        {157.6f, "S 158°"},  {202.5f, "S 203°"},    {247.5f, "SW 248°"},  {292.5f, "W 293°"},
        {292.6f, "NW 293°"}, {337.4f, "NW 337°"},   {337.5f, "N 338°"},   {359.6f, "N 360°"},
    };
    for (const auto& c : cases) EXPECT_EQ(pmGetDirectionString(c.heading), c.text) << c.heading;
}

TEST(SampleText, CoordinatesInDegreesMinutesSecondsWithHemisphere) {
    English english;
    const struct {
        bool latitude;
        float value;
        const char* text;
    } cases[] = {
        {true, -25.5f, "S 25°30'0.0\""},
        {true, 25.5f, "N 25°30'0.0\""},
        {false, -0.25f, "W 0°15'0.0\""},
        {false, 121.5125f, "E 121°30'45.0\""},
        {true, 0.0f, "N 0°00'00\""},
        {false, 0.0f, "E 0°00'00\""},
        {true, 10.0001f, "N 10°00'0.4\""},
    };
    for (const auto& c : cases) EXPECT_EQ(pmGetLocationString(c.latitude, c.value), c.text) << c.value;
}

TEST(SampleText, SpeedInTheChosenUnitAndAltitude) {
    EXPECT_EQ(pmGetShownSpeed(105.4f, kSpeedUnitMph), 65);  // 65.49
    EXPECT_EQ(pmGetShownSpeed(105.4f, kSpeedUnitKmh), 105);
    EXPECT_EQ(pmGetShownSpeed(99.5f, kSpeedUnitKmh), 100);
    EXPECT_FLOAT_EQ(pmGetSpeedInUnit(-1.0f, kSpeedUnitMph), -1.0f);  // unknown stays unknown
    EXPECT_EQ(pmGetSpeedUnitString(kSpeedUnitKmh), "km/h");
    EXPECT_EQ(pmGetSpeedUnitString(kSpeedUnitMph), "mph");
    EXPECT_EQ(pmGetSpeedUnitString(7), "mph");

    EXPECT_EQ(pmGetAltitudeString(65535.0f), "-");
    EXPECT_EQ(pmGetAltitudeString(70000.0f), "-");
    EXPECT_EQ(pmGetAltitudeString(12.25f), "12.2  m");
    EXPECT_EQ(pmGetAltitudeString(-3.0f), "-3.0  m");
}

TEST(SampleText, NumbersIgnoreTheProcessLocale) {
    English english;
    if (!std::setlocale(LC_NUMERIC, "de_DE.UTF-8")) GTEST_SKIP() << "no German locale on this machine";
    EXPECT_EQ(pmGetAltitudeString(12.5f), "12.5  m");
    EXPECT_EQ(pmGetLocationString(true, -25.5f), "S 25°30'0.0\"");
    std::setlocale(LC_NUMERIC, "C");
}
