#include "telemetry/GpsList.h"

#include <gtest/gtest.h>

namespace {

GpsList trackOf(int count) {
    GpsList list;
    for (int i = 0; i < count; ++i) list.InsertData(float(i + 1), float(i + 1), 10.0f, 90.0f, -1);
    return list;
}

}  // namespace

TEST(GpsTrack, InsertPlacesBeforeAnIndexInsideTheTrackAndAppendsOtherwise) {
    struct Case {
        int index;
        std::vector<float> latitudes;
    };
    for (const Case& c : {Case{0, {9, 1, 2, 3}}, Case{2, {1, 2, 9, 3}}, Case{3, {1, 2, 3, 9}}, Case{7, {1, 2, 3, 9}},
                          Case{-1, {1, 2, 3, 9}}}) {
        GpsList list = trackOf(3);
        EXPECT_EQ(list.InsertData(9.0f, 9.0f, 0.0f, -1.0f, c.index), 4);
        std::vector<float> latitudes;
        for (const GpsData& s : list.gpslist()) latitudes.push_back(s.fLatitude());
        EXPECT_EQ(latitudes, c.latitudes) << "index " << c.index;
    }
    GpsList list = trackOf(2);
    EXPECT_EQ(list.InsertData(nullptr, 0), -1);
    EXPECT_EQ(list.GetDataCount(), 2);
}

TEST(GpsTrack, LookupDeleteAndCopy) {
    GpsList empty;
    EXPECT_EQ(empty.GetGpsData(-1), nullptr);
    EXPECT_EQ(empty.GetLastData(), nullptr);

    GpsList list = trackOf(3);
    ASSERT_NE(list.GetGpsData(-1), nullptr);
    EXPECT_EQ(list.GetGpsData(-1)->fLatitude(), 3.0f);
    EXPECT_EQ(list.GetGpsData(1)->fLatitude(), 2.0f);
    EXPECT_EQ(list.GetGpsData(3), nullptr);

    GpsData outside;
    EXPECT_FALSE(list.DeleteData(&outside, true));
    EXPECT_TRUE(list.DeleteData(list.GetGpsData(0), false));
    EXPECT_EQ(list.GetDataCount(), 2);
    EXPECT_EQ(list.GetGpsData(0)->fLatitude(), 2.0f);

    GpsData copy;
    EXPECT_FALSE(copy.Copy(nullptr));
    EXPECT_TRUE(copy.Copy(list.GetGpsData(0)));
    EXPECT_EQ(copy.fLatitude(), 2.0f);
    EXPECT_EQ(copy.fDirection(), 90.0f);
}

TEST(GpsTrack, CreationResetAndClearValues) {
    GpsData sample;
    EXPECT_EQ(sample.fDirection(), -1.0f);
    EXPECT_EQ(sample.dAltitude(), 0.0);
    sample.setFSpeed(50.0f);
    sample.ResetData();
    EXPECT_EQ(sample.fDirection(), 0.0f);  // reset means 0, unlike creation
    EXPECT_EQ(sample.fSpeed(), 0.0f);

    GpsList list = trackOf(2);
    list.setBGps(true);
    list.setBSenser(true);
    list.updateExtremes(0.5f, -0.5f, 0.0f, 1);
    list.ClearAllData();
    EXPECT_EQ(list.GetDataCount(), 0);
    EXPECT_EQ(list.GetMaxGIndex(), -1);
    EXPECT_EQ(list.GetMinGIndex(), -1);
    EXPECT_EQ(list.GetMaxGValue(), 0.0f);
    EXPECT_FALSE(list.IsGPSReady());
    EXPECT_FALSE(list.IsGSensorReady());
}

TEST(GpsTrack, RawCountsBecomeSixteenThousandthsOfG) {
    GpsData sample;
    sample.setSensorValue(std::int16_t(62), std::int16_t(-62), std::int16_t(0));
    EXPECT_FLOAT_EQ(sample.GetGValueX(), 0.992f);
    EXPECT_FLOAT_EQ(sample.GetGValueY(), -0.992f);
    EXPECT_EQ(sample.GetGValueZ(), 0.0f);
    EXPECT_EQ(sample.GetSensorY(), -62);
    // g values alone leave the counts.
    sample.setSensorValue(0.25f, 0.5f, 1.0f);
    EXPECT_EQ(sample.GetSensorX(), 62);
    EXPECT_EQ(sample.GetGValueX(), 0.25f);
}

TEST(GpsTrack, PaddingToTheRecordingLength) {
    // No G-sensor values: nothing happens however short.
    GpsList positionsOnly = trackOf(2);
    positionsOnly.setBGps(true);
    positionsOnly.SyncVideoDuration(10);
    EXPECT_EQ(positionsOnly.GetDataCount(), 2);

    GpsList empty;
    empty.setBSenser(true);
    empty.SyncVideoDuration(3);
    ASSERT_EQ(empty.GetDataCount(), 3);
    for (const GpsData& s : empty.gpslist()) {
        EXPECT_EQ(s.fLatitude(), 0.0f);
        EXPECT_EQ(s.fSpeed(), 0.0f);
        EXPECT_EQ(s.fDirection(), -1.0f);
    }

    GpsList list = trackOf(2);
    list.setBSenser(true);
    list.GetGpsData(1)->setSensorValue(0.5f, 0.5f, 0.5f);
    list.GetGpsData(1)->setDAltitude(300.0);
    list.SyncVideoDuration(5);
    ASSERT_EQ(list.GetDataCount(), 5);
    for (int i = 2; i < 5; ++i) {
        const GpsData& s = *list.GetGpsData(i);
        EXPECT_EQ(s.fLatitude(), 2.0f);
        EXPECT_EQ(s.fLongitude(), 2.0f);
        EXPECT_EQ(s.fSpeed(), -1.0f);
        EXPECT_EQ(s.fDirection(), -1.0f);
        EXPECT_EQ(s.dAltitude(), 0.0);
        EXPECT_EQ(s.GetGValueX(), 0.0f);
    }
    list.SyncVideoDuration(4);  // already long enough
    EXPECT_EQ(list.GetDataCount(), 5);
}

TEST(GpsTrack, ExtremesCompareSingleAxesAndKeepTheirSigns) {
    // All negative: the maximum stays 0, its index set by the one-sample rule.
    GpsList list;
    list.InsertData(0, 0, 0, 0, -1);
    list.updateExtremes(-0.2f, -0.3f, -0.1f, 0);
    list.InsertData(0, 0, 0, 0, -1);
    list.updateExtremes(-0.5f, -0.1f, -0.1f, 1);
    EXPECT_EQ(list.GetMaxGValue(), 0.0f);
    EXPECT_EQ(list.GetMaxGIndex(), 0);
    EXPECT_EQ(list.GetMinGValue(), -0.5f);
    EXPECT_EQ(list.GetMinGIndex(), 1);

    // An equal value later does not move the index; a larger one does.
    list.InsertData(0, 0, 0, 0, -1);
    list.updateExtremes(0.0f, -0.5f, 0.0f, 2);
    EXPECT_EQ(list.GetMinGIndex(), 1);
    list.InsertData(0, 0, 0, 0, -1);
    list.updateExtremes(0.7f, 0.0f, 0.0f, 3);
    EXPECT_EQ(list.GetMaxGIndex(), 3);
    EXPECT_EQ(list.GetMaxGValue(), 0.7f);
}
