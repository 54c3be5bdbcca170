#include "outputs/ExportFile.h"
#include "outputs/KmlSave.h"
#include "support/TempHome.h"

#include <gtest/gtest.h>

#include <ctime>
#include <filesystem>

namespace {

GpsList track(std::initializer_list<KmlLocation> locations) {
    GpsList list;
    for (const KmlLocation& l : locations) {
        list.InsertData(float(l.latitude), float(l.longitude), 10.0f, 0.0f, -1);
        list.GetLastData()->setDAltitude(l.altitude);
    }
    list.setBGps(true);
    return list;
}

}  // namespace

TEST(KmlExport, WholeDocumentByteForByteThroughATemporaryFile) {
    TempHome home;
    const GpsList list = track({{11.5, 48.25, 500}, {11.75, 48.5, 510}, {12, 48.75, 520}});
    // 06:15:02 UTC on 1 May 2024 is 08:15:02 in the tests' central European zone (summer time).
    const std::time_t now = 1714544102;
    std::tm local{};
    localtime_r(&now, &local);

    const std::string path = home.path() + "/FILE0001.kml";
    const ExportResult result = outputKML(path, &list, false, local);
    ASSERT_EQ(result.status, ExportStatus::Written) << pmExportStatusText(result);
    const std::string expected = readFile(std::string(CARTENA_SOURCE_DIR) + "/tests/outputs/data/three-samples.kml");
    ASSERT_FALSE(expected.empty());
    EXPECT_EQ(readFile(path), expected);
    // Nothing left beside the document but the test home's own three folders.
    const auto entries = std::distance(std::filesystem::directory_iterator(home.path()), {});
    EXPECT_EQ(entries, 4);
}

TEST(KmlExport, OneSampleFloatStorageCDataAndRefusalsThatLeaveTheDiskAsItWas) {
    TempHome home;
    const GpsList list = track({{-43.2, 48.1, 65535}});
    ASSERT_TRUE(pmWriteKml(home.path() + "/one.kml", "a]]>b", "", &list));
    const std::string text = readFile(home.path() + "/one.kml");
    EXPECT_NE(text.find("<name><![CDATA[a]]>b]]></name>"), std::string::npos);
    EXPECT_NE(text.find("<LineString><coordinates>-43.200001,48.099998,65535.000000 </coordinates></LineString>"),
              std::string::npos);
    const std::string marker = "<coordinates>-43.200001,48.099998</coordinates>";
    EXPECT_NE(text.find(marker), text.rfind(marker));  // both markers sit on the one sample

    const GpsList empty;
    const std::tm local{};
    const std::string path = home.path() + "/keep.kml";
    ASSERT_TRUE(writeFile(path, "mine"));
    EXPECT_EQ(outputKML(path, &list, false, local).status, ExportStatus::Exists);
    EXPECT_EQ(readFile(path), "mine");
    EXPECT_EQ(outputKML(path, &list, true, local).status, ExportStatus::Written);
    EXPECT_NE(readFile(path), "mine");

    EXPECT_EQ(outputKML(home.path() + "/empty.kml", &empty, true, local).status, ExportStatus::NothingToWrite);
    EXPECT_EQ(outputKML(home.path() + "/null.kml", nullptr, true, local).status, ExportStatus::NothingToWrite);
    EXPECT_FALSE(std::filesystem::exists(home.path() + "/empty.kml"));

    // A folder that cannot exist: a path under a regular file.
    const ExportResult failed = outputKML(path + "/under.kml", &list, true, local);
    EXPECT_EQ(failed.status, ExportStatus::Failed);
    EXPECT_EQ(failed.errorCode, ENOTDIR);
    EXPECT_FALSE(pmWriteKml(path + "/under.kml", "x", "", &list));
}
