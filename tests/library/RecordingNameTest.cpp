#include "library/RecordingName.h"
#include "library/VideoLibrary.h"
#include "support/TempHome.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <filesystem>

namespace {

struct NameCase {
    const char* name;
    std::int32_t videoType;
    std::uint16_t recordType;  // of a writable file
    std::int16_t motorType;
    std::uint16_t camera;
};

}  // namespace

TEST(RecordingName, CodesOfWritableFilesByName) {
    TempHome home;
    const NameCase cases[] = {
        {"FILE0001F.MP4", kVideoFileMp4, kRecordNormal, kMotorOrdinary, kCameraFront},
        {"file0001.mp4", kVideoFileMp4, kRecordNormal, kMotorOrdinary, kCameraNone},
        {"FILE01.MP4", kVideoFileMp4, kRecordNormal, kMotorOrdinary, kCameraNone},  // too few digits: fallback
        {"FILEABCD_EMER.Mp4", kVideoFileMp4, kRecordEvent, kMotorOrdinary, kCameraNone},  // fallback finds EMER
        {"EMER0002R.AVI", kVideoFileAvi, kRecordEvent, kMotorOrdinary, kCameraRear},
        {"emer0002.avi", kVideoFileAvi, kRecordEvent, kMotorOrdinary, kCameraNone},
        {"EVEN0003.mov", kVideoFileMov, kRecordEvent, kMotorOrdinary, kCameraNone},
        {"EVENT001.MOV", kVideoFileMov, kRecordNormal, kMotorOrdinary, kCameraNone},  // EVEN without its digits
        {"PARK0003.MOV", kVideoFileMov, kRecordNormal, kMotorOrdinary, kCameraNone},
        {"EMERGENCY.AVI", kVideoFileAvi, kRecordEvent, kMotorOrdinary, kCameraNone},
        {"BE1234.AVI", kVideoFileAvi, kRecordEvent, kMotorBFamily, kCameraNone},
        {"BE1234F.MP4", kVideoFileMp4, kRecordEvent, kMotorBFamily, kCameraFront},
        {"bn0001.avi", kVideoFileAvi, kRecordNormal, kMotorBFamily, kCameraNone},
        {"BP0001.AVI", kVideoFileAvi, kRecordNormal, kMotorBFamily, kCameraNone},
        {"BE12.AVI", kVideoFileAvi, kRecordNormal, kMotorOrdinary, kCameraNone},  // 2-character prefix, no digits
        {"BX1234.AVI", kVideoFileAvi, kRecordNormal, kMotorOrdinary, kCameraNone},
        {"MOVI0001.AVI", kVideoFileAvi, kRecordNormal, kMotorOrdinary, kCameraNone},
        {"FILE0001r.MP4", kVideoFileMp4, kRecordNormal, kMotorOrdinary, kCameraRear},
        {"FILE0001X.MP4", kVideoFileMp4, kRecordNormal, kMotorOrdinary, kCameraNone},
        {"ABCDF.MP4", kVideoFileMp4, kRecordNormal, kMotorOrdinary, kCameraNone},
        {"1234F.MP4", kVideoFileMp4, kRecordNormal, kMotorOrdinary, kCameraFront},
        {"\xC3\x89VEN0001.MP4", kVideoFileMp4, kRecordNormal, kMotorOrdinary, kCameraNone},  // no Unicode folding
        {"archive.tar.avi", kVideoFileAvi, kRecordNormal, kMotorOrdinary, kCameraNone},
        {"FILE0001.MPEG", kVideoFileOther, kRecordNormal, kMotorOrdinary, kCameraNone},
        {"FILE0001", kVideoFileOther, kRecordNormal, kMotorOrdinary, kCameraNone},
        {".MP4", kVideoFileOther, kRecordNormal, kMotorOrdinary, kCameraNone},  // a hidden name, no extension
        {"FILE0001.", kVideoFileOther, kRecordNormal, kMotorOrdinary, kCameraNone},
    };
    for (const auto& c : cases) {
        const std::string path = home.path() + "/" + c.name;
        ASSERT_TRUE(writeFile(path, "x")) << path;
        EXPECT_EQ(pmGetVideoFileType(path), c.videoType) << c.name;
        EXPECT_EQ(pmGetRecordFileType(path), c.recordType) << c.name;
        EXPECT_EQ(pmGetMotorTypeFile(path), c.motorType) << c.name;
        EXPECT_EQ(pmCheckDualCameraFileType(path), c.camera) << c.name;
    }
}

TEST(RecordingName, WriteProtectionMakesAnEventOnlyWhenTheNameDoesNotDecide) {
    TempHome home;
    struct Case {
        const char* name;
        std::uint16_t readOnlyType;
    };
    const Case cases[] = {
        {"MOVI0001.AVI", kRecordEvent},  // unknown name: the fallback sees the protection
        {"FILE0001.MP4", kRecordNormal},  // the name decides; protection is not asked
        {"PARK0001.MP4", kRecordNormal},
        {"FILE01.MP4", kRecordEvent},
        {"BE12.AVI", kRecordEvent},
    };
    for (const auto& c : cases) {
        const std::string path = home.path() + "/" + c.name;
        ASSERT_TRUE(writeFile(path, "x"));
        // Any write bit left makes the file writable, whoever owns it.
        ASSERT_EQ(::chmod(path.c_str(), 0404 | 0020), 0);
        EXPECT_EQ(pmGetRecordFileType(path), kRecordNormal) << c.name;
        ASSERT_EQ(::chmod(path.c_str(), 0444), 0);
        EXPECT_EQ(pmGetRecordFileType(path), c.readOnlyType) << c.name;
        EXPECT_EQ(pmIsEventFile(path), true) << c.name;
    }
}

