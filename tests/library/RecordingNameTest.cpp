#include "library/RecordingName.h"
#include "library/VideoLibrary.h"
#include "support/TempHome.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

TEST(RecordingName, CodesOfWritableFilesByName) {
    TempHome home;
    constexpr auto mp4 = kVideoFileMp4, avi = kVideoFileAvi, mov = kVideoFileMov, other = kVideoFileOther;
    constexpr auto normal = kRecordNormal, event = kRecordEvent;
    constexpr auto plain = kMotorOrdinary, bFamily = kMotorBFamily;
    constexpr auto none = kCameraNone, front = kCameraFront, rear = kCameraRear;
    const struct {
        const char* name;
        std::int32_t videoType;
        std::uint16_t recordType;
        std::int16_t motorType;
        std::uint16_t camera;
    } cases[] = {
        {"FILE0001F.MP4", mp4, normal, plain, front},     {"file0001.mp4", mp4, normal, plain, none},
        {"FILE01.MP4", mp4, normal, plain, none},          // too few digits: the fallback decides
        {"FILEABCD_EMER.Mp4", mp4, event, plain, none},    // the fallback finds EMER
        {"EMER0002R.AVI", avi, event, plain, rear},       {"emer0002.avi", avi, event, plain, none},
        {"EVEN0003.mov", mov, event, plain, none},        {"EVENT001.MOV", mov, normal, plain, none},
        {"PARK0003.MOV", mov, normal, plain, none},       {"EMERGENCY.AVI", avi, event, plain, none},
        {"BE1234.AVI", avi, event, bFamily, none},        {"BE1234F.MP4", mp4, event, bFamily, front},
        {"bn0001.avi", avi, normal, bFamily, none},       {"BP0001.AVI", avi, normal, bFamily, none},
        {"BE12.AVI", avi, normal, plain, none},           {"BX1234.AVI", avi, normal, plain, none},
        {"FILE0001r.MP4", mp4, normal, plain, rear},      {"FILE0001X.MP4", mp4, normal, plain, none},
        {"ABCDF.MP4", mp4, normal, plain, none},          {"1234F.MP4", mp4, normal, plain, front},
        {"\xC3\x89VEN0001.MP4", mp4, normal, plain, none},  // no Unicode folding, nor Unicode digits:
        {"BE\xD9\xA1\xD9\xA2\xD9\xA3\xD9\xA4.AVI", avi, normal, plain, none},
        {"archive.tar.avi", avi, normal, plain, none},    {"FILE0001.MPEG", other, normal, plain, none},
        {"FILE0001", other, normal, plain, none},         {".MP4", other, normal, plain, none},  // no extension
        {"FILE0001.", other, normal, plain, none},
    };
    for (const auto& c : cases) {
        const std::string path = home.path() + "/" + c.name;
        ASSERT_TRUE(writeFile(path, "x")) << path;
        EXPECT_EQ(pmGetVideoFileType(path), c.videoType) << c.name;
        EXPECT_EQ(pmGetRecordFileType(path), c.recordType) << c.name;
        EXPECT_EQ(pmGetMotorTypeFile(path), c.motorType) << c.name;
        EXPECT_EQ(pmCheckDualCameraFileType(path), c.camera) << c.name;
    }
    EXPECT_EQ(pmGetMotorTypeFile(""), kMotorNoName);
    // Titles: the last component, less its extension when asked; a leading dot starts none.
    EXPECT_EQ(pmGetFileTitle("/card/v1.2/a.b.MP4", true) + " " + pmGetFileTitle("/c/.hidden", true), "a.b .hidden");
    EXPECT_EQ(pmGetFileTitle("/card/DCIM/FILE0001.MP4", false), "FILE0001.MP4");
    EXPECT_EQ(pmGetVideoFileType(""), kVideoFileOther);
    EXPECT_EQ(pmCheckDualCameraFileType(""), kCameraNone);
}

