#include "outputs/ExportFile.h"
#include "outputs/GpxSave.h"
#include "outputs/KmlSave.h"
#include "support/TempHome.h"

#include <gtest/gtest.h>

#include <ctime>
#include <filesystem>

namespace {

struct Sample {
    float latitude, longitude, speed, direction;
    double altitude;  // 65535: none
};

GpsList track(std::initializer_list<Sample> samples) {
    GpsList list;
    for (const Sample& s : samples) {
        list.InsertData(s.latitude, s.longitude, s.speed, s.direction, -1);
        list.GetLastData()->setDAltitude(s.altitude);
    }
    list.setBGps(true);
    return list;
}

}  // namespace

TEST(KmlExport, TheWholeDocumentByteForByteAOneSampleTrackAndRefusalsThatLeaveTheDiskAsItWas) {
    TempHome home;
    const GpsList list = track({{48.25, 11.5, 10, 0, 500}, {48.5, 11.75, 10, 0, 510}, {48.75, 12, 10, 0, 520}});
    // 06:15:02 UTC on 1 May 2024 is 08:15:02 in the tests' central European zone (summer time).
    const std::time_t now = 1714544102;
    const std::tm local = *std::localtime(&now);
    const std::string path = home.path() + "/FILE0001.kml";
    const ExportResult result = outputKML(path, &list, false, local);
    ASSERT_EQ(result.status, ExportStatus::Written) << pmExportStatusText(result);
    EXPECT_EQ(readFile(path), readFile(CARTENA_SOURCE_DIR "/tests/outputs/data/three-samples.kml"));

    const GpsList one = track({{48.1f, -43.2f, 10, 0, 65535}}), empty;
    ASSERT_TRUE(pmWriteKml(home.path() + "/one.kml", "a]]>b", "", &one));
    const std::string text = readFile(home.path() + "/one.kml");
    EXPECT_NE(text.find("<name><![CDATA[a]]>b]]></name>"), std::string::npos);
    EXPECT_NE(text.find("<LineString><coordinates>-43.200001,48.099998,65535.000000 </coordinates></LineString>"),
              std::string::npos);
    const std::string marker = "<coordinates>-43.200001,48.099998</coordinates>";
    EXPECT_NE(text.find(marker), text.rfind(marker));  // both markers sit on the one sample

    const std::string kept = home.path() + "/keep.kml";
    ASSERT_TRUE(writeFile(kept, "mine"));
    EXPECT_EQ(outputKML(kept, &one, false, local).status, ExportStatus::Exists);
    EXPECT_EQ(readFile(kept), "mine");
    EXPECT_EQ(outputKML(kept, &one, true, local).status, ExportStatus::Written);
    EXPECT_NE(readFile(kept), "mine");
    for (const GpsList* nothing : {&empty, static_cast<const GpsList*>(nullptr)})
        EXPECT_EQ(outputKML(home.path() + "/empty.kml", nothing, true, local).status, ExportStatus::NothingToWrite);
    EXPECT_FALSE(std::filesystem::exists(home.path() + "/empty.kml"));
    // A folder that cannot exist: a path under a regular file.
    const ExportResult failed = outputKML(kept + "/under.kml", &one, true, local);
    EXPECT_EQ(failed.status, ExportStatus::Failed);
    EXPECT_EQ(failed.errorCode, ENOTDIR);
    EXPECT_FALSE(pmWriteKml(kept + "/under.kml", "x", "", &one));
}

// (That gpsbabel reads one point per positioned second back is shown on the sample card's tracks.)
TEST(GpxExport, PointsTimesAndOptionalValues) {
    TempHome home;
    // No position, a fix with altitude, a filled-in second (speed -1), a fix without altitude, no position.
    const GpsList list = track({{0, 0, 0, -1, 65535}, {-33.8688f, 151.2093f, 36, 90, 58.5},
                                {-33.8688f, 151.2093f, -1, -1, 65535}, {-33.8690f, 151.2100f, 72, 359.5f, 65535},
                                {0, 0, 0, -1, 65535}}), noPositions;
    const std::vector<std::int64_t> times = {-1, 1714544102000, -1};
    const std::string path = home.path() + "/track.gpx";
    ASSERT_EQ(outputGPX(path, {&list, &times, 1714540000000, "a & b"}, false).status, ExportStatus::Written);
    EXPECT_EQ(outputGPX(home.path() + "/none.gpx", {&noPositions, nullptr, 0, ""}, true).status,
              ExportStatus::NothingToWrite);
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
}
