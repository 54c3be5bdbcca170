#include "Utility/FileReader.h"
#include "library/ContainerProbe.h"
#include "LibraryTestFiles.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <algorithm>

using namespace containers;
using librarytest::logMessages;

namespace {

std::string writeBytes(const TempHome& home, const std::string& name, const std::string& bytes) {
    const std::string path = home.path() + "/" + name;
    writeFile(path, bytes);
    return path;
}

// Pads a movie file out to `size` bytes with a trailing free box, keeping it well formed.
std::string padded(std::string bytes, std::size_t size) {
    if (bytes.size() + 8 <= size) bytes += box("free", zeros(size - bytes.size() - 8));
    return bytes;
}

}  // namespace

TEST(AviProbe, AcceptsH264AndMotionJpegHandlersOnly) {
    TempHome home;
    struct Case {
        const char* handler;
        bool accepted;
    };
    const Case cases[] = {
        {"H264", true}, {"h264", true}, {"MJPG", true}, {"mjpg", true}, {"mJpG", true},
        {"H265", false}, {"X264", false}, {"XVID", false}, {"DIVX", false}, {"mp4v", false},
        {"H26", false}, {"h2G4", false}, {"    ", false},
    };
    for (const auto& c : cases) {
        AviOptions options;
        options.handler = c.handler;
        const std::string path = home.path() + "/clip.avi";
        ASSERT_TRUE(writeImage(path, aviImage(options)));
        EXPECT_EQ(pmIsAviCodecReady(path), c.accepted) << c.handler;
    }
}

TEST(AviProbe, RejectsFilesWithoutTheHandlerBytes) {
    TempHome home;
    const std::string header = aviImage().flat();
    EXPECT_FALSE(pmIsAviCodecReady(writeBytes(home, "empty.avi", "")));
    EXPECT_FALSE(pmIsAviCodecReady(writeBytes(home, "cut115.avi", header.substr(0, 115))));
    EXPECT_TRUE(pmIsAviCodecReady(writeBytes(home, "cut116.avi", header.substr(0, 116))));
    EXPECT_FALSE(pmIsAviCodecReady(home.path() + "/missing.avi"));
    std::filesystem::create_directory(home.path() + "/folder.avi");
    EXPECT_FALSE(pmIsAviCodecReady(home.path() + "/folder.avi"));
}

TEST(MovProbe, WalksToTheFirstTracksSampleDescription) {
    TempHome home;
    struct Case {
        const char* what;
        Mp4Options options;
        bool accepted;
    };
    auto with = [](auto change) {
        Mp4Options options;
        change(options);
        return options;
    };
    const Case cases[] = {
        {"moov after mdat", Mp4Options{}, true},
        {"moov before mdat", with([](Mp4Options& o) { o.moovFirst = true; }), true},
        {"QuickTime brand", with([](Mp4Options& o) { o.majorBrand = "qt  "; }), true},
        {"64-bit mdat size", with([](Mp4Options& o) { o.largeMdat = true; }), true},
        {"no mvhd before the track", with([](Mp4Options& o) { o.withMvhd = false; }), true},
        {"upper-case AVC1", with([](Mp4Options& o) { o.videoFormat = "AVC1"; }), true},
        {"audio track first", with([](Mp4Options& o) { o.audioFirst = true; }), false},
        {"HEVC track", with([](Mp4Options& o) { o.videoFormat = "hvc1"; }), false},
        {"cut short, no moov", with([](Mp4Options& o) { o.withMoov = false; }), false},
        {"300 of 1000", with([](Mp4Options& o) { o.duration = 300; }), true},
        {"200 of 1000", with([](Mp4Options& o) { o.duration = 200; }), false},
        {"time scale below 8", with([](Mp4Options& o) { o.timeScale = 7; }), false},
        {"duration below 8", with([](Mp4Options& o) { o.duration = 5; }), true},
        {"time scale 8 and duration 8", with([](Mp4Options& o) { o.timeScale = o.duration = 8; }), true},
    };
    for (const auto& c : cases) {
        const std::string path = home.path() + "/clip.mp4";
        ASSERT_TRUE(writeImage(path, mp4Image(c.options)));
        EXPECT_EQ(pmIsMovCodecReady(path), c.accepted) << c.what;
    }
}