TEST(RecordingName, WriteProtectionMakesAnEventOnlyWhenTheNameDoesNotDecide) {
    TempHome home;
    // The name decides for FILE and PARK; unknown names leave it to the protection.
    const std::pair<const char*, std::uint16_t> cases[] = {
        {"MOVI0001.AVI", kRecordEvent}, {"FILE0001.MP4", kRecordNormal}, {"PARK0001.MP4", kRecordNormal},
        {"FILE01.MP4", kRecordEvent},   {"BE12.AVI", kRecordEvent},
    };
    for (const auto& [name, readOnlyType] : cases) {
        const std::string path = home.path() + "/" + name;
        ASSERT_TRUE(writeFile(path, "x"));
        ASSERT_EQ(::chmod(path.c_str(), 0404 | 0020), 0);  // any write bit, whoever owns the file
        EXPECT_EQ(pmGetRecordFileType(path), kRecordNormal) << name;
        ASSERT_EQ(::chmod(path.c_str(), 0444), 0);
        EXPECT_EQ(pmGetRecordFileType(path), readOnlyType) << name;
        EXPECT_TRUE(pmIsEventFile(path)) << name;
    }
    // Nothing at the path counts as write-protected; an empty path is nothing at all.
    EXPECT_EQ(pmGetRecordFileType(home.path() + "/MOVI0002.AVI"), kRecordEvent);
    EXPECT_EQ(pmGetRecordFileType(home.path() + "/FILE0002.MP4"), kRecordNormal);
    EXPECT_EQ(pmGetRecordFileType(""), kRecordNormal);
    EXPECT_FALSE(pmIsEventFile(""));
}

TEST(RecordingName, PartnerPathSwapsTheCameraLetterOfNameAndFolder) {
    const std::pair<const char*, std::optional<std::string>> cases[] = {
        {"/card/NormalF/FILE0001F.MP4", "/card/NormalR/FILE0001R.MP4"},
        {"/card/NormalR/FILE0001R.MP4", "/card/NormalF/FILE0001F.MP4"},
        {"/card/NormalR/FILE0001r.MP4", "/card/NormalF/FILE0001F.MP4"},
        {"/card/EventF/EMER0002F.avi", "/card/EventR/EMER0002R.avi"},
        {"FILE0001F.MP4", "FILE0001R.MP4"},
        {"/FILE0001F.MP4", "/FILE0001R.MP4"},
        // The folder's last character is replaced whatever it is, a two-byte letter included.
        {"/card/Vid\xC3\x89/FILE0001F.MP4", "/card/VidR/FILE0001R.MP4"},
        // The letter is taken five characters from the end: in front of a three-letter extension.
        {"/card/F/FILE0001F.MPEG", "/card/R/FILE0001FRMPEG"},
        {"/card/NormalF/PARK0003.MOV", std::nullopt},
        {"/card/NormalF/ABCDF.MP4", std::nullopt},
        {"", std::nullopt},
    };
    for (const auto& [path, partner] : cases) EXPECT_EQ(pmGetAnotherCameraFile(path), partner) << path;
}

TEST(RecordingName, PartnerSearchLooksAtTheTwoNeighboursOnly) {
    VideoLibrary library;
    for (const char* path : {"/c/NormalF/FILE0001F.MP4", "/c/NormalR/FILE0001R.MP4", "/c/NormalF/FILE0002F.MP4",
                             "/c/Other/PARK0001.MP4", "/c/NormalR/FILE0002R.MP4",  // two places on: not found
                             "/c/NormalF/FILE0003f.MP4", "/c/NormalR/FILE0003R.MP4"})  // the rear looks for "F"
        library.insertObject(AMediaFile::mediaFileWithURLDate(path, {}), library.playlist().size());
    const std::int32_t partners[] = {-1, 1, 0, -1, -1, -1, 6, -1, -1};  // of the places -1 to 7
    for (std::int32_t i = -1; i <= 7; ++i) EXPECT_EQ(library.getAnotherCameraFile(i), partners[i + 1]) << i;
    EXPECT_EQ(library.checkDualCameraFileType(1), kCameraRear);
    EXPECT_EQ(library.checkDualCameraFileType(3), kCameraNone);
    EXPECT_EQ(library.checkDualCameraFileType(7), kCameraNone);  // past the end
}
