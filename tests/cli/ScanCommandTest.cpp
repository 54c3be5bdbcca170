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

CommandResult scan(std::vector<std::string> arguments) {
    arguments.insert(arguments.begin(), {builtProgram("cli/cartena"), "scan", sampleCardFolder()});
    return runCommand(arguments);
}

}  // namespace

TEST(ScanCommand, RowsInDateOrderOfWhatTheBoxesAndTheDayKeepAndTheCardLeftAsItWas) {
    TempHome home;
    const std::string card = sampleCardFolder(), d = card + "/DCIM/";
    const SampleCardDate first = sampleCardTestOptions().firstDay;
    const Keep all = [](const SampleEntry&) { return true; }, none = [](const SampleEntry&) { return false; };
    const std::pair<std::vector<std::string>, Keep> cases[] = {
        {{}, all},
        {{"--event"}, [](const SampleEntry& e) { return e.event; }},
        {{"--normal"}, [](const SampleEntry& e) { return !e.event; }},  // parking recordings count as normal
        {{"--parking"}, none},
        {{"--normal", "--event"}, all},
        {{"--day", pmFormat("%04d-%02d-%02d", first.year, first.month, first.day), "--event"},
         [](const SampleEntry& e) { return e.day == 0 && e.event; }},
        {{"--day", "2030-01-01"}, none},
    };
    const auto listing = [&] { return runCommand({"find", card, "-printf", "%p %s %T@ %m\n"}).out; };
    const std::string before = listing();
    ASSERT_NE(before.find("FILE0001F.MP4"), std::string::npos);
    std::string unfiltered;
    for (const auto& [flags, keep] : cases) {
        const CommandResult r = scan(flags);
        ASSERT_EQ(r.exitCode, 0) << r.err;
        EXPECT_EQ(r.err, "");
        std::vector<std::string> rows, paths, expected;
        std::istringstream in(r.out);
        for (std::string line; std::getline(in, line);) rows.push_back(line);
        rows.pop_back();  // the summary
        // Oldest first: the local date and time lead each row; the path starts at a fixed column.
        const auto dateOf = [](const std::string& row) { return row.substr(0, 19); };
        EXPECT_TRUE(std::is_sorted(rows.begin(), rows.end(), [&](auto& a, auto& b) { return dateOf(a) < dateOf(b); }));
        for (const std::string& row : rows) paths.push_back(row.substr(44, row.find("  ", 44) - 44));
        for (const SampleEntry& e : sampleCardEntries())
            if (e.expectedInLibrary() && keep(e)) expected.push_back(sampleCardPath(e));
        std::sort(paths.begin(), paths.end());
        std::sort(expected.begin(), expected.end());
        EXPECT_EQ(paths, expected) << (flags.empty() ? "no flags" : flags.front());
        if (flags.empty()) unfiltered = r.out;
    }
    EXPECT_EQ(listing(), before);  // nothing written into the scanned folder
    EXPECT_TRUE(unfiltered.starts_with("2024/01/28 14:00:00  AVI  normal  -      2  " + d + "BCam/BN0001.AVI  -\n"));
    for (const std::string& row : {
             "2024/02/27 08:00:40  MP4  event   rear   1  " + d + "EventR/EMER0001R.MP4  " + d + "EventF/EMER0001F.MP4",
             "2024/02/29 12:00:00  MP4  normal  front  1  " + d + "NormalF/FILE0004F.MP4  -",  // rear unplugged
             "2024/04/07 03:00:00  MOV  normal  -      1  " + d + "Parking/PARK0002.MOV  -",   // summer time
             "2024/04/07 09:30:00  AVI  event   -      1  " + d + "Movie/MOVI0001.AVI  -"})    // protected
        EXPECT_NE(unfiltered.find(row + "\n"), std::string::npos) << row;
    EXPECT_TRUE(unfiltered.ends_with(
        "\n36 recordings in the playlist (9 event, 27 normal, 12 in front/rear pairs), 36 in the library\n"));

    // The same as JSON: a partner in the playlist is named by its place; dates carry the local offset.
    const auto document = nlohmann::json::parse(scan({"--json"}).out);
    EXPECT_EQ(document["playlist"].size(), 36u);
    for (const auto& row : document["playlist"]) {
        if (const int partner = row["partnerIndex"]; partner >= 0) {
            EXPECT_EQ(document["playlist"][partner]["path"], row["partnerPath"]);
        }
        if (row["path"] == d + "NormalF/FILE0001F.MP4") {
            EXPECT_EQ(row["date"], "2024-02-27T08:00:00+01:00");
        }
    }
}
