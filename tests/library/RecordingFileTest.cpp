#include "Utility/FileReader.h"
#include "library/ContainerProbe.h"
#include "library/RecordingName.h"
#include "support/ContainerBuilder.h"
#include "support/TempHome.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <filesystem>

using namespace containers;

namespace {

// Pads a movie file out to `size` bytes with a trailing free box, keeping it well formed.
std::string padded(std::string bytes, std::size_t size) {
    if (bytes.size() + 8 <= size) bytes += box("free", zeros(size - bytes.size() - 8));
    return bytes;
}

}  // namespace

TEST(RecordingName, CodesOfWritableFilesByName) {
    TempHome home;
    constexpr auto mp4 = kVideoFileMp4, avi = kVideoFileAvi, mov = kVideoFileMov, other = kVideoFileOther;
    constexpr auto normal = kRecordNormal, event = kRecordEvent;
    constexpr auto plain = kMotorOrdinary, bFamily = kMotorBFamily;
    constexpr auto none = kCameraNone, front = kCameraFront, rear = kCameraRear;
    // The name, then the codes of its video file type, recording type, motor type and camera.
    const std::tuple<const char*, std::int32_t, std::uint16_t, std::int16_t, std::uint16_t> cases[] = {
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
    for (const auto& [name, videoType, recordType, motorType, camera] : cases) {
        const std::string path = home.path() + "/" + name;
        ASSERT_TRUE(writeFile(path, "x")) << path;
        EXPECT_EQ(pmGetVideoFileType(path), videoType) << name;
        EXPECT_EQ(pmGetRecordFileType(path), recordType) << name;
        EXPECT_EQ(pmGetMotorTypeFile(path), motorType) << name;
        EXPECT_EQ(pmCheckDualCameraFileType(path), camera) << name;
    }
    EXPECT_EQ(std::tuple(pmGetVideoFileType(""), pmGetRecordFileType(""), pmGetMotorTypeFile(""),
                         pmCheckDualCameraFileType(""), pmIsEventFile("")),
              std::tuple(other, normal, kMotorNoName, none, false));  // an empty path is nothing at all
    // Titles: the last component, less its extension when asked; a leading dot starts none.
    EXPECT_EQ(pmGetFileTitle("/card/v1.2/a.b.MP4", true) + " " + pmGetFileTitle("/c/.hidden", true), "a.b .hidden");
    EXPECT_EQ(pmGetFileTitle("/card/DCIM/FILE0001.MP4", false), "FILE0001.MP4");
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
    // Nothing at the path counts as write-protected.
    EXPECT_EQ(pmGetRecordFileType(home.path() + "/MOVI0002.AVI"), kRecordEvent);
    EXPECT_EQ(pmGetRecordFileType(home.path() + "/FILE0002.MP4"), kRecordNormal);
}

TEST(RecordingName, PartnerPathSwapsTheCameraLetterOfNameAndFolder) {
    const std::pair<const char*, std::optional<std::string>> cases[] = {
        {"/card/NormalF/FILE0001F.MP4", "/card/NormalR/FILE0001R.MP4"},
        {"/card/NormalR/FILE0001r.MP4", "/card/NormalF/FILE0001F.MP4"},
        {"/card/EventF/EMER0002F.avi", "/card/EventR/EMER0002R.avi"},
        {"FILE0001F.MP4", "FILE0001R.MP4"}, {"/FILE0001R.MP4", "/FILE0001F.MP4"},
        // Characters, not bytes: the folder's last one is replaced whatever it is.
        {"/card/Vid\xF0\x9F\x93\xB9/\xE2\x82\xAC" "0001F.MP4", "/card/VidR/\xE2\x82\xAC" "0001R.MP4"},
        // The letter is taken five characters from the end: in front of a three-letter extension.
        {"/card/F/FILE0001F.MPEG", "/card/R/FILE0001FRMPEG"},
        {"/card/NormalF/PARK0003.MOV", std::nullopt}, {"/card/NormalF/ABCDF.MP4", std::nullopt}, {"", std::nullopt},
    };
    for (const auto& [path, partner] : cases) EXPECT_EQ(pmGetAnotherCameraFile(path), partner) << path;
}

TEST(AviProbe, AcceptsH264AndMotionJpegHandlersOnly) {
    TempHome home;
    const std::string path = home.path() + "/clip.avi";
    const std::pair<const char*, bool> handlers[] = {
        {"H264", true},   {"h264", true},   {"MJPG", true},  {"mjpg", true},  {"mJpG", true},
        {"H265", false},  {"X264", false},  {"XVID", false}, {"DIVX", false}, {"mp4v", false},
        {"H26", false},   {"h2G4", false},  {"    ", false},
    };
    for (const auto& [handler, accepted] : handlers) {
        ASSERT_TRUE(writeImage(path, aviImage({.handler = handler})));
        EXPECT_EQ(pmIsAviCodecReady(path), accepted) << handler;
    }
    // The handler's four bytes end at 116.
    const std::string header = aviImage().flat();
    for (const std::size_t size : {0, 115, 116}) {
        ASSERT_TRUE(writeFile(path, header.substr(0, size)));
        EXPECT_EQ(pmIsAviCodecReady(path), size == 116) << size;
    }
    std::filesystem::remove(path);
    EXPECT_FALSE(pmIsAviCodecReady(path));  // missing
    EXPECT_FALSE(pmIsAviCodecReady(home.path()));  // a folder
}

TEST(MovProbe, WalksToTheFirstTracksSampleDescriptionAndLogsOnlyTooShortMovies) {
    TempHome home;
    const std::tuple<const char*, Mp4Options, bool> cases[] = {
        {"moov after mdat", {}, true},                       {"moov before mdat", {.moovFirst = true}, true},
        {"QuickTime brand", {.majorBrand = "qt  "}, true},   {"64-bit mdat size", {.largeMdat = true}, true},
        {"no mvhd before the track", {.withMvhd = false}, true}, {"upper-case AVC1", {.videoFormat = "AVC1"}, true},
        {"audio track first", {.audioFirst = true}, false}, {"HEVC track", {.videoFormat = "hvc1"}, false},
        {"cut short, no moov", {.withMoov = false}, false},
        // The duration against the time scale, both less 8, in unsigned arithmetic.
        {"300 of 1000", {.duration = 300}, true},           {"200 of 1000", {.duration = 200}, false},
        {"time scale below 8", {.timeScale = 7}, false},    {"duration below 8", {.duration = 5}, true},
        {"time scale 8 and duration 8", {.timeScale = 8, .duration = 8}, true},
        // Media data of 2 GiB or more gives mdat a negative size (sparse files: only headers take room).
        {"mdat just under 2 GiB", {.mediaBytes = 0x7fff0000u}, true},
        {"mdat of 2 GiB", {.mediaBytes = 0x80000000u}, false},
        {"64-bit mdat over 2 GiB", {.largeMdat = true, .mediaBytes = 0xa0000000u}, false},
    };
    const std::string path = home.path() + "/clip.mp4";
    for (const auto& [what, options, accepted] : cases) {
        ASSERT_TRUE(writeImage(path, mp4Image(options)));
        EXPECT_EQ(pmIsMovCodecReady(path), accepted) << what;
    }
    // Only the two movies too short for their time scale say why.
    const std::string tooShort = "pmIsMovCodecReady() - Duration is too short, filter out it - " + path;
    EXPECT_EQ(logMessages(), std::vector<std::string>(2, tooShort));
}

TEST(MovProbe, BoxSizesFollowSigned32BitArithmeticAndSmallFilesAreRejected) {
    TempHome home;
    const std::string ftyp = ftypBox();
    const std::string moov = moovBox({.moovFirst = true});
    const std::string tail = moov + box("mdat", zeros(4096));
    const struct {
        const char* what;
        std::string bytes;
        bool accepted;
        std::size_t size = 2100;
    } cases[] = {
        {"well formed", ftyp + tail, true},
        {"upper-case box types", box("FTYP", ftyp.substr(8)) + box("FREE", "") + tail, true},
        {"first box free", box("free", zeros(24)) + tail, false},
        {"first box moov", tail, false},
        {"wide box skipped", ftyp + box("wide", "") + tail, true},
        {"size 0 (to the end)", ftyp + boxWithSize(0, "free", zeros(8)) + tail, false},
        {"size 7", ftyp + boxWithSize(7, "free", zeros(8)) + tail, false},
        {"size with the top bit set", ftyp + boxWithSize(0x80000010u, "free", zeros(8)) + tail, false},
        {"size past the end", ftyp + boxWithSize(1u << 20, "free", zeros(8)) + tail, false},
        // 64-bit sizes: only the low half counts.
        {"64-bit size with a high half", ftyp + box64("free", zeros(8), (1ull << 32) + 24) + tail, true},
        {"64-bit size with low half 0", ftyp + box64("free", zeros(8), 1ull << 32) + tail, false},
        {"64-bit size below its header", ftyp + box64("free", zeros(8), 12) + tail, false},
        {"64-bit size cut off", box("ftyp", "isom" + zeros(2100)) + std::string("\0\0\0\x01" "free\0\0", 10), false},
        {"trak before mvhd's level", ftyp + box("trak", "") + tail, true},
        {"2048 bytes in all", ftyp + moov, false, 2048},
        {"2049 bytes in all", ftyp + moov, true, 2049},
    };
    const std::string path = home.path() + "/clip.mp4";
    for (const auto& c : cases) {
        ASSERT_TRUE(writeFile(path, padded(c.bytes, c.size)));
        EXPECT_EQ(pmIsMovCodecReady(path), c.accepted) << c.what;
    }
    EXPECT_FALSE(pmIsMovCodecReady(home.path() + "/missing.mp4"));
}

TEST(Probes, ReadOnlyHeadersNeverTheMediaDataAndSkipSpecialFiles) {
    TempHome home;
    const std::string mp4 = home.path() + "/big.mp4", avi = home.path() + "/big.avi";
    ASSERT_TRUE(writeImage(mp4, mp4Image({.mediaBytes = 256ull << 20})));  // a sparse mdat in front of moov
    ASSERT_TRUE(writeImage(avi, aviImage({.size = 256ull << 20})));
    FileReader::resetTotals();
    EXPECT_TRUE(pmIsMovCodecReady(mp4));
    EXPECT_LE(FileReader::totalBytesRead(), 2 * BufferedProbeBytes::kWindow);  // the head, and the index behind
    EXPECT_EQ(FileReader::totalReadCalls(), 2u);
    FileReader::resetTotals();
    EXPECT_TRUE(pmIsAviCodecReady(avi));
    EXPECT_EQ(FileReader::totalBytesRead(), 4u);
    EXPECT_EQ(FileReader::totalReadCalls(), 1u);

    // Opening a FIFO for reading would wait for a writer that never comes.
    ASSERT_EQ(::mkfifo((home.path() + "/pipe.mp4").c_str(), 0644), 0);
    ASSERT_EQ(::mkfifo((home.path() + "/pipe.avi").c_str(), 0644), 0);
    EXPECT_FALSE(pmIsMovCodecReady(home.path() + "/pipe.mp4"));
    EXPECT_FALSE(pmIsAviCodecReady(home.path() + "/pipe.avi"));
}