TEST(RecordingName, MissingAndEmptyPaths) {
    TempHome home;
    // Nothing at the path counts as write-protected.
    const std::string missing = home.path() + "/MOVI0001.AVI";
    EXPECT_EQ(pmGetRecordFileType(missing), kRecordEvent);
    EXPECT_TRUE(pmIsEventFile(missing));
    EXPECT_EQ(pmGetRecordFileType(home.path() + "/FILE0001.MP4"), kRecordNormal);

    EXPECT_EQ(pmGetVideoFileType(""), kVideoFileOther);
    EXPECT_EQ(pmGetRecordFileType(""), kRecordNormal);
    EXPECT_FALSE(pmIsEventFile(""));
    EXPECT_EQ(pmGetMotorTypeFile(""), kMotorNoName);
    EXPECT_EQ(pmCheckDualCameraFileType(""), kCameraNone);
    EXPECT_EQ(pmGetAnotherCameraFile(""), std::nullopt);
}

TEST(RecordingName, TitlesDigitsAndReversal) {
    EXPECT_EQ(pmGetFileTitle("/card/DCIM/FILE0001.MP4", true), "FILE0001");
    EXPECT_EQ(pmGetFileTitle("/card/DCIM/FILE0001.MP4", false), "FILE0001.MP4");
    EXPECT_EQ(pmGetFileTitle("/card/v1.2/clip", true), "clip");
    EXPECT_EQ(pmGetFileTitle("/card/.hidden", true), ".hidden");
    EXPECT_EQ(pmGetFileTitle("/card/a.b.c", true), "a.b");

    EXPECT_TRUE(pmIs4Numbers("AB1234", 2));
    EXPECT_TRUE(pmIs4Numbers("1234", 0));
    EXPECT_FALSE(pmIs4Numbers("AB123", 2));
    EXPECT_FALSE(pmIs4Numbers("AB12x4", 2));
    EXPECT_FALSE(pmIs4Numbers("1234", -1));
    EXPECT_FALSE(pmIs4Numbers("\xD9\xA1\xD9\xA2\xD9\xA3\xD9\xA4", 0));  // Arabic-Indic digits are not digits

    EXPECT_EQ(pmReverseString("FILE0001F"), "F1000ELIF");
    EXPECT_EQ(pmReverseString(""), "");
    // Characters, not bytes: a two-byte letter stays whole.
    EXPECT_EQ(pmReverseString("a\xC3\xA9" "1"), "1\xC3\xA9" "a");
    EXPECT_EQ(pmReverseString("\xFF" "ab\x80"), "\x80" "ba\xFF");
}

TEST(RecordingName, PartnerPathSwapsTheCameraLetterOfNameAndFolder) {
    struct Case {
        const char* path;
        const char* partner;  // nullptr: none
    };
    const Case cases[] = {
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
        {"/card/NormalF/PARK0003.MOV", nullptr},
        {"/card/NormalF/ABCDF.MP4", nullptr},
    };
    for (const auto& c : cases) {
        const auto partner = pmGetAnotherCameraFile(c.path);
        if (c.partner) {
            EXPECT_EQ(partner, std::optional<std::string>(c.partner)) << c.path;
        } else {
            EXPECT_EQ(partner, std::nullopt) << c.path;
        }
    }
}

TEST(RecordingName, PartnerSearchLooksAtTheTwoNeighboursOnly) {
    const FileDate when = pmFileDateFromUnix(1'700'000'000);
    auto entry = [&](const char* path) { return AMediaFile::mediaFileWithURLDate(path, when); };
    VideoLibrary library;
    library.setPlaylist({
        entry("/c/NormalF/FILE0001F.MP4"),  // 0: rear next to it
        entry("/c/NormalR/FILE0001R.MP4"),  // 1: front before it
        entry("/c/NormalF/FILE0002F.MP4"),  // 2: its rear is two places on
        entry("/c/Other/PARK0001.MP4"),     // 3: no camera
        entry("/c/NormalR/FILE0002R.MP4"),  // 4
        entry("/c/NormalF/FILE0003f.MP4"),  // 5: lower-case f finds its rear...
        entry("/c/NormalR/FILE0003R.MP4"),  // 6: ...but the rear looks for an upper-case F
        entry("/c/NormalR/FILE0004R.MP4"),  // 7: partner before it
    });
    library.insertObject(entry("/c/NormalF/FILE0004F.MP4"), 7);  // now 7, the rear is 8

    const std::int32_t expected[] = {1, 0, -1, -1, -1, 6, -1, 8, 7};
    for (std::int32_t i = 0; i < 9; ++i) EXPECT_EQ(library.getAnotherCameraFile(i), expected[i]) << i;
    EXPECT_EQ(library.getAnotherCameraFile(-1), -1);
    EXPECT_EQ(library.getAnotherCameraFile(9), -1);

    EXPECT_EQ(library.checkDualCameraFileType(0), kCameraFront);
    EXPECT_EQ(library.checkDualCameraFileType(1), kCameraRear);
    EXPECT_EQ(library.checkDualCameraFileType(3), kCameraNone);
    EXPECT_EQ(library.checkDualCameraFileType(9), kCameraNone);
    EXPECT_EQ(library.checkDualCameraFileType(-1), kCameraNone);
}
