#include "VideoFrames.h"
#include "support/RunCommand.h"
#include "support/SampleCardFixture.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <set>

namespace fs = std::filesystem;

namespace {

const std::vector<SampleEntry>& entries() { return sampleCardEntries(); }
std::time_t tableTime(const SampleEntry& e) { return sampleEntryTime(e, sampleCardTestOptions().firstDay); }

bool complete(const SampleEntry& e) { return e.kind == SampleKind::Recording && e.flaw != SampleFlaw::NoMoov; }

std::string readBytes(const std::string& path, std::size_t offset, std::size_t length) {
    std::ifstream in(path, std::ios::binary);
    in.seekg(std::streamoff(offset));
    std::string bytes(length, '\0');
    in.read(bytes.data(), std::streamsize(length));
    bytes.resize(std::size_t(in.gcount()));
    return bytes;
}

// Top-level box types of an MP4, in order, as far as the file reaches.
std::vector<std::string> topBoxes(const std::string& path) {
    std::vector<std::string> types;
    const std::uint64_t size = fs::file_size(path);
    for (std::uint64_t offset = 0; offset + 8 <= size;) {
        const std::string header = readBytes(path, offset, 8);
        const auto* p = reinterpret_cast<const unsigned char*>(header.data());
        const std::uint64_t boxSize = std::uint64_t(p[0]) << 24 | p[1] << 16 | p[2] << 8 | p[3];
        types.push_back(header.substr(4, 4));
        if (boxSize < 8) break;
        offset += boxSize;
    }
    return types;
}

}  // namespace

TEST(SampleCard, EveryCompleteRecordingDecodesWholeWithoutAComplaint) {
    for (const SampleEntry& e : entries()) {
        if (!complete(e)) continue;
        const CommandResult decoded =
            runCommand({"ffmpeg", "-nostdin", "-v", "error", "-xerror", "-i", sampleCardPath(e), "-f", "null", "-"});
        EXPECT_EQ(decoded.exitCode, 0) << e.relativePath();
        EXPECT_EQ(decoded.err, "") << e.relativePath();
    }
}

TEST(SampleCard, FilesFoldersModesAndDatesAreAsTheTableSays) {
    std::set<std::string> expected;
    for (const SampleEntry& e : entries()) {
        SCOPED_TRACE(e.relativePath());
        const std::string path = sampleCardPath(e);
        expected.insert(e.relativePath());
        struct stat st {};
        ASSERT_EQ(lstat(path.c_str(), &st), 0);
        switch (e.kind) {
        case SampleKind::Recording:
        case SampleKind::TextFile:
            EXPECT_TRUE(S_ISREG(st.st_mode));
            EXPECT_EQ(st.st_mode & 07777, e.writeProtected ? 0444u : 0644u);
            EXPECT_EQ(st.st_mtim.tv_sec, tableTime(e));
            EXPECT_EQ(st.st_mtim.tv_nsec, 0);
            break;
        case SampleKind::Folder:
            EXPECT_TRUE(S_ISDIR(st.st_mode));
            EXPECT_TRUE(fs::is_empty(path));
            break;
        case SampleKind::FolderLink: {
            EXPECT_TRUE(S_ISLNK(st.st_mode));
            EXPECT_EQ(fs::read_symlink(path).string(), e.text);
            // It leads back up the tree: to the folder it lies in or one of its parents.
            const std::string target = fs::canonical(path).string() + "/";
            const std::string home = fs::canonical(fs::path(path).parent_path()).string() + "/";
            EXPECT_EQ(home.rfind(target, 0), 0u) << target << " is not above " << home;
            break;
        }
        }
    }
    // Nothing else was left behind (the link is not followed).
    std::set<std::string> found;
    for (auto it = fs::recursive_directory_iterator(sampleCardFolder()); it != fs::recursive_directory_iterator(); ++it) {
        const std::string relative = it->path().lexically_relative(sampleCardFolder()).string();
        if (!it->is_directory() || it->is_symlink() || fs::is_empty(it->path())) found.insert(relative);
    }
    EXPECT_EQ(found, expected);
}

TEST(SampleCard, FirstFrameOfEveryRecordingShowsItsCameraAndFileDate) {
    for (const SampleEntry& e : entries()) {
        if (!complete(e) || e.height < 180) continue;  // the tiny one is too small to carry a legible stamp
        SCOPED_TRACE(e.relativePath());
        struct stat st {};
        ASSERT_EQ(stat(sampleCardPath(e).c_str(), &st), 0);
        std::tm local{};
        localtime_r(&st.st_mtim.tv_sec, &local);
        std::optional<FrameStamp> shown;
        EXPECT_TRUE(decodeVideo(sampleCardPath(e), [&](const AVFrame& frame, int) {
            shown = readFrameStamp(lumaView(frame));
            return false;
        }));
        ASSERT_TRUE(shown);
        EXPECT_EQ(shown->camera, e.label);
        EXPECT_EQ(shown->frame, 0);
        EXPECT_EQ(std::vector<int>({shown->year, shown->month, shown->day, shown->hour, shown->minute, shown->second}),
                  std::vector<int>({local.tm_year + 1900, local.tm_mon + 1, local.tm_mday, local.tm_hour,
                                    local.tm_min, local.tm_sec}));
        // The clock shows the table's wall-clock time, in summer time as in winter.
        EXPECT_EQ((shown->hour * 60 + shown->minute) * 60 + shown->second, e.timeOfDay);
    }
}

