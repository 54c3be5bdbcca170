#include "Utility/FileReader.h"
#include "library/ContainerProbe.h"
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
    const struct {
        const char* what;
        Mp4Options options;
        bool accepted;
    } cases[] = {
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
    for (const auto& c : cases) {
        ASSERT_TRUE(writeImage(path, mp4Image(c.options)));
        EXPECT_EQ(pmIsMovCodecReady(path), c.accepted) << c.what;
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
    EXPECT_LT(FileReader::totalBytesRead(), 256u);
    EXPECT_LE(FileReader::totalReadCalls(), 20u);
    FileReader::resetTotals();
    EXPECT_TRUE(pmIsAviCodecReady(avi));
    EXPECT_EQ(FileReader::totalBytesRead(), 4u);

    // Opening a FIFO for reading would wait for a writer that never comes.
    ASSERT_EQ(::mkfifo((home.path() + "/pipe.mp4").c_str(), 0644), 0);
    ASSERT_EQ(::mkfifo((home.path() + "/pipe.avi").c_str(), 0644), 0);
    EXPECT_FALSE(pmIsMovCodecReady(home.path() + "/pipe.mp4"));
    EXPECT_FALSE(pmIsAviCodecReady(home.path() + "/pipe.avi"));
}
