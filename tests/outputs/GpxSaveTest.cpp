#include "outputs/GpxSave.h"
#include "support/TempHome.h"

#include <gtest/gtest.h>

// (That gpsbabel reads one point per positioned second back is shown on the sample card's tracks.)
TEST(GpxExport, PointsTimesAndOptionalValues) {
    TempHome home;
    // Five seconds: no position, a fix with altitude, a filled-in second (speed -1), a fix without
    // altitude, then no position again.
    GpsList list;
    list.InsertData(0, 0, 0, -1, -1);
    list.InsertData(-33.8688f, 151.2093f, 36.0f, 90.0f, -1);
    list.GetLastData()->setDAltitude(58.5);
    list.InsertData(-33.8688f, 151.2093f, -1.0f, -1.0f, -1);
    list.InsertData(-33.8690f, 151.2100f, 72.0f, 359.5f, -1);
    list.GetLastData()->setDAltitude(65535.0);
    list.InsertData(0, 0, 0, -1, -1);
    list.setBGps(true);
    const std::vector<std::int64_t> times = {-1, 1714544102000, -1};
    const std::string path = home.path() + "/track.gpx";
    ASSERT_EQ(outputGPX(path, {&list, &times, 1714540000000, "a & b"}, false).status, ExportStatus::Written);
    EXPECT_EQ(outputGPX(path, {&list, nullptr, 0, "other"}, false).status, ExportStatus::Exists);
    const std::string gpx = readFile(path);
    std::vector<std::string> points;
    for (std::size_t at = 0; (at = gpx.find("<trkpt", at)) != std::string::npos; ++at)
        points.push_back(gpx.substr(at, gpx.find("</trkpt>", at) - at));
    ASSERT_EQ(points.size(), 3u);
    EXPECT_EQ(points[0],
              "<trkpt lat=\"-33.8688\" lon=\"151.2093\"><ele>58.5</ele><time>2024-05-01T06:15:02Z</time>"
              "<extensions><gpxtpx:TrackPointExtension><gpxtpx:speed>10.000</gpxtpx:speed>"
              "<gpxtpx:course>90.0</gpxtpx:course></gpxtpx:TrackPointExtension></extensions>");
    // Without a sentence time: start + second; no speed or course to tell.
    EXPECT_EQ(points[1], "<trkpt lat=\"-33.8688\" lon=\"151.2093\"><time>2024-05-01T05:06:42Z</time>");
    EXPECT_NE(points[2].find("<gpxtpx:speed>20.000</gpxtpx:speed><gpxtpx:course>359.5</gpxtpx:course>"),
              std::string::npos);
    EXPECT_EQ(points[2].find("<ele>"), std::string::npos);  // 65535: no altitude
    EXPECT_NE(gpx.find("<name>a &amp; b</name>"), std::string::npos);
    EXPECT_EQ(pmGpxTime(-1500), "1969-12-31T23:59:58.500Z");
    const GpsList noPositions;
    EXPECT_EQ(outputGPX(home.path() + "/none.gpx", {&noPositions, nullptr, 0, ""}, true).status,
              ExportStatus::NothingToWrite);
}
