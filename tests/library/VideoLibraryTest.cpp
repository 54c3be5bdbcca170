#include "Utility/DiagnosticLog.h"
#include "library/RecordingName.h"
#include "library/VideoLibrary.h"
#include "support/ChildProcess.h"
#include "support/ContainerBuilder.h"
#include "support/TempHome.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>

using ::testing::ElementsAre;
using ::testing::UnorderedElementsAre;

namespace {

// A playable recording dated `when`: an H.264 MP4, or an AVI with the given stream handler.
void writeRecording(const std::string& path, std::time_t when, const char* aviHandler = nullptr) {
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    containers::writeImage(path, aviHandler ? containers::aviImage({.handler = aviHandler}) : containers::mp4Image());
    setFileTime(path, when);
}

std::vector<std::string> pathsOf(const std::vector<AMediaFile>& entries, const std::string& root = {}) {
    std::vector<std::string> paths;
    for (const auto& entry : entries)
        paths.push_back(entry.URL().substr(entry.URL().starts_with(root) ? root.size() : 0));
    return paths;
}

// Writes each step the scan asks of the outside world into the diagnostic log, among the scan's own lines.
struct LoggingClient : VideoLibraryClient {
    void runScan(const std::function<void()>& walk) override { pmOutputDebugMsg("> runScan"), walk(); }
    void startMonitorFolder(const std::string& folder) override { pmOutputDebugMsg("> startMonitorFolder " + folder); }
    void videoLibIsReady() override { pmOutputDebugMsg("> videoLibIsReady"); }
    void setActivateDay(int y, int m, int d) override { pmOutputDebugMsgF("> setActivateDay %d-%d-%d", y, m, d); }
    void closePlayers() override { pmOutputDebugMsg("> closePlayers"); }
    PlaylistFilter playlistFilter() override {  // the event box off
        return pmOutputDebugMsg("> playlistFilter"), PlaylistFilter{true, {}, true, false, true};
    }
    void playlistRebuilt(const std::vector<AMediaFile>& list) override {
        pmOutputDebugMsgF("> playlistRebuilt %zu", list.size());
    }
};

}  // namespace

TEST(VideoLibrary, ScanWalksDepthFirstFollowingLinksButNeverRoundACycle) {
    TempHome home;
    const std::string card = home.path() + "/card", root = home.path() + "/link/";
    writeRecording(card + "/A/FILE0001.MP4", localTime(2024, 1, 1, 8));
    writeRecording(card + "/A/EMER0002.AVI", localTime(2024, 1, 1, 9), "MJPG");
    writeRecording(card + "/A/EVEN0003.AVI", localTime(2024, 1, 1, 9), "XVID");      // not playable here
    writeRecording(card + "/.hidden/a folder.MP4/FILE0009.MP4", localTime(2024, 4, 29, 6));  // a folder, entered
    writeRecording(card + "/FILE0010.MP4", localTime(2024, 1, 1, 8));               // gone before it is read
    writeRecording(card + "/gone/FILE0011.MP4", localTime(2024, 1, 1, 8));
    ASSERT_EQ(::symlink("..", (card + "/A/up").c_str()), 0);                   // back to the card
    ASSERT_EQ(::symlink(".", (card + "/A/self").c_str()), 0);                  // to itself
    ASSERT_EQ(::symlink("A", (card + "/B").c_str()), 0);                       // two ways into A: both scanned
    ASSERT_EQ(::symlink(card.c_str(), (card + "/C").c_str()), 0);              // absolute, to the card itself
    ASSERT_EQ(::symlink("A/FILE0001.MP4", (card + "/E.MP4").c_str()), 0);      // a link to a recording
    ASSERT_EQ(::symlink("nowhere.MP4", (card + "/D.MP4").c_str()), 0);         // dangling: skipped
    ASSERT_EQ(::symlink("card", (home.path() + "/link").c_str()), 0);          // the scan enters through a link

    VideoLibrary library;
    library.setListingHook([&](const std::string& folder, const std::vector<std::string>& names) {
        if (folder != root) return;
        EXPECT_EQ(std::count(names.begin(), names.end(), "gone"), 1);  // listed, then gone: left out quietly
        std::filesystem::remove(card + "/FILE0010.MP4");
        std::filesystem::remove_all(card + "/gone");
    });
    library.searchFolder(root);  // a trailing slash does not double the separator
    const auto found = pathsOf(library.videoLib(), root);
    EXPECT_THAT(found, UnorderedElementsAre("A/FILE0001.MP4", "A/EMER0002.AVI", "B/FILE0001.MP4", "B/EMER0002.AVI",
                                            "E.MP4", ".hidden/a folder.MP4/FILE0009.MP4"));
    // Depth first: the two files of A are next to each other whatever the listing order.
    const auto first = std::find(found.begin(), found.end(), "A/FILE0001.MP4");
    EXPECT_EQ(std::abs(first - std::find(found.begin(), found.end(), "A/EMER0002.AVI")), 1);
    for (const auto& entry : library.videoLib()) EXPECT_EQ(entry.fileDate(), pmGetFileDate(entry.URL()));
    EXPECT_EQ(pmGetFileDate(root + "E.MP4"), pmGetFileDate(root + "A/FILE0001.MP4"));  // a link's date is its target's
    EXPECT_TRUE(logMessages().empty());
}

