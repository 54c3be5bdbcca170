#include "outputs/EvidenceMoment.h"

#include "support/TempHome.h"

#include <gtest/gtest.h>

namespace {

TEST(EvidenceMoment, DefaultRuleTakesTheEventThenThePeakThenTheMiddlePassingOverSecondsOutsideTheRecording) {
    using Source = EvidenceMomentSource;
    const struct {
        int event, peak;
        double length;
        int second;
        Source source;
    } cases[] = {
        {7, 3, 10.0, 7, Source::Event},    {-1, 3, 10.0, 3, Source::Peak},   {-1, -1, 10.5, 5, Source::Middle},
        {12, 3, 10.0, 3, Source::Peak},    {-1, 10, 10.0, 5, Source::Middle}, {-1, 10, 10.2, 10, Source::Peak},
        {-1, -1, 0.4, 0, Source::Middle},  {0, 5, 10.0, 0, Source::Event},
    };
    for (const auto& c : cases) {
        const EvidenceMoment moment = pmDefaultEvidenceMoment(c.event, c.peak, c.length);
        EXPECT_EQ(moment.second, c.second) << c.event << " " << c.peak << " " << c.length;
        EXPECT_EQ(moment.source, c.source) << c.event << " " << c.peak << " " << c.length;
    }
    for (const auto& [second, length, inside] :
         {std::tuple{-1, 10.0, false}, {0, 10.0, true}, {9, 10.0, true}, {10, 10.0, false}, {10, 10.2, true}})
        EXPECT_EQ(pmIsMomentInRecording(second, length), inside) << second << " of " << length;
}

TEST(EvidenceMoment, SpanRunsFromBeforeTheMomentToTheEndOfItsSecondPlusAfterClampedToTheRecording) {
    const struct {
        int moment;
        double before, after, length, start, end;
    } cases[] = {
        {20, 15, 15, 60, 5, 36},   {3, 15, 15, 60, 0, 19},     {55, 15, 15, 59.5, 40, 59.5},
        {0, 0, 0, 10, 0, 1},       {9, 15, 15, 9.4, 0, 9.4},   {4, 1.5, 2.25, 10, 2.5, 7.25},
    };
    for (const auto& c : cases) {
        const EvidenceSpan span = pmEvidenceSpan(c.moment, c.before, c.after, c.length);
        EXPECT_DOUBLE_EQ(span.start, c.start) << c.moment << " in " << c.length;
        EXPECT_DOUBLE_EQ(span.end, c.end) << c.moment << " in " << c.length;
    }
}

// The band's clock counts from the first second the log timed, else from the file's date; its
// texts read as the dashboard and the G-sensor indicator show them.
TEST(EvidenceMoment, BandTextsOfASecondFollowTheDashboardAndTheIndicator) {
    TempHome home;  // the default language, English
    const std::int64_t noon = std::int64_t(localTime(2024, 2, 27, 12, 0, 0)) * 1000;
    const EvidenceClock gps = pmEvidenceClock({-1, -1, noon + 2500}, FileDate{});
    EXPECT_EQ(gps.source, EvidenceClock::Source::GpsTime);
    EXPECT_EQ(gps.startMillis, noon + 500);
    const EvidenceClock file = pmEvidenceClock({-1}, pmFileDateFromMillis(noon));
    EXPECT_EQ(file.source, EvidenceClock::Source::FileTime);

    GpsList list;
    list.InsertData(48.1374f, 11.5755f, 100.0f, 45.0f, -1);  // second 0: a fix
    list.InsertData(48.1374f, 11.5755f, -1.0f, 45.0f, -1);   // second 1: position taken from another fix
    list.GetGpsData(0)->setSensorValue(0.0005f, -0.0125f, 1.0f);
    list.setBGps(true);
    list.setBSenser(true);

    const EvidenceBandText first = pmEvidenceBandText(list, 0, file, 0, 0);
    EXPECT_EQ(first.dateTime, "2024/02/27 12:00:00");
    EXPECT_EQ(first.speed, "100 km/h");
    EXPECT_EQ(first.heading, "NE 45°");
    EXPECT_EQ(first.latitude, "N 48°08'14.6\"");
    EXPECT_EQ(first.g[0] + " " + first.g[1] + " " + first.g[2], "0.001 -0.013 1.000");
    EXPECT_TRUE(first.mark);
    EXPECT_EQ(pmEvidenceBandText(list, 0, file, 0, 1).speed, "62 mph");

    const EvidenceBandText second = pmEvidenceBandText(list, 1, gps, 0, 0);
    EXPECT_EQ(second.dateTime, "2024/02/27 12:00:01");
    EXPECT_EQ(second.speed + second.latitude + second.longitude, "---");
    EXPECT_FALSE(second.mark);
    const EvidenceBandText past = pmEvidenceBandText(list, 5, file, 0, 0);
    EXPECT_EQ(past.speed + past.heading + past.g[0], "---");
    EXPECT_EQ(past.dateTime, "2024/02/27 12:00:05");
}

}  // namespace
