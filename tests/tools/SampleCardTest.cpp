// The sample card as FFmpeg's own programs see it, independently of the encoder that made it; and
// the making itself, on a few of its entries.
#include "support/RunCommand.h"
#include "support/SampleCardFixture.h"
#include "support/TempHome.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <set>

namespace fs = std::filesystem;

namespace {

std::time_t tableTime(const SampleEntry& e) { return sampleEntryTime(e, sampleCardTestOptions().firstDay); }

// A few entries of the card, shortened: one per container and codec, a damaged one, a text, a link.
std::vector<SampleEntry> smallCard() {
    const std::set<std::string> names = {"FILE0001F.MP4", "EVEN0101.AVI", "PARK0002.MOV", "FILE0152.MP4",
                                         "FILE0151.MP4", "CARDINFO.TXT", "Loop"};
    std::vector<SampleEntry> picked;
    for (SampleEntry e : sampleCardEntries()) {
        if (!names.count(e.name)) continue;
        if (e.flaw != SampleFlaw::TooSmall) e.seconds = 2;
        picked.push_back(e);
    }
    return picked;
}

}  // namespace

// Each recording is the container, codec and damage its entry promises. Every frame of a complete
// one names its camera, second and number (read from scaled copies in the player's and the
// window's tests); the first frame's clock is the file's date in local time, in summer time as in
// winter.
TEST(SampleCard, EveryRecordingIsWhatItsEntryPromisesDownToEachFrame) {
    for (const SampleEntry& e : sampleCardEntries()) {
        if (e.kind != SampleKind::Recording) continue;
        SCOPED_TRACE(e.relativePath());
        const std::string path = sampleCardPath(e);
        const std::string bytes = readFile(path);
        const CommandResult probed = runCommand({"ffprobe", "-v", "error", "-select_streams", "v:0", "-show_entries",
                                                 "stream=codec_name,width,height:format=duration", "-of", "json", path});
        if (e.container == SampleContainer::Avi) {
            // The stream header of the first stream, where a camera's AVI carries its codec.
            const char* handler = e.codec == SampleCodec::H264 ? "H264" : e.codec == SampleCodec::Mjpeg ? "MJPG" : "FMP4";
            EXPECT_EQ(bytes.substr(0, 4) + bytes.substr(8, 4), "RIFFAVI ");
            EXPECT_EQ(bytes.substr(108, 8), std::string("vids") + handler);
        } else {
            // Box types as text: the movie box, when there is one, lies before or after the media data.
            EXPECT_EQ(bytes.substr(4, 4), "ftyp");
            const std::size_t moov = bytes.find("moov"), mdat = bytes.find("mdat");
            if (e.flaw == SampleFlaw::NoMoov) {
                EXPECT_EQ(moov, std::string::npos);
                EXPECT_GT(bytes.size(), 2048u);
                EXPECT_NE(probed.exitCode, 0);
                continue;
            }
            EXPECT_EQ(moov < mdat, e.moovFirst);
        }
        ASSERT_EQ(probed.exitCode, 0) << probed.err;
        const nlohmann::json info = nlohmann::json::parse(probed.out);
        const nlohmann::json& stream = info.at("streams").at(0);
        EXPECT_EQ(stream.at("codec_name"), e.codec == SampleCodec::H264 ? "h264" : e.codec == SampleCodec::Mjpeg ? "mjpeg" : "mpeg4");
        EXPECT_EQ(std::pair(stream.at("width").get<int>(), stream.at("height").get<int>()), std::pair(e.width, e.height));
        const double seconds = std::stod(info.at("format").at("duration").get<std::string>());
        if (e.flaw == SampleFlaw::TooShort) {
            EXPECT_GT(bytes.size(), 2048u);
            EXPECT_LT(seconds, 0.2);
        } else if (e.flaw == SampleFlaw::TooSmall) {
            EXPECT_EQ(bytes.size(), 2048u);
            EXPECT_GE(seconds, 1.0);
        } else {
            EXPECT_NEAR(seconds, e.seconds, 0.1);
        }

        // Every frame as ffmpeg decodes it, gray; an error stops it.
        const CommandResult decoded = runCommand(
            {"ffmpeg", "-nostdin", "-v", "error", "-xerror", "-i", path, "-f", "rawvideo", "-pix_fmt", "gray", "-"});
        EXPECT_EQ(std::pair(decoded.exitCode, decoded.err), std::pair(0, std::string()));
        const std::size_t frameBytes = std::size_t(e.width) * std::size_t(e.height);
        EXPECT_EQ(decoded.out.size(), frameBytes * std::size_t(e.frameCount()));
        if (e.height < 180) continue;  // too small to carry a legible stamp
        int mismatches = 0;
        for (std::size_t i = 0; (i + 1) * frameBytes <= decoded.out.size() && mismatches < 3; ++i) {
            const auto* pixels = reinterpret_cast<const std::uint8_t*>(decoded.out.data() + i * frameBytes);
            const auto shown = readFrameStamp({pixels, e.width, e.height, e.width, ImageView::Format::Gray8});
            const FrameStamp expected = sampleFrameStamp(e, sampleCardTestOptions().firstDay, int(i));
            if (shown != expected)
                ADD_FAILURE() << "frame " << i << " shows " << (shown ? describeFrameStamp(*shown) : "nothing")
                              << ", expected " << describeFrameStamp(expected) << (++mismatches == 3 ? " ..." : "");
        }
        const FrameStamp first = sampleFrameStamp(e, sampleCardTestOptions().firstDay, 0);
        const std::time_t date = tableTime(e);
        std::tm local{};
        localtime_r(&date, &local);
        const int shown = (first.hour * 60 + first.minute) * 60 + first.second;
        EXPECT_EQ(std::vector({first.year, first.month, first.day, shown, shown}),
                  std::vector({local.tm_year + 1900, local.tm_mon + 1, local.tm_mday,
                               (local.tm_hour * 60 + local.tm_min) * 60 + local.tm_sec, e.timeOfDay}));
        EXPECT_EQ(first.camera, e.label);
    }
}

