#include "Utility/DiagnosticLog.h"
#include "library/LibraryTestFiles.h"
#include "library/RecordingName.h"
#include "support/RunCommand.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <sys/stat.h>

#include <filesystem>
#include <map>
#include <sstream>

using namespace librarytest;

namespace {

// A small card: a front/rear pair, an event, a parking recording, a protected clip of another day
// and files the scan leaves out.
std::string makeCard(const TempHome& home) {
    const std::string card = home.path() + "/card";
    writeMp4(card + "/DCIM/NormalF/FILE0001F.MP4", localTime(2024, 5, 3, 10, 0, 0));
    writeMp4(card + "/DCIM/NormalR/FILE0001R.MP4", localTime(2024, 5, 3, 10, 0, 0));
    writeAvi(card + "/DCIM/Event/EMER0002.AVI", localTime(2024, 5, 3, 11, 30, 0));
    writeMp4(card + "/DCIM/Park/PARK0003.MOV", localTime(2024, 5, 3, 23, 59, 59));
    writeAvi(card + "/DCIM/Other/MOVI0004.AVI", localTime(2024, 5, 4, 0, 0, 1), "MJPG");
    ::chmod((card + "/DCIM/Other/MOVI0004.AVI").c_str(), 0444);
    writeAvi(card + "/DCIM/Other/XVID0005.AVI", localTime(2024, 5, 4, 1), "XVID");
    writeFile(card + "/DCIM/readme.txt", "not a recording");
    return card;
}

std::vector<std::string> lines(const std::string& text) {
    std::vector<std::string> out;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) out.push_back(line);
    return out;
}

// Every path under the folder with its size and modification time.
std::map<std::string, std::pair<std::uintmax_t, long long>> snapshot(const std::string& folder) {
    std::map<std::string, std::pair<std::uintmax_t, long long>> files;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(folder)) {
        struct stat st {};
        ::lstat(entry.path().c_str(), &st);
        files[entry.path().string()] = {entry.is_regular_file() ? entry.file_size() : 0,
                                        st.st_mtim.tv_sec * 1'000'000'000LL + st.st_mtim.tv_nsec};
    }
    return files;
}

}  // namespace

TEST(ScanCommand, PrintsThePlaylistInDateOrderWithASummary) {
    TempHome home;
    const std::string card = makeCard(home);
    const auto before = snapshot(card);
    const auto result = runCommand({builtProgram("cli/cartena"), "scan", card});
    ASSERT_EQ(result.exitCode, 0) << result.err;
    EXPECT_EQ(result.err, "");
    const std::string d = card + "/DCIM/";
    const std::vector<std::string> expected = {
        "2024/05/03 10:00:00  MP4  normal  front  1  " + d + "NormalF/FILE0001F.MP4  " + d + "NormalR/FILE0001R.MP4",
        "2024/05/03 10:00:00  MP4  normal  rear   1  " + d + "NormalR/FILE0001R.MP4  " + d + "NormalF/FILE0001F.MP4",
        "2024/05/03 11:30:00  AVI  event   -      1  " + d + "Event/EMER0002.AVI  -",
        "2024/05/03 23:59:59  MOV  normal  -      1  " + d + "Park/PARK0003.MOV  -",
        "2024/05/04 00:00:01  AVI  event   -      1  " + d + "Other/MOVI0004.AVI  -",
        "5 recordings in the playlist (2 event, 3 normal, 2 in front/rear pairs), 5 in the library",
    };
    auto output = lines(result.out);
    // Equal dates keep the scan order, which the file system decides: the pair may come either way.
    if (output.size() == expected.size() && output[0].find("NormalR") < output[0].find("NormalF"))
        std::swap(output[0], output[1]);
    EXPECT_EQ(output, expected);
    EXPECT_EQ(snapshot(card), before);
}

TEST(ScanCommand, BoxesAndDaySelectRecordings) {
    TempHome home;
    const std::string card = makeCard(home);
    struct Case {
        std::vector<std::string> flags;
        std::vector<std::string> names;
    };
    const Case cases[] = {
        {{"--event"}, {"EMER0002.AVI", "MOVI0004.AVI"}},
        {{"--normal"}, {"FILE0001?.MP4", "FILE0001?.MP4", "PARK0003.MOV"}},
        {{"--parking"}, {}},
        {{"--normal", "--event"}, {"FILE0001?.MP4", "FILE0001?.MP4", "EMER0002.AVI", "PARK0003.MOV", "MOVI0004.AVI"}},
        {{"--day", "2024-05-04"}, {"MOVI0004.AVI"}},
        {{"--day", "2024-05-03", "--event"}, {"EMER0002.AVI"}},
        {{"--day", "2024-05-05"}, {}},
    };
    for (const auto& c : cases) {
        std::vector<std::string> argv = {builtProgram("cli/cartena"), "scan", card, "--json"};
        argv.insert(argv.end(), c.flags.begin(), c.flags.end());
        const auto result = runCommand(argv);
        ASSERT_EQ(result.exitCode, 0) << result.err;
        const auto document = nlohmann::json::parse(result.out);
        std::vector<std::string> names;
        for (const auto& row : document["playlist"]) {
            std::string name = pmGetFileTitle(row["path"].get<std::string>(), false);
            if (name.rfind("FILE0001", 0) == 0) name[8] = '?';
            names.push_back(name);
        }
        EXPECT_EQ(names, c.names) << c.flags[0];
        EXPECT_EQ(document["libraryCount"], 5);
    }
}

TEST(ScanCommand, MissingFolderFailsWithOneLineAndTheLogIsAppended) {
    TempHome home;
    pmOutputDebugMsg("earlier line");
    const std::string cartena = builtProgram("cli/cartena");
    for (const std::string& bad : {home.path() + "/no card", home.path() + "/file"}) {
        writeFile(home.path() + "/file", "x");
        const auto result = runCommand({cartena, "scan", bad});
        EXPECT_EQ(result.exitCode, 1);
        EXPECT_EQ(result.out, "");
        EXPECT_EQ(lines(result.err).size(), 1u) << result.err;
        EXPECT_NE(result.err.find(bad), std::string::npos) << result.err;
    }
    EXPECT_EQ(runCommand({cartena, "scan", home.path(), "--day", "2024-13-01"}).exitCode, 2);

    std::filesystem::create_directories(home.path() + "/card");
    ASSERT_EQ(runCommand({cartena, "scan", home.path() + "/card"}).exitCode, 0);
    const auto messages = logMessages();
    ASSERT_GE(messages.size(), 2u);
    EXPECT_EQ(messages.front(), "earlier line");
    EXPECT_EQ(messages.back(), "AppDelegate::buildVideoLibrary - End !");
}