TEST(VideoLibrary, DateSortIsStableSoEqualDatesKeepScanOrder) {
    const FileDate early = pmFileDateFromUnix(1'700'000'000, 5), late = pmFileDateFromUnix(1'700'003'600);
    std::vector<AMediaFile> entries;
    std::vector<std::string> expected;
    for (int i = 0; i < 40; ++i)
        entries.push_back(AMediaFile::mediaFileWithURLDate(std::to_string(i), i % 2 ? early : late));
    for (int i = 1; i < 40; i += 2) expected.push_back(std::to_string(i));  // the early ones, then the late
    for (int i = 0; i < 40; i += 2) expected.push_back(std::to_string(i));
    VideoLibrary library;
    library.setVideoLib(entries);
    EXPECT_EQ(pathsOf(library.sortByFileDate()), expected);
}

TEST(VideoLibrary, DaysAreLocalAndVanishedFilesLeaveThePlaylistButStayInTheLibrary) {
    TempHome home;
    const std::string card = home.path() + "/card";
    // Half an hour after local midnight: the day before in UTC.
    for (int day : {10, 11, 12}) writeRecording(card + pmFormat("/MOVI%04d.MP4", day), localTime(2024, 2, day, 0, 30));
    ASSERT_EQ(::chmod((card + "/MOVI0011.MP4").c_str(), 0444), 0);  // protected: an event
    VideoLibrary library;
    library.searchFolder(card);
    VideoLibraryClient defaults;
    library.rebuildPlaylist(defaults);
    EXPECT_EQ(library.lastVideoDay(), (CalendarDay{2024, 2, 12}));
    EXPECT_FALSE(library.isMediaExistByDate(2024, 2, 9));
    const PlaylistFilter oneDay{false, {2024, 2, 11}};
    EXPECT_THAT(pathsOf(VideoLibrary::filterPlaylist(library.sortByFileDate(), oneDay), card),
                ElementsAre("/MOVI0011.MP4"));

    std::filesystem::remove(card + "/MOVI0012.MP4");
    EXPECT_FALSE(library.isAllMediaExist());
    EXPECT_EQ(library.lastVideoDay(), (CalendarDay{2024, 2, 11}));
    EXPECT_TRUE(library.isMediaExistByDate(2024, 2, 12));  // still marked until the next scan
    library.rebuildPlaylist(defaults);
    EXPECT_THAT(pathsOf(library.playlist(), card), ElementsAre("/MOVI0010.MP4", "/MOVI0011.MP4"));
    EXPECT_EQ(library.videoLib().size(), 3u);
    EXPECT_TRUE(library.isAllMediaExist());
    EXPECT_EQ(library.getFilePathInPlaylist(1), card + "/MOVI0011.MP4");
    library.clearPlayList();
    EXPECT_FALSE(library.isAllMediaExist());  // an empty playlist is never "all there"
}

