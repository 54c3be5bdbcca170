#include "outputs/ExportFile.h"
#include "outputs/KmlSave.h"
#include "support/RunCommand.h"
#include "support/TempHome.h"

#include <gtest/gtest.h>

#include <cstdlib>
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

std::size_t filesIn(const std::string& folder) {
    std::size_t count = 0;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) count += entry.exists();
    return count;
}

}  // namespace

TEST(KmlExport, WholeDocumentByteForByte) {
    TempHome home;
    const GpsList list = track({{11.5, 48.25, 500}, {11.75, 48.5, 510}, {12, 48.75, 520}});
    // The clock and zone: 06:15:02 UTC on 1 May 2024 is 08:15:02 in central European summer time.
    ::setenv("TZ", "CET-1CEST,M3.5.0,M10.5.0/3", 1);
    ::tzset();
    const std::time_t now = 1714544102;
    std::tm local{};
    localtime_r(&now, &local);

    const std::string path = home.path() + "/FILE0001.kml";
    const ExportResult result = outputKML(path, &list, false, local);
    ASSERT_EQ(result.status, ExportStatus::Written) << pmExportStatusText(result);
    const std::string expected = readFile(std::string(CARTENA_SOURCE_DIR) + "/tests/outputs/data/three-samples.kml");
    ASSERT_FALSE(expected.empty());
    EXPECT_EQ(readFile(path), expected);
    const CommandResult wellFormed = runCommand({"xmllint", "--noout", path});
    EXPECT_EQ(wellFormed.exitCode, 0) << wellFormed.err;
    // Written through a temporary file, named after the final one, with nothing left beside it.
    EXPECT_EQ(filesIn(home.path()), 4u);  // the test home's own folders plus the document
}

TEST(KmlExport, OneSampleFloatStorageAndCData) {
    TempHome home;
    const GpsList one = track({{-43.2, 48.1, 65535}});
    const std::string path = home.path() + "/one.kml";
    ASSERT_TRUE(pmWriteKml(path, "a]]>b", "", &one));
    const std::string text = readFile(path);
    EXPECT_NE(text.find("<name><![CDATA[a]]>b]]></name>"), std::string::npos);
    EXPECT_NE(text.find("<LineString><coordinates>-43.200001,48.099998,65535.000000 </coordinates></LineString>"),
              std::string::npos);
    // Both markers sit on the one sample.
    std::size_t markers = 0;
    for (std::size_t at = 0; (at = text.find("<coordinates>-43.200001,48.099998</coordinates>", at)) != std::string::npos;
         ++at)
        ++markers;
    EXPECT_EQ(markers, 2u);
}

TEST(KmlExport, RefusalsLeaveTheDiskAsItWas) {
    TempHome home;
    const GpsList list = track({{11.5, 48.25, 500}});
    std::tm local{};
    const std::string path = home.path() + "/keep.kml";
    ASSERT_TRUE(writeFile(path, "mine"));
    EXPECT_EQ(outputKML(path, &list, false, local).status, ExportStatus::Exists);
    EXPECT_EQ(readFile(path), "mine");
    EXPECT_EQ(outputKML(path, &list, true, local).status, ExportStatus::Written);
    EXPECT_NE(readFile(path), "mine");

    const GpsList empty;
    EXPECT_EQ(outputKML(home.path() + "/empty.kml", &empty, true, local).status, ExportStatus::NothingToWrite);
    EXPECT_EQ(outputKML(home.path() + "/null.kml", nullptr, true, local).status, ExportStatus::NothingToWrite);
    EXPECT_FALSE(std::filesystem::exists(home.path() + "/empty.kml"));

    // A folder that cannot exist: a path under a regular file.
    const ExportResult failed = outputKML(path + "/under.kml", &list, true, local);
    EXPECT_EQ(failed.status, ExportStatus::Failed);
    EXPECT_EQ(failed.errorCode, ENOTDIR);
    EXPECT_FALSE(pmWriteKml(path + "/under.kml", "x", "", &list));
}

TEST(KmlExport, DescriptionIsTheLocalDateAndTime) {
    std::tm t{};
    t.tm_year = 99;
    t.tm_mon = 11;
    t.tm_mday = 31;
    t.tm_hour = 23;
    t.tm_min = 5;
    t.tm_sec = 9;
    EXPECT_EQ(pmKmlDescription(t), "1999/12/31 23:05:09");
}
