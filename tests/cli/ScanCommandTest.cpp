// `cartena scan` of the sample card: the playlist must be what the card's own table says it holds.
#include "Utility/DiagnosticLog.h"
#include "support/RunCommand.h"
#include "support/SampleCardFixture.h"
#include "support/TempHome.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <algorithm>
#include <sstream>

namespace {

using Keep = bool (*)(const SampleEntry&);
constexpr Keep kAll = [](const SampleEntry&) { return true; };

// The card's playable recordings that the filter keeps, sorted by path.
std::vector<std::string> expectedPaths(Keep keep) {
    std::vector<std::string> paths;
    for (const SampleEntry& e : sampleCardEntries())
        if (e.expectedInLibrary() && keep(e)) paths.push_back(sampleCardPath(e));
    std::sort(paths.begin(), paths.end());
    return paths;
}

}  // namespace

TEST(ScanCommand, RowsInDateOrderWithASummaryAndTheCardLeftAsItWas) {
    TempHome home;
    const std::string card = sampleCardFolder(), d = card + "/DCIM/";
    const auto listing = [&] { return runCommand({"find", card, "-printf", "%p %s %T@ %m\n"}).out; };
    const std::string before = listing();
    ASSERT_NE(before.find("FILE0001F.MP4"), std::string::npos);
    const CommandResult r = runCommand({builtProgram("cli/cartena"), "scan", card});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.err, "");
    EXPECT_EQ(listing(), before);  // nothing written into the scanned folder

    std::vector<std::string> rows, paths;
    std::istringstream in(r.out);
    for (std::string line; std::getline(in, line);) rows.push_back(line);
    ASSERT_GE(rows.size(), 2u);
    const std::string summary = rows.back();
    rows.pop_back();
    // Oldest first: the local date and time lead each row; the path starts at a fixed column.
    const auto dateOf = [](const std::string& row) { return row.substr(0, 19); };
    EXPECT_TRUE(std::is_sorted(rows.begin(), rows.end(), [&](auto& a, auto& b) { return dateOf(a) < dateOf(b); }));
    for (const std::string& row : rows) paths.push_back(row.substr(44, row.find("  ", 44) - 44));
    std::sort(paths.begin(), paths.end());
    EXPECT_EQ(paths, expectedPaths(kAll));
    EXPECT_EQ(rows.front(), "2024/01/28 14:00:00  AVI  normal  -      2  " + d + "BCam/BN0001.AVI  -");
    for (const std::string& row : {
             "2024/02/27 08:00:40  MP4  event   rear   1  " + d + "EventR/EMER0001R.MP4  " + d + "EventF/EMER0001F.MP4",
             "2024/02/29 12:00:00  MP4  normal  front  1  " + d + "NormalF/FILE0004F.MP4  -",  // rear unplugged
             "2024/04/07 03:00:00  MOV  normal  -      1  " + d + "Parking/PARK0002.MOV  -",   // summer time
             "2024/04/07 09:30:00  AVI  event   -      1  " + d + "Movie/MOVI0001.AVI  -",     // protected
         })
        EXPECT_NE(std::find(rows.begin(), rows.end(), row), rows.end()) << row;
    EXPECT_EQ(summary, "36 recordings in the playlist (9 event, 27 normal, 12 in front/rear pairs), 36 in the library");
}

TEST(ScanCommand, JsonListsWhatTheBoxesAndTheDayKeep) {
    TempHome home;
    const SampleCardDate first = sampleCardTestOptions().firstDay;
    const std::string firstDay = pmFormat("%04d-%02d-%02d", first.year, first.month, first.day);
    const std::string front = sampleCardPath(sampleCardEntry("FILE0001F.MP4"));
    const Keep events = [](const SampleEntry& e) { return e.event; }, none = [](const SampleEntry&) { return false; };
    const std::pair<std::vector<std::string>, Keep> cases[] = {
        {{}, kAll},
        {{"--event"}, events},
        {{"--normal"}, [](const SampleEntry& e) { return !e.event; }},  // parking recordings count as normal
        {{"--parking"}, none},
        {{"--normal", "--event"}, kAll},
        {{"--day", firstDay, "--event"}, [](const SampleEntry& e) { return e.day == 0 && e.event; }},
        {{"--day", "2030-01-01"}, none},
    };
    for (const auto& [flags, keep] : cases) {
        std::vector<std::string> argv = {builtProgram("cli/cartena"), "scan", sampleCardFolder(), "--json"};
        argv.insert(argv.end(), flags.begin(), flags.end());
        const CommandResult r = runCommand(argv);
        ASSERT_EQ(r.exitCode, 0) << r.err;
        const auto document = nlohmann::json::parse(r.out);
        std::vector<std::string> paths;
        for (const auto& row : document["playlist"]) {
            paths.push_back(row["path"]);
            // A partner in the playlist is named by its place; dates carry the local offset.
            if (const int partner = row["partnerIndex"]; partner >= 0)
                EXPECT_EQ(document["playlist"][partner]["path"], row["partnerPath"]);
            if (row["path"] == front) EXPECT_EQ(row["date"], "2024-02-27T08:00:00+01:00");
        }
        std::sort(paths.begin(), paths.end());
        EXPECT_EQ(paths, expectedPaths(keep)) << (flags.empty() ? "no flags" : flags.front());
        EXPECT_EQ(document["libraryCount"], expectedPaths(kAll).size());
    }
}
