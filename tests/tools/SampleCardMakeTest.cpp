#include "support/SampleCardFixture.h"
#include "support/TempHome.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <set>

namespace fs = std::filesystem;

namespace {

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

// The way telemetry is added later: bytes appended to the recording while a recording to be
// protected is still writable; its mode and date are set afterwards.
TEST(SampleCardMaking, HooksAddToEachRecordingBeforeItsModeAndDateAreSet) {
    TempHome temp;
    const std::string card = temp.path() + "/card";
    SampleCardOptions options{.firstDay = {2025, 12, 30}};
    std::vector<std::string> seen;
    options.recordingHooks.push_back(
        [&](const SampleEntry& e, const std::string& file, const std::string& root, std::string& error) {
            seen.push_back(e.name);
            error = "wrong paths " + file;
            return root == card && file == root + "/" + e.relativePath() &&
                   bool(std::ofstream(file, std::ios::binary | std::ios::app) << "JUNK");
        });
    const SampleCardResult made = makeSampleCard(card, options, smallCard());
    ASSERT_TRUE(made.ok) << made.error;
    EXPECT_EQ(seen, (std::vector<std::string>{"FILE0001F.MP4", "PARK0002.MOV", "EVEN0101.AVI", "FILE0151.MP4",
                                              "FILE0152.MP4"}));
    const std::string path = card + "/" + sampleCardEntry("EVEN0101.AVI").relativePath();
    const std::string bytes = readFile(path);
    EXPECT_EQ(bytes.substr(bytes.size() - 4), "JUNK");
    struct stat st {};
    ASSERT_EQ(stat(path.c_str(), &st), 0);
    std::tm local{};
    localtime_r(&st.st_mtime, &local);
    EXPECT_EQ(std::vector({int(st.st_mode & 0777), local.tm_year + 1900, local.tm_mon + 1, local.tm_mday, local.tm_hour}),
              std::vector({0444, 2026, 1, 16, 10}));  // 17 days after the first day, over the new year

    SampleCardOptions failing;
    failing.recordingHooks.push_back([](const SampleEntry&, const std::string&, const std::string&, std::string& error) {
        error = "no room for telemetry";
        return false;
    });
    const SampleCardResult refused = makeSampleCard(temp.path() + "/failing", failing, smallCard());
    EXPECT_FALSE(refused.ok);
    EXPECT_EQ(refused.error, "DCIM/NormalF/FILE0001F.MP4: no room for telemetry");
    // A folder that holds something is refused in `cartena make-sample-card`'s test; a file too.
    EXPECT_FALSE(makeSampleCard(path, {}, smallCard()).ok);
    EXPECT_EQ(readFile(path), bytes);
}
