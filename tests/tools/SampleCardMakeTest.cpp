#include "support/RunCommand.h"
#include "support/SampleCardFixture.h"
#include "support/TempHome.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <filesystem>
#include <fstream>

namespace fs = std::filesystem;

namespace {

// A few entries of the card, shortened: one per container and codec, a damaged one, a link.
std::vector<SampleEntry> smallCard() {
    std::vector<SampleEntry> picked;
    for (const SampleEntry& e : sampleCardEntries()) {
        if (e.name == "FILE0001F.MP4" || e.name == "EVEN0101.AVI" || e.name == "PARK0002.MOV" ||
            e.name == "FILE0152.MP4" || e.name == "FILE0151.MP4" || e.name == "CARDINFO.TXT" || e.name == "Loop") {
            picked.push_back(e);
            if (picked.back().flaw != SampleFlaw::TooSmall) picked.back().seconds = 2;
        }
    }
    return picked;
}

std::map<std::string, std::string> contents(const std::string& root) {
    std::map<std::string, std::string> files;
    for (const auto& item : fs::recursive_directory_iterator(root))
        if (item.is_regular_file() && !item.is_symlink())
            files[item.path().lexically_relative(root).string()] = readFile(item.path().string());
    return files;
}

}  // namespace

TEST(SampleCardMaking, SameOptionsGiveTheSameBytesAndAnotherSeedOtherScenery) {
    TempHome temp;
    SampleCardOptions oneThread;
    oneThread.threads = 1;
    SampleCardOptions twoThreads;
    twoThreads.threads = 2;
    SampleCardOptions otherSeed;
    otherSeed.seed = 2;
    for (auto [folder, options] : {std::pair{"a", &oneThread}, {"b", &twoThreads}, {"c", &otherSeed}}) {
        const SampleCardResult made = makeSampleCard(temp.path() + "/" + folder, *options, smallCard());
        ASSERT_TRUE(made.ok) << made.error;
        EXPECT_EQ(made.recordings, 5);
        EXPECT_EQ(made.entries, 7);
    }
    const auto a = contents(temp.path() + "/a"), b = contents(temp.path() + "/b"), c = contents(temp.path() + "/c");
    EXPECT_EQ(a.size(), 6u);
    EXPECT_TRUE(a == b);
    ASSERT_EQ(a.size(), c.size());
    EXPECT_EQ(a.at("CARDINFO.TXT"), c.at("CARDINFO.TXT"));
    EXPECT_NE(a.at("DCIM/NormalF/FILE0001F.MP4"), c.at("DCIM/NormalF/FILE0001F.MP4"));
    EXPECT_NE(a.at("DCIM/Movie/EVEN0101.AVI"), c.at("DCIM/Movie/EVEN0101.AVI"));
}

// The way telemetry is added later: a chunk appended behind the AVI index, with the RIFF size
// patched, and a log beside the recording; protected recordings are still writable at that point.
TEST(SampleCardMaking, HooksAddToEachRecordingBeforeItsModeAndDateAreSet) {
    TempHome temp;
    const std::string card = temp.path() + "/card";
    SampleCardOptions options;
    options.firstDay = {2025, 12, 30};
    std::vector<std::string> seen;
    options.recordingHooks.push_back(
        [&](const SampleEntry& e, const std::string& file, const std::string& root, std::string& error) {
            seen.push_back(e.name);
            if (root != card || file != root + "/" + e.relativePath()) {
                error = "wrong paths " + file;
                return false;
            }
            if (!writeFile(file.substr(0, file.rfind('.')) + ".log", "$GPRMC\n")) return false;
            if (e.container != SampleContainer::Avi) return true;
            std::fstream avi(file, std::ios::in | std::ios::out | std::ios::binary | std::ios::ate);
            const auto size = std::uint32_t(avi.tellp());
            avi.write("JUNK\4\0\0\0abcd", 12);
            const std::uint32_t riff = size + 12 - 8;
            const char le[4] = {char(riff), char(riff >> 8), char(riff >> 16), char(riff >> 24)};
            avi.seekp(4);
            avi.write(le, 4);
            return bool(avi);
        });
    const SampleCardResult made = makeSampleCard(card, options, smallCard());
    ASSERT_TRUE(made.ok) << made.error;
    EXPECT_EQ(seen, (std::vector<std::string>{"FILE0001F.MP4", "PARK0002.MOV", "EVEN0101.AVI", "FILE0151.MP4",
                                              "FILE0152.MP4"}));

    const SampleEntry& avi = sampleCardEntry("EVEN0101.AVI");
    const std::string path = card + "/" + avi.relativePath();
    struct stat st {};
    ASSERT_EQ(stat(path.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0444u);
    EXPECT_EQ(st.st_mtime, sampleEntryTime(avi, options.firstDay));
    std::tm local{};
    localtime_r(&st.st_mtime, &local);
    EXPECT_EQ(std::vector<int>({local.tm_year + 1900, local.tm_mon + 1, local.tm_mday, local.tm_hour}),
              std::vector<int>({2026, 1, 16, 10}));  // 17 days after the first day, over the new year
    EXPECT_TRUE(fs::exists(card + "/DCIM/Movie/EVEN0101.log"));
    const CommandResult decoded = runCommand({"ffmpeg", "-nostdin", "-v", "error", "-xerror", "-i", path, "-f", "null", "-"});
    EXPECT_EQ(decoded.exitCode, 0);
    EXPECT_EQ(decoded.err, "");

    SampleCardOptions failing;
    failing.recordingHooks.push_back([](const SampleEntry&, const std::string&, const std::string&, std::string& error) {
        error = "no room for telemetry";
        return false;
    });
    const SampleCardResult refused = makeSampleCard(temp.path() + "/failing", failing, smallCard());
    EXPECT_FALSE(refused.ok);
    EXPECT_EQ(refused.error, "DCIM/NormalF/FILE0001F.MP4: no room for telemetry");
}

TEST(SampleCardMaking, RefusesAFolderThatHoldsSomethingOrIsAFile) {
    TempHome temp;
    const std::string busy = temp.path() + "/busy";
    fs::create_directories(busy);
    ASSERT_TRUE(writeFile(busy + "/keep.txt", "mine"));
    const SampleCardResult intoBusy = makeSampleCard(busy, {}, smallCard());
    EXPECT_FALSE(intoBusy.ok);
    EXPECT_EQ(intoBusy.error, busy + " exists and is not empty");
    EXPECT_EQ(contents(busy), (std::map<std::string, std::string>{{"keep.txt", "mine"}}));

    const SampleCardResult intoFile = makeSampleCard(busy + "/keep.txt", {}, smallCard());
    EXPECT_FALSE(intoFile.ok);
    EXPECT_EQ(readFile(busy + "/keep.txt"), "mine");
}