TEST(VideoLibrary, PartnerSearchLooksAtTheTwoNeighboursOnly) {
    VideoLibrary library;
    for (const char* path : {"/c/NormalF/FILE0001F.MP4", "/c/NormalR/FILE0001R.MP4", "/c/NormalF/FILE0002F.MP4",
                             "/c/Other/PARK0001.MP4", "/c/NormalR/FILE0002R.MP4",  // two places on: not found
                             "/c/NormalF/FILE0003f.MP4", "/c/NormalR/FILE0003R.MP4"})  // the rear looks for "F"
        library.insertObject(AMediaFile::mediaFileWithURLDate(path, {}), library.playlist().size());
    const std::int32_t partners[] = {-1, 1, 0, -1, -1, -1, 6, -1, -1};  // of the places -1 to 7
    for (std::int32_t i = -1; i <= 7; ++i) EXPECT_EQ(library.getAnotherCameraFile(i), partners[i + 1]) << i;
    EXPECT_EQ(library.checkDualCameraFileType(1), kCameraRear);
    EXPECT_EQ(library.checkDualCameraFileType(3), kCameraNone);
    EXPECT_EQ(library.checkDualCameraFileType(7), kCameraNone);  // past the end
}

TEST(VideoLibrary, UnlistableFolderIsSkippedAndLogged) {
    TempHome home;
    // The unprivileged child must reach the card and write the log.
    ASSERT_EQ(::chmod(home.path().c_str(), 0755), 0);
    ASSERT_EQ(::chmod(home.documents().c_str(), 0777), 0);
    const std::string card = home.path() + "/card";
    writeRecording(card + "/open/FILE0001.MP4", localTime(2024, 1, 1, 8));
    writeRecording(card + "/locked/FILE0002.MP4", localTime(2024, 1, 1, 9));
    ASSERT_EQ(::chmod((card + "/locked").c_str(), ::geteuid() == 0 ? 0700 : 0000), 0);
    const int result = runInChild(
        [&] {
            VideoLibrary library;
            library.searchFolder(card);
            return pathsOf(library.videoLib(), card) == std::vector<std::string>{"/open/FILE0001.MP4"} ? 0 : 1;
        },
        /*dropPrivileges=*/::geteuid() == 0);
    EXPECT_EQ(result, 0);
    const auto messages = logMessages();
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_TRUE(messages[0].starts_with("AppDelegate::searchFolder - cannot list the folder - " + card + "/locked - "))
        << messages[0];
    ::chmod((card + "/locked").c_str(), 0700);
}

TEST(VideoLibrary, BuildRunsItsStepsInOrderAndLogsThem) {
    TempHome home;
    const std::string card = home.path() + "/card";
    writeRecording(card + "/F/FILE0001F.MP4", localTime(2024, 8, 1, 8));
    writeRecording(card + "/R/FILE0001R.MP4", localTime(2024, 8, 1, 8));
    writeRecording(card + "/EMER0001.MP4", localTime(2024, 8, 2, 8));
    VideoLibrary library;
    LoggingClient client;
    EXPECT_TRUE(library.buildVideoLibrary(card, client));
    // A second scan replaces the library whole; a missing folder gives none and names no day.
    library.buildVideoLibrary(home.path() + "/no such card", client);
    EXPECT_TRUE(library.videoLib().empty());
    const std::string build = "AppDelegate::buildVideoLibrary - ", rebuild = "AppDelegate::rebuildPlaylist - ";
    const std::vector<std::string> steps = {
        build + "Start! - " + card, "pmStartWait()", "> runScan", "> startMonitorFolder " + card,
        build + "found video count = 3, bOK = 1", "> videoLibIsReady", "> setActivateDay 2024-8-2",
        rebuild + "Start - Ready to call setCurPlaylistIndex:-1", "> closePlayers",
        rebuild + "Ready to check if a video exist", "> playlistFilter", "> playlistRebuilt 2",
        rebuild + "video count = 2", "pmEndWait()", build + "End !"};
    const auto messages = logMessages();
    ASSERT_GE(messages.size(), steps.size());
    EXPECT_EQ(std::vector<std::string>(messages.begin(), messages.begin() + steps.size()), steps);
    EXPECT_EQ(std::count(messages.begin(), messages.end(), "> setActivateDay 2024-8-2"), 1);
}