TEST(SampleCard, FilesFoldersModesAndDatesAreAsTheTableSays) {
    std::set<std::string> expected;
    for (const SampleEntry& e : sampleCardEntries()) {
        SCOPED_TRACE(e.relativePath());
        const std::string path = sampleCardPath(e);
        expected.insert(e.relativePath());
        struct stat st {};
        ASSERT_EQ(lstat(path.c_str(), &st), 0);
        if (e.kind == SampleKind::Recording || e.kind == SampleKind::TextFile) {
            EXPECT_TRUE(S_ISREG(st.st_mode));
            EXPECT_EQ(st.st_mode & 07777, e.writeProtected ? 0444u : 0644u);
            EXPECT_EQ(std::pair(st.st_mtim.tv_sec, st.st_mtim.tv_nsec), std::pair(tableTime(e), 0L));
        } else if (e.kind == SampleKind::Folder) {
            EXPECT_TRUE(S_ISDIR(st.st_mode) && fs::is_empty(path));
        } else {
            EXPECT_TRUE(S_ISLNK(st.st_mode));
            EXPECT_EQ(fs::read_symlink(path).string(), e.text);
            // It leads back up the tree: to the folder it lies in or one of its parents.
            const std::string target = fs::canonical(path).string() + "/";
            const std::string home = fs::canonical(fs::path(path).parent_path()).string() + "/";
            EXPECT_EQ(home.rfind(target, 0), 0u) << target << " is not above " << home;
        }
    }
    // Nothing else was left behind (the link is not followed).
    std::set<std::string> found;
    for (auto it = fs::recursive_directory_iterator(sampleCardFolder()); it != fs::recursive_directory_iterator(); ++it)
        if (!it->is_directory() || it->is_symlink() || fs::is_empty(it->path()))
            found.insert(it->path().lexically_relative(sampleCardFolder()).string());
    EXPECT_EQ(found, expected);
}

TEST(SampleCardMaking, SameOptionsGiveTheSameBytesAndAnotherSeedOtherScenery) {
    TempHome temp;
    std::map<std::string, std::string> made[3];
    const SampleCardOptions options[3] = {{.threads = 1}, {.threads = 2}, {.seed = 2}};
    for (int i = 0; i < 3; ++i) {
        const std::string root = temp.path() + "/" + std::to_string(i);
        const SampleCardResult result = makeSampleCard(root, options[i], smallCard());
        ASSERT_TRUE(result.ok) << result.error;
        EXPECT_EQ(std::pair(result.recordings, result.entries), std::pair(5, 7));
        for (const auto& item : fs::recursive_directory_iterator(root))
            if (item.is_regular_file() && !item.is_symlink())
                made[i][item.path().lexically_relative(root).string()] = readFile(item.path().string());
    }
    EXPECT_EQ(made[0].size(), 6u);
    EXPECT_TRUE(made[0] == made[1]);
    ASSERT_EQ(made[0].size(), made[2].size());
    EXPECT_EQ(made[0].at("CARDINFO.TXT"), made[2].at("CARDINFO.TXT"));
    EXPECT_NE(made[0].at("DCIM/NormalF/FILE0001F.MP4"), made[2].at("DCIM/NormalF/FILE0001F.MP4"));
    EXPECT_NE(made[0].at("DCIM/Movie/EVEN0101.AVI"), made[2].at("DCIM/Movie/EVEN0101.AVI"));
}

// The way telemetry is added later: bytes appended while a recording to be protected is still
// writable, its mode and date set afterwards; a hook's failure stops the making and names it.
TEST(SampleCardMaking, HooksAddToEachRecordingBeforeItsModeAndDateAreSet) {
    TempHome temp;
    SampleCardOptions options;
    options.recordingHooks.push_back([](const SampleEntry&, const std::string& file, const std::string&, std::string&) {
        return bool(std::ofstream(file, std::ios::binary | std::ios::app) << "JUNK");
    });
    ASSERT_TRUE(makeSampleCard(temp.path() + "/card", options, smallCard()).ok);
    const SampleEntry& avi = sampleCardEntry("EVEN0101.AVI");
    const std::string path = temp.path() + "/card/" + avi.relativePath();
    struct stat st {};
    ASSERT_EQ(stat(path.c_str(), &st), 0);
    EXPECT_TRUE(readFile(path).ends_with("JUNK"));
    EXPECT_EQ(std::pair(st.st_mode & 0777, st.st_mtime), std::pair(0444u, sampleEntryTime(avi, options.firstDay)));
    SampleCardOptions failing;
    failing.recordingHooks.push_back([](const SampleEntry&, const std::string&, const std::string&, std::string& error) {
        error = "no room for telemetry";
        return false;
    });
    const SampleCardResult refused = makeSampleCard(temp.path() + "/failing", failing, smallCard());
    EXPECT_FALSE(refused.ok);
    EXPECT_EQ(refused.error, "DCIM/NormalF/FILE0001F.MP4: no room for telemetry");
    // A folder that holds something is refused in `cartena make-sample-card`'s test; a file too.
    const std::string file = temp.path() + "/file";
    ASSERT_TRUE(writeFile(file, "mine"));
    EXPECT_FALSE(makeSampleCard(file, {}, smallCard()).ok);
    EXPECT_EQ(readFile(file), "mine");
}