TEST(MovProbe, BoxSizesFollowSigned32BitArithmetic) {
    TempHome home;
    const std::string ftyp = ftypBox();
    Mp4Options faststart;
    faststart.moovFirst = true;
    const std::string moov = moovBox(faststart);
    const std::string tail = moov + box("mdat", zeros(4096));
    struct Case {
        const char* what;
        std::string bytes;
        bool accepted;
    };
    const Case cases[] = {
        {"well formed", ftyp + tail, true},
        {"upper-case box types", box("FTYP", ftyp.substr(8)) + box("FREE", "") + tail, true},
        {"first box free", box("free", zeros(24)) + tail, false},
        {"first box moov", tail, false},
        {"wide box skipped", ftyp + box("wide", "") + tail, true},
        {"size 0 (to the end)", ftyp + boxWithSize(0, "free", zeros(8)) + tail, false},
        {"size 4", ftyp + boxWithSize(4, "free", zeros(8)) + tail, false},
        {"size 7", ftyp + boxWithSize(7, "free", zeros(8)) + tail, false},
        {"size with the top bit set", ftyp + boxWithSize(0x80000010u, "free", zeros(8)) + tail, false},
        {"size past the end", ftyp + boxWithSize(1u << 20, "free", zeros(8)) + tail, false},
        {"64-bit size", ftyp + box64("free", zeros(8)) + tail, true},
        // Only the low half of a 64-bit size counts.
        {"64-bit size with a high half", ftyp + box64("free", zeros(8), (1ull << 32) + 24) + tail, true},
        {"64-bit size with low half 0", ftyp + box64("free", zeros(8), 1ull << 32) + tail, false},
        {"64-bit size below its header", ftyp + box64("free", zeros(8), 12) + tail, false},
        {"64-bit size cut off", box("ftyp", "isom" + zeros(2100)) + std::string("\0\0\0\x01" "free\0\0", 10), false},
        {"trak before mvhd's level", ftyp + box("trak", "") + tail, true},
    };
    for (const auto& c : cases) {
        const std::string path = writeBytes(home, "clip.mp4", padded(c.bytes, 2100));
        EXPECT_EQ(pmIsMovCodecReady(path), c.accepted) << c.what;
    }
}

TEST(MovProbe, MediaDataOf2GiBOrMoreReadsAsANegativeSize) {
    TempHome home;
    struct Case {
        std::uint64_t mediaBytes;
        bool largeMdat;
        bool accepted;
    };
    // Sparse files: only the headers take room.
    const Case cases[] = {
        {0x7fff0000u, false, true},
        {0x7fff0000u, true, true},
        {0x80000000u, false, false},
        {0xa0000000u, true, false},
    };
    for (const auto& c : cases) {
        Mp4Options options;
        options.mediaBytes = c.mediaBytes;
        options.largeMdat = c.largeMdat;
        const std::string path = home.path() + "/long.mp4";
        ASSERT_TRUE(writeImage(path, mp4Image(options)));
        EXPECT_EQ(pmIsMovCodecReady(path), c.accepted) << std::hex << c.mediaBytes << " " << c.largeMdat;
        std::filesystem::remove(path);
    }
}

TEST(MovProbe, FilesOf2048BytesOrLessAreRejected) {
    TempHome home;
    Mp4Options options;
    options.moovFirst = true;
    options.mediaBytes = 0;
    const std::string movie = mp4Image(options).flat();
    ASSERT_LT(movie.size() + 8, 2048u);
    EXPECT_FALSE(pmIsMovCodecReady(writeBytes(home, "a.mp4", padded(movie, 2048))));
    EXPECT_TRUE(pmIsMovCodecReady(writeBytes(home, "b.mp4", padded(movie, 2049))));
    EXPECT_FALSE(pmIsMovCodecReady(home.path() + "/missing.mp4"));
}

TEST(MovProbe, TooShortMovieLogsOneLine) {
    TempHome home;
    Mp4Options shortMovie;
    shortMovie.duration = 199;
    const std::string path = home.path() + "/FILE0001.MP4";
    ASSERT_TRUE(writeImage(path, mp4Image(shortMovie)));
    EXPECT_FALSE(pmIsMovCodecReady(path));
    const std::vector<std::string> expected = {"pmIsMovCodecReady() - Duration is too short, filter out it - " + path};
    EXPECT_EQ(logMessages(), expected);

    // Every other rejection is silent.
    Mp4Options audioFirst;
    audioFirst.audioFirst = true;
    ASSERT_TRUE(writeImage(path, mp4Image(audioFirst)));
    EXPECT_FALSE(pmIsMovCodecReady(path));
    EXPECT_EQ(logMessages(), expected);
}

TEST(Probes, ReadOnlyHeadersNeverTheMediaData) {
    TempHome home;
    Mp4Options options;
    options.mediaBytes = 256ull << 20;  // a sparse 256 MiB mdat in front of moov
    const std::string mp4 = home.path() + "/big.mp4";
    ASSERT_TRUE(writeImage(mp4, mp4Image(options)));
    AviOptions avi;
    avi.size = 256ull << 20;
    const std::string aviPath = home.path() + "/big.avi";
    ASSERT_TRUE(writeImage(aviPath, aviImage(avi)));

    // The head of the file and the index behind the media: one read each.
    FileReader::resetTotals();
    EXPECT_TRUE(pmIsMovCodecReady(mp4));
    EXPECT_LE(FileReader::totalBytesRead(), 2 * BufferedProbeBytes::kWindow);
    EXPECT_EQ(FileReader::totalReadCalls(), 2u);

    FileReader::resetTotals();
    EXPECT_TRUE(pmIsAviCodecReady(aviPath));
    EXPECT_EQ(FileReader::totalBytesRead(), 4u);
    EXPECT_EQ(FileReader::totalReadCalls(), 1u);
}

TEST(Probes, SpecialFilesAreRejectedWithoutBlocking) {
    TempHome home;
    // Opening a FIFO for reading would wait for a writer that never comes.
    for (const char* name : {"/pipe.mp4", "/pipe.avi"}) {
        const std::string path = home.path() + name;
        ASSERT_EQ(::mkfifo(path.c_str(), 0644), 0);
    }
    EXPECT_FALSE(pmIsMovCodecReady(home.path() + "/pipe.mp4"));
    EXPECT_FALSE(pmIsAviCodecReady(home.path() + "/pipe.avi"));
}
