// What the readers do not show of a track; its padding and extremes are read through the log
// parser and the loader.
#include "telemetry/GpsList.h"

#include <gtest/gtest.h>

TEST(GpsTrack, InsertLookupDeleteCopyResetAndClear) {
    for (auto [index, expected] : {std::pair{0, std::vector<float>{9, 1, 2, 3}}, {2, {1, 2, 9, 3}}, {3, {1, 2, 3, 9}},
                                   {7, {1, 2, 3, 9}}, {-1, {1, 2, 3, 9}}}) {
        GpsList list;
        for (float latitude : {1.0f, 2.0f, 3.0f}) list.InsertData(latitude, latitude, 10.0f, 90.0f, -1);
        EXPECT_EQ(list.InsertData(9.0f, 9.0f, 0.0f, -1.0f, index), 4);
        std::vector<float> latitudes;
        for (const GpsData& s : list.gpslist()) latitudes.push_back(s.fLatitude());
        EXPECT_EQ(latitudes, expected) << "index " << index;
    }
    GpsList list;
    for (float latitude : {1.0f, 2.0f}) list.InsertData(latitude, latitude, 10.0f, 90.0f, -1);
    EXPECT_EQ(std::tuple(list.InsertData(nullptr, 0), GpsList().GetGpsData(-1), list.GetGpsData(2)),
              std::tuple(-1, nullptr, nullptr));
    EXPECT_EQ(list.GetGpsData(-1)->fLatitude(), 2.0f);

    GpsData sample;
    EXPECT_EQ(sample.fDirection(), -1.0f);  // unknown; a reset sample says 0
    EXPECT_FALSE(list.DeleteData(&sample, true));
    EXPECT_TRUE(list.DeleteData(list.GetGpsData(0), false));
    EXPECT_FALSE(sample.Copy(nullptr));
    EXPECT_TRUE(sample.Copy(list.GetGpsData(0)));
    EXPECT_EQ(std::pair(sample.fLatitude(), sample.fDirection()), std::pair(2.0f, 90.0f));
    sample.ResetData();
    EXPECT_EQ(std::pair(sample.fLatitude(), sample.fDirection()), std::pair(0.0f, 0.0f));

    list.setBGps(true);
    list.setBSenser(true);
    list.updateExtremes(0.5f, -0.5f, 0.0f, 0);
    list.ClearAllData();
    EXPECT_EQ(std::tuple(list.GetDataCount(), list.GetMaxGIndex(), list.GetMinGIndex(), list.GetMaxGValue(),
                         list.GetMinGValue(), list.IsGPSReady(), list.IsGSensorReady()),
              std::tuple(0, -1, -1, 0.0f, 0.0f, false, false));
}