TEST(SampleCard, ContainersCodecsAndDamageAreWhatEachEntryPromises) {
    for (const SampleEntry& e : entries()) {
        if (e.kind != SampleKind::Recording) continue;
        SCOPED_TRACE(e.relativePath());
        const std::string path = sampleCardPath(e);
        const std::uint64_t size = fs::file_size(path);
        const VideoInfo info = probeVideo(path);
        if (e.container == SampleContainer::Avi) {
            // The stream header of the first stream, where a camera's AVI carries its codec.
            const char* handler = e.codec == SampleCodec::H264 ? "H264" : e.codec == SampleCodec::Mjpeg ? "MJPG" : "FMP4";
            EXPECT_EQ(readBytes(path, 0, 4) + readBytes(path, 8, 4), "RIFFAVI ");
            EXPECT_EQ(readBytes(path, 108, 8), std::string("vids") + handler);
        } else {
            const std::vector<std::string> boxes = topBoxes(path);
            ASSERT_FALSE(boxes.empty());
            EXPECT_EQ(boxes.front(), "ftyp");
            const auto moov = std::find(boxes.begin(), boxes.end(), "moov");
            const auto mdat = std::find(boxes.begin(), boxes.end(), "mdat");
            if (e.flaw == SampleFlaw::NoMoov) {
                EXPECT_EQ(moov, boxes.end());
                EXPECT_GT(size, 2048u);
                EXPECT_FALSE(info.opened);
                continue;
            }
            ASSERT_NE(moov, boxes.end());
            EXPECT_EQ(moov < mdat, e.moovFirst);
        }
        ASSERT_TRUE(info.opened);
        EXPECT_EQ(info.codec, e.codec == SampleCodec::H264 ? "h264" : e.codec == SampleCodec::Mjpeg ? "mjpeg" : "mpeg4");
        EXPECT_EQ(info.width, e.width);
        EXPECT_EQ(info.height, e.height);
        switch (e.flaw) {
        case SampleFlaw::TooShort:
            EXPECT_GT(size, 2048u);
            EXPECT_LT(info.seconds, 0.2);
            break;
        case SampleFlaw::TooSmall:
            EXPECT_EQ(size, 2048u);
            EXPECT_GE(info.seconds, 1.0);
            break;
        default:
            EXPECT_NEAR(info.seconds, e.seconds, 0.1);
            break;
        }
    }
}

TEST(SampleCard, FrontAndRearRecordingsOfOneMomentSortNextToEachOther) {
    int pairs = 0;
    for (const SampleEntry& e : entries()) {
        if (e.camera != SampleCamera::Front) continue;
        const SampleEntry* rear = samplePartner(e, entries());
        if (!rear) continue;
        ++pairs;
        SCOPED_TRACE(e.relativePath());
        struct stat front {}, back {};
        ASSERT_EQ(stat(sampleCardPath(e).c_str(), &front), 0);
        ASSERT_EQ(stat(sampleCardPath(*rear).c_str(), &back), 0);
        const std::time_t first = std::min(front.st_mtime, back.st_mtime), last = std::max(front.st_mtime, back.st_mtime);
        EXPECT_LE(last - first, 1);
        // No other recording's date falls between or on theirs, so a date sort keeps them together.
        for (const SampleEntry& other : entries()) {
            if (other.kind != SampleKind::Recording || &other == &e || &other == rear) continue;
            struct stat st {};
            ASSERT_EQ(stat(sampleCardPath(other).c_str(), &st), 0);
            EXPECT_FALSE(st.st_mtime >= first && st.st_mtime <= last) << other.relativePath();
        }
        // The rear camera's folder is the front one's with its last letter swapped, and so is the name.
        EXPECT_EQ(e.folder.back(), 'F');
        EXPECT_EQ(rear->folder.back(), 'R');
    }
    EXPECT_GE(pairs, 5);
}

TEST(SampleCard, HoldsEveryKindOfNameProtectionAndDayThatAScanMustTellApart) {
    std::set<std::string> prefixes;
    std::set<std::pair<int, int>> months;
    std::set<std::time_t> days;
    bool protectedPlainName = false, writableEmergency = false, protectedEvent = false, be1234 = false;
    for (const SampleEntry& e : entries()) {
        if (!e.expectedInLibrary()) continue;
        prefixes.insert(e.name.substr(0, e.name[0] == 'B' ? 2 : 4));
        std::time_t t = tableTime(e);
        std::tm local{};
        localtime_r(&t, &local);
        months.insert({local.tm_year, local.tm_mon});
        days.insert(t - (local.tm_hour * 3600 + local.tm_min * 60 + local.tm_sec));
        protectedPlainName |= e.writeProtected && e.name.rfind("MOVI", 0) == 0;
        writableEmergency |= !e.writeProtected && e.name.rfind("EMERGENCY", 0) == 0;
        protectedEvent |= e.writeProtected && e.event && (e.name.rfind("EMER", 0) == 0 || e.name.rfind("EVEN", 0) == 0);
        be1234 |= e.name == "BE1234.AVI";
    }
    EXPECT_EQ(prefixes, (std::set<std::string>{"FILE", "EMER", "EVEN", "PARK", "BN", "BE", "BP", "MOVI"}));
    EXPECT_GE(months.size(), 3u);
    EXPECT_GE(days.size(), 5u);
    EXPECT_TRUE(protectedPlainName);
    EXPECT_TRUE(writableEmergency);
    EXPECT_TRUE(protectedEvent);
    EXPECT_TRUE(be1234);
}
