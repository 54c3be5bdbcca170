// The sample card made by `cartena make-sample-card`, scanned by `cartena scan`: the playlist must
// be what the card's own table says it holds.
#include "library/LibraryTestFiles.h"
#include "support/RunCommand.h"
#include "support/SampleCardFixture.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <algorithm>
#include <map>
#include <sstream>

namespace {

struct Expected {
    const SampleEntry* entry;
    std::time_t time;
};

// The recordings a scan must list, oldest first.
std::vector<Expected> expectedPlaylist(bool (*keep)(const SampleEntry&, std::time_t)) {
    std::vector<Expected> rows;
    for (const SampleEntry& e : sampleCardEntries()) {
        const std::time_t t = sampleEntryTime(e, sampleCardTestOptions().firstDay);
        if (e.expectedInLibrary() && keep(e, t)) rows.push_back({&e, t});
    }
    std::stable_sort(rows.begin(), rows.end(), [](const Expected& a, const Expected& b) { return a.time < b.time; });
    return rows;
}

int videoTypeOf(const SampleEntry& e) {
    switch (e.container) {
        case SampleContainer::Avi:
            return 1;
        case SampleContainer::Mov:
            return 3;
        case SampleContainer::Mp4:
            return 5;
    }
    return -1;
}

std::string isoLocal(std::time_t t) {
    struct tm fields {};
    localtime_r(&t, &fields);
    char clock[32], zone[8];  // zone: +hhmm, written as +hh:mm
    std::strftime(clock, sizeof clock, "%Y-%m-%dT%H:%M:%S", &fields);
    std::strftime(zone, sizeof zone, "%z", &fields);
    return std::string(clock) + std::string(zone, 3) + ":" + std::string(zone + 3);
}

nlohmann::json scanJson(const std::vector<std::string>& extra) {
    std::vector<std::string> argv = {builtProgram("cli/cartena"), "scan", sampleCardFolder(), "--json"};
    argv.insert(argv.end(), extra.begin(), extra.end());
    const auto result = runCommand(argv);
    EXPECT_EQ(result.exitCode, 0) << result.err;
    EXPECT_EQ(result.err, "");
    return nlohmann::json::parse(result.out, nullptr, false);
}

// Compares the rows of a scan with the table's expectation; pairs of one moment may come in
// either order.
void expectRows(const nlohmann::json& playlist, const std::vector<Expected>& expected) {
    ASSERT_EQ(playlist.size(), expected.size()) << playlist.dump(1);
    std::map<std::string, std::size_t> indexOf;
    for (std::size_t i = 0; i < playlist.size(); ++i) indexOf[playlist[i]["path"].get<std::string>()] = i;
    for (std::size_t i = 0; i < expected.size(); ++i) {
        const SampleEntry& e = *expected[i].entry;
        const std::string path = sampleCardPath(e);
        SCOPED_TRACE(e.relativePath());
        ASSERT_EQ(indexOf.count(path), 1u);
        const auto& row = playlist[indexOf[path]];
        // Same date as the expected row at this place: only equal dates may swap.
        EXPECT_EQ(row["date"], isoLocal(expected[i].time));
        EXPECT_EQ(playlist[i]["date"], isoLocal(expected[i].time));
        EXPECT_EQ(row["videoFileType"], videoTypeOf(e));
        EXPECT_EQ(row["recordingType"], e.event ? 1 : 0);
        EXPECT_EQ(row["cameraCode"], e.camera == SampleCamera::Front ? 1 : e.camera == SampleCamera::Rear ? 2 : 0);
        EXPECT_EQ(row["motorType"], e.label == "B CAM" ? 2 : 1);
        const SampleEntry* partner = samplePartner(e, sampleCardEntries());
        const auto partnerRow = partner ? indexOf.find(sampleCardPath(*partner)) : indexOf.end();
        EXPECT_EQ(row["partnerIndex"], partnerRow == indexOf.end() ? -1 : int(partnerRow->second));
    }
}

}  // namespace

TEST(ScanSampleCard, ListsEveryPlayableRecordingInDateOrder) {
    TempHome home;
    const auto document = scanJson({});
    const auto expected = expectedPlaylist([](const SampleEntry&, std::time_t) { return true; });
    EXPECT_EQ(document["libraryCount"], expected.size());
    expectRows(document["playlist"], expected);

    // Of the rejected recordings only the too-short movie says so in the log.
    std::vector<std::string> complaints;
    for (const std::string& message : logMessages())
        if (message.rfind("pmIsMovCodecReady()", 0) == 0) complaints.push_back(message);
    EXPECT_EQ(complaints, std::vector<std::string>{"pmIsMovCodecReady() - Duration is too short, filter out it - " +
                                                    sampleCardPath(sampleCardEntry("FILE0150.MP4"))});
}

TEST(ScanSampleCard, TextRowsAndSummary) {
    TempHome home;
    const auto result = runCommand({builtProgram("cli/cartena"), "scan", sampleCardFolder()});
    ASSERT_EQ(result.exitCode, 0) << result.err;
    const auto expected = expectedPlaylist([](const SampleEntry&, std::time_t) { return true; });
    std::vector<std::string> lines;
    std::istringstream in(result.out);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    ASSERT_EQ(lines.size(), expected.size() + 1);
    std::size_t events = 0, paired = 0;
    for (const Expected& row : expected) {
        events += row.entry->event;
        paired += samplePartner(*row.entry, sampleCardEntries()) != nullptr;
    }
    std::ostringstream summary;
    summary << expected.size() << " recordings in the playlist (" << events << " event, " << expected.size() - events
            << " normal, " << paired << " in front/rear pairs), " << expected.size() << " in the library";
    EXPECT_EQ(lines.back(), summary.str());
    // The first row: the oldest recording, the B camera's normal one.
    EXPECT_EQ(lines.front().substr(19), "  AVI  normal  -      2  " + sampleCardPath(*expected.front().entry) + "  -");
}

TEST(ScanSampleCard, DayAndBoxFilters) {
    TempHome home;
    const SampleCardDate first = sampleCardTestOptions().firstDay;
    char day[16];
    std::snprintf(day, sizeof day, "%04d-%02d-%02d", first.year, first.month, first.day);
    const auto document = scanJson({"--day", day, "--event"});
    expectRows(document["playlist"], expectedPlaylist([](const SampleEntry& e, std::time_t) {
                   return e.day == 0 && e.event;
               }));

    const auto normal = scanJson({"--normal"});
    expectRows(normal["playlist"], expectedPlaylist([](const SampleEntry& e, std::time_t) { return !e.event; }));
}
