#include "Utility/WaitingIndicator.h"
#include "library/VideoLibrary.h"
#include "LibraryTestFiles.h"
#include "support/ChildProcess.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>

using namespace librarytest;
using containers::Mp4Options;
using ::testing::ElementsAre;
using ::testing::ElementsAreArray;
using ::testing::UnorderedElementsAreArray;

namespace {

std::vector<std::string> pathsOf(const std::vector<AMediaFile>& entries, const std::string& root = {}) {
    std::vector<std::string> paths;
    for (const auto& entry : entries)
        paths.push_back(entry.URL().rfind(root, 0) == 0 ? entry.URL().substr(root.size()) : entry.URL());
    return paths;
}

// The scan's view of the outside world, recorded.
class RecordingClient : public VideoLibraryClient {
public:
    std::vector<std::string> calls;
    PlaylistFilter filter;
    std::vector<AMediaFile> handedPlaylist;

    void runScan(const std::function<void()>& walk) override {
        calls.push_back("runScan");
        walk();
    }
    void startMonitorFolder(const std::string& folder) override { calls.push_back("startMonitorFolder " + folder); }
    void videoLibIsReady() override { calls.push_back("videoLibIsReady"); }
    void setActivateDay(int year, int month, int day) override {
        calls.push_back("setActivateDay " + std::to_string(year) + "-" + std::to_string(month) + "-" +
                        std::to_string(day));
    }
    void closePlayers() override { calls.push_back("closePlayers"); }
    PlaylistFilter playlistFilter() override {
        calls.push_back("playlistFilter");
        return filter;
    }
    void playlistRebuilt(const std::vector<AMediaFile>& playlist) override {
        calls.push_back("playlistRebuilt " + std::to_string(playlist.size()));
        handedPlaylist = playlist;
    }
};

class CountingPresenter : public WaitingPresenter {
public:
    int shown = 0, ended = 0;
    void showWaitingWindow() override { ++shown; }
    void endWaitingWindow() override { ++ended; }
};

}  // namespace

TEST(VideoLibrary, ScanFindsPlayableRecordingsAtAnyDepthAndKeepsScanOrder) {
    TempHome home;
    const std::string card = home.path() + "/card";
    // Dates run against the names so that a sorted library would show.
    writeMp4(card + "/DCIM/NormalF/FILE0001F.MP4", localTime(2024, 5, 3, 10));
    writeMp4(card + "/DCIM/NormalR/FILE0001R.MP4", localTime(2024, 5, 3, 10));
    writeAvi(card + "/DCIM/Event/EMER0001.AVI", localTime(2024, 5, 2, 9));
    writeAvi(card + "/DCIM/Event/EVEN0002.avi", localTime(2024, 5, 1, 8), "MJPG");
    writeMp4(card + "/.hidden/deep/er/still/PARK0001.MOV", localTime(2024, 4, 30, 7));
    writeMp4(card + "/a folder.MP4/FILE0009.MP4", localTime(2024, 4, 29, 6));  // a folder, entered
    // Left out: wrong codec, audio first, too short, not a video, too small, cut short.
    writeAvi(card + "/DCIM/Event/EVEN0003.AVI", localTime(2024, 5, 1, 8), "XVID");
    Mp4Options audioFirst;
    audioFirst.audioFirst = true;
    writeMp4(card + "/DCIM/NormalF/FILE0002F.MP4", localTime(2024, 5, 3, 11), audioFirst);
    Mp4Options tooShort;
    tooShort.duration = 150;
    writeMp4(card + "/DCIM/NormalF/FILE0003F.MP4", localTime(2024, 5, 3, 12), tooShort);
    writeFile(card + "/DCIM/NormalF/FILE0001F.log", "$GPRMC\n");
    writeFile(card + "/DCIM/tiny.mp4", std::string(2048, 'x'));
    Mp4Options cut;
    cut.withMoov = false;
    writeMp4(card + "/DCIM/NormalF/FILE0004F.MP4", localTime(2024, 5, 3, 13), cut);
    std::filesystem::create_directories(card + "/empty");

    VideoLibrary library;
    library.searchFolder(card);
    const std::vector<std::string> found = pathsOf(library.videoLib(), card);
    EXPECT_THAT(found, UnorderedElementsAreArray({"/DCIM/NormalF/FILE0001F.MP4", "/DCIM/NormalR/FILE0001R.MP4",
                                                  "/DCIM/Event/EMER0001.AVI", "/DCIM/Event/EVEN0002.avi",
                                                  "/.hidden/deep/er/still/PARK0001.MOV",
                                                  "/a folder.MP4/FILE0009.MP4"}));
    // Depth first: the two files of DCIM/Event are next to each other whatever the listing order.
    const auto event = std::find(found.begin(), found.end(), "/DCIM/Event/EMER0001.AVI");
    const auto event2 = std::find(found.begin(), found.end(), "/DCIM/Event/EVEN0002.avi");
    EXPECT_EQ(std::abs(event - event2), 1);
    // The dates are the files' own.
    for (const auto& entry : library.videoLib()) EXPECT_EQ(entry.fileDate(), pmGetFileDate(entry.URL()));

    // Rebuilding sorts a copy; the library stays in scan order.
    const std::vector<AMediaFile> scanned = library.videoLib();
    VideoLibraryClient defaults;
    library.rebuildPlaylist(defaults);
    EXPECT_EQ(library.videoLib(), scanned);
    EXPECT_THAT(pathsOf(library.playlist(), card),
                ElementsAre("/a folder.MP4/FILE0009.MP4", "/.hidden/deep/er/still/PARK0001.MOV",
                            "/DCIM/Event/EVEN0002.avi", "/DCIM/Event/EMER0001.AVI", ::testing::_, ::testing::_));
}

TEST(VideoLibrary, DateSortIsStableSoEqualDatesKeepScanOrder) {
    TempHome home;
    const FileDate early = pmFileDateFromUnix(localTime(2024, 6, 1, 8), 5);
    const FileDate late = pmFileDateFromUnix(localTime(2024, 6, 1, 9));
    std::vector<AMediaFile> entries;
    for (const char* name : {"/R/FILE0001R.MP4", "/F/FILE0002F.MP4", "/F/FILE0001F.MP4", "/X/FILE0003.MP4",
                             "/R/FILE0002R.MP4"}) {
        const std::string path = makeParents(home.path() + name);
        writeFile(path, "x");
        const bool isLate = std::string(name).find("0002") != std::string::npos;
        entries.push_back(AMediaFile::mediaFileWithURLDate(path, isLate ? late : early));
    }
    VideoLibrary library;
    library.setVideoLib(entries);
    const std::vector<std::string> expected = {"/R/FILE0001R.MP4", "/F/FILE0001F.MP4", "/X/FILE0003.MP4",
                                               "/F/FILE0002F.MP4", "/R/FILE0002R.MP4"};
    EXPECT_THAT(pathsOf(library.sortByFileDate(), home.path()), ElementsAreArray(expected));

    VideoLibraryClient defaults;
    library.rebuildPlaylist(defaults);
    EXPECT_THAT(pathsOf(library.playlist(), home.path()), ElementsAreArray(expected));
    // Enough entries that an unstable sort would show: odd ones early, even ones late, each group
    // in scan order.
    std::vector<AMediaFile> many;
    std::vector<std::string> manyExpected;
    for (int i = 0; i < 40; ++i)
        many.push_back(AMediaFile::mediaFileWithURLDate("/tie/" + std::to_string(i), i % 2 ? early : late));
    for (int i = 1; i < 40; i += 2) manyExpected.push_back("/tie/" + std::to_string(i));
    for (int i = 0; i < 40; i += 2) manyExpected.push_back("/tie/" + std::to_string(i));
    VideoLibrary ties;
    ties.setVideoLib(many);
    EXPECT_THAT(pathsOf(ties.sortByFileDate()), ElementsAreArray(manyExpected));

    EXPECT_EQ(library.videoLib(), entries);
    // The pair of 08:00 is adjacent in scan order and found; the pair of 09:00 too.
    EXPECT_EQ(library.getAnotherCameraFile(0), 1);
    EXPECT_EQ(library.getAnotherCameraFile(3), 4);
}

TEST(VideoLibrary, DayAndTypeFiltersFollowTheKeepRule) {
    TempHome home;
    const std::string card = home.path() + "/card";
    writeMp4(card + "/FILE0001.MP4", localTime(2024, 3, 1, 23, 50));
    writeMp4(card + "/EMER0001.MP4", localTime(2024, 3, 2, 0, 10));  // the next day in local time only
    writeMp4(card + "/PARK0001.MP4", localTime(2024, 3, 2, 8));
    writeAvi(card + "/MOVI0001.AVI", localTime(2024, 3, 2, 9));
    ASSERT_EQ(::chmod((card + "/MOVI0001.AVI").c_str(), 0444), 0);  // protected: an event
    writeAvi(card + "/BP0001.AVI", localTime(2024, 3, 3, 9));

    VideoLibrary library;
    library.searchFolder(card);
    ASSERT_EQ(library.videoLib().size(), 5u);
    struct Case {
        bool allFile;
        int day;
        bool normal, event, parking;
        std::vector<std::string> kept;
    };
    const Case cases[] = {
        {true, 0, true, true, true, {"FILE0001.MP4", "EMER0001.MP4", "PARK0001.MP4", "MOVI0001.AVI", "BP0001.AVI"}},
        {true, 0, true, false, true, {"FILE0001.MP4", "PARK0001.MP4", "BP0001.AVI"}},
        {true, 0, false, true, true, {"EMER0001.MP4", "MOVI0001.AVI"}},
        {true, 0, true, true, false, {"FILE0001.MP4", "EMER0001.MP4", "PARK0001.MP4", "MOVI0001.AVI", "BP0001.AVI"}},
        {true, 0, false, false, true, {}},  // the parking box keeps nothing on its own
        {true, 0, false, false, false, {}},
        {false, 1, true, true, true, {"FILE0001.MP4"}},
        {false, 2, true, true, true, {"EMER0001.MP4", "PARK0001.MP4", "MOVI0001.AVI"}},
        {false, 2, true, false, true, {"PARK0001.MP4"}},
        {false, 4, true, true, true, {}},
    };
    for (const auto& c : cases) {
        PlaylistFilter filter{c.allFile, {2024, 3, c.day}, c.normal, c.event, c.parking};
        std::vector<std::string> kept;
        for (const auto& path : pathsOf(VideoLibrary::filterPlaylist(library.sortByFileDate(), filter), card + "/"))
            kept.push_back(path);
        EXPECT_EQ(kept, c.kept) << "all " << c.allFile << " day " << c.day << " boxes " << c.normal << c.event
                                << c.parking;
    }
}

TEST(VideoLibrary, VanishedFilesLeaveThePlaylistButStayInTheLibrary) {
    TempHome home;
    const std::string card = home.path() + "/card";
    writeMp4(card + "/FILE0001.MP4", localTime(2024, 2, 10, 8));
    writeMp4(card + "/FILE0002.MP4", localTime(2024, 2, 11, 8));
    writeMp4(card + "/FILE0003.MP4", localTime(2024, 2, 12, 8));

    VideoLibrary library;
    library.searchFolder(card);
    VideoLibraryClient defaults;
    library.rebuildPlaylist(defaults);
    EXPECT_TRUE(library.isAllMediaExist());
    EXPECT_EQ(library.lastVideoDay(), (CalendarDay{2024, 2, 12}));

    std::filesystem::remove(card + "/FILE0003.MP4");
    EXPECT_FALSE(library.isAllMediaExist());
    EXPECT_EQ(library.lastVideoDay(), (CalendarDay{2024, 2, 11}));
    EXPECT_TRUE(library.isMediaExistByDate(2024, 2, 12));  // still marked until the next scan
    EXPECT_FALSE(library.isMediaExistByDate(2024, 2, 13));

    library.rebuildPlaylist(defaults);
    EXPECT_THAT(pathsOf(library.playlist(), card), ElementsAre("/FILE0001.MP4", "/FILE0002.MP4"));
    EXPECT_EQ(library.videoLib().size(), 3u);
    EXPECT_TRUE(library.isAllMediaExist());
    EXPECT_EQ(library.getFilePathInPlaylist(1), card + "/FILE0002.MP4");
    EXPECT_EQ(library.getFilePathInPlaylist(2), std::nullopt);
    EXPECT_EQ(library.getFilePathInPlaylist(-1), std::nullopt);

    // An empty playlist is never "all there".
    library.clearPlayList();
    EXPECT_FALSE(library.isAllMediaExist());
}

TEST(VideoLibrary, DaysAreLocalCalendarDays) {
    TempHome home;
    // 00:30 local on 1 March is still 29 February in UTC.
    writeMp4(home.path() + "/FILE0001.MP4", localTime(2024, 3, 1, 0, 30));
    VideoLibrary library;
    library.searchFolder(home.path());
    ASSERT_EQ(library.videoLib().size(), 1u);
    EXPECT_TRUE(library.isMediaExistByDate(2024, 3, 1));
    EXPECT_FALSE(library.isMediaExistByDate(2024, 2, 29));
    EXPECT_EQ(library.lastVideoDay(), (CalendarDay{2024, 3, 1}));
}

TEST(VideoLibrary, LinksAreFollowedButNeverRoundACycle) {
    TempHome home;
    const std::string card = home.path() + "/card";
    writeMp4(card + "/A/FILE0001.MP4", localTime(2024, 1, 1, 8));
    ASSERT_EQ(::symlink("..", (card + "/A/up").c_str()), 0);    // back to the card
    ASSERT_EQ(::symlink(".", (card + "/A/self").c_str()), 0);   // to itself
    ASSERT_EQ(::symlink("A", (card + "/B").c_str()), 0);        // two links to one folder: both scanned
    ASSERT_EQ(::symlink(card.c_str(), (card + "/C").c_str()), 0);  // absolute, to the card itself
    ASSERT_EQ(::symlink("A/FILE0001.MP4", (card + "/E.MP4").c_str()), 0);  // a link to a recording
    ASSERT_EQ(::symlink("nowhere.MP4", (card + "/D.MP4").c_str()), 0);     // dangling: skipped
    ASSERT_EQ(::symlink("nowhere", (card + "/G").c_str()), 0);

    VideoLibrary library;
    library.searchFolder(card);
    EXPECT_THAT(pathsOf(library.videoLib(), card),
                UnorderedElementsAreArray({"/A/FILE0001.MP4", "/B/FILE0001.MP4", "/E.MP4"}));
    EXPECT_TRUE(logMessages().empty());
}

TEST(VideoLibrary, LinkedScanRootIsWalkedOnce) {
    TempHome home;
    writeMp4(home.path() + "/real/FILE0001.MP4", localTime(2024, 1, 1, 8));
    ASSERT_EQ(::symlink("..", (home.path() + "/real/up").c_str()), 0);
    ASSERT_EQ(::symlink("real", (home.path() + "/card").c_str()), 0);
    VideoLibrary library;
    library.searchFolder(home.path() + "/card/");
    // Entered through the link, the card's folders are still known as parents; a trailing slash
    // does not double the separator.
    EXPECT_THAT(pathsOf(library.videoLib()), ElementsAre(home.path() + "/card/FILE0001.MP4"));
}

TEST(VideoLibrary, UnlistableFolderIsSkippedAndLogged) {
    TempHome home;
    // The unprivileged child must reach the card and write the log.
    ASSERT_EQ(::chmod(home.path().c_str(), 0755), 0);
    ASSERT_EQ(::chmod(home.documents().c_str(), 0777), 0);
    const std::string card = home.path() + "/card";
    writeMp4(card + "/open/FILE0001.MP4", localTime(2024, 1, 1, 8));
    writeMp4(card + "/locked/FILE0002.MP4", localTime(2024, 1, 1, 9));
    ASSERT_EQ(::chmod((card + "/locked").c_str(), 0700), 0);

    const bool asRoot = ::geteuid() == 0;
    if (!asRoot) {
        ASSERT_EQ(::chown((card + "/locked").c_str(), ::geteuid(), ::getegid()), 0);
        ASSERT_EQ(::chmod((card + "/locked").c_str(), 0000), 0);
    }
    const int result = runInChild(
        [&] {
            VideoLibrary library;
            library.searchFolder(card);
            if (library.videoLib().size() != 1) return 10 + static_cast<int>(library.videoLib().size());
            return library.videoLib()[0].URL() == card + "/open/FILE0001.MP4" ? 0 : 2;
        },
        asRoot);
    EXPECT_EQ(result, 0);
    const auto messages = logMessages();
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].rfind("AppDelegate::searchFolder - cannot list the folder - " + card + "/locked - ", 0),
              0u)
        << messages[0];
    ::chmod((card + "/locked").c_str(), 0700);
}

TEST(VideoLibrary, RecordingThatVanishesAfterListingIsLeftOut) {
    TempHome home;
    const std::string card = home.path() + "/card";
    writeMp4(card + "/FILE0001.MP4", localTime(2024, 1, 1, 8));
    writeMp4(card + "/FILE0002.MP4", localTime(2024, 1, 1, 9));
    writeMp4(card + "/sub/FILE0003.MP4", localTime(2024, 1, 1, 10));

    VideoLibrary library;
    std::vector<std::string> listed;
    library.setListingHook([&](const std::string& folder, const std::vector<std::string>& names) {
        if (folder != card) return;
        listed = names;
        std::filesystem::remove(card + "/FILE0002.MP4");
        std::filesystem::remove_all(card + "/sub");
    });
    library.searchFolder(card);
    EXPECT_THAT(listed, UnorderedElementsAreArray({"FILE0001.MP4", "FILE0002.MP4", "sub"}));
    EXPECT_THAT(pathsOf(library.videoLib(), card), ElementsAre("/FILE0001.MP4"));
    EXPECT_TRUE(logMessages().empty());
}

TEST(VideoLibrary, BuildRunsItsStepsInOrderAndLogsThem) {
    TempHome home;
    const std::string card = home.path() + "/card";
    writeMp4(card + "/F/FILE0001F.MP4", localTime(2024, 8, 1, 8));
    writeMp4(card + "/R/FILE0001R.MP4", localTime(2024, 8, 1, 8));
    writeMp4(card + "/EMER0001.MP4", localTime(2024, 8, 2, 8));
    CountingPresenter presenter;
    pmSetWaitingPresenter(&presenter);

    VideoLibrary library;
    RecordingClient client;
    client.filter.showEvent = false;
    EXPECT_TRUE(library.buildVideoLibrary(card, client));
    pmSetWaitingPresenter(nullptr);

    EXPECT_THAT(client.calls, ElementsAre("runScan", "startMonitorFolder " + card, "videoLibIsReady",
                                          "setActivateDay 2024-8-2", "closePlayers", "playlistFilter",
                                          "playlistRebuilt 2"));
    EXPECT_EQ(client.handedPlaylist, library.playlist());
    EXPECT_EQ(presenter.shown, 1);
    EXPECT_EQ(presenter.ended, 1);
    EXPECT_THAT(logMessages(), ElementsAre("AppDelegate::buildVideoLibrary - Start! - " + card, "pmStartWait()",
                                           "AppDelegate::buildVideoLibrary - found video count = 3, bOK = 1",
                                           "AppDelegate::rebuildPlaylist - Start - Ready to call setCurPlaylistIndex:-1",
                                           "AppDelegate::rebuildPlaylist - Ready to check if a video exist",
                                           "AppDelegate::rebuildPlaylist - video count = 2", "pmEndWait()",
                                           "AppDelegate::buildVideoLibrary - End !"));

    // A second scan replaces the library whole.
    std::filesystem::remove_all(card + "/R");
    library.buildVideoLibrary(card, client);
    EXPECT_EQ(library.videoLib().size(), 2u);
}

TEST(VideoLibrary, EmptyOrMissingFolderGivesAnEmptyLibrary) {
    TempHome home;
    std::filesystem::create_directories(home.path() + "/card");
    RecordingClient client;
    VideoLibrary library;
    library.buildVideoLibrary(home.path() + "/card", client);
    EXPECT_TRUE(library.videoLib().empty());
    EXPECT_TRUE(library.playlist().empty());
    EXPECT_FALSE(library.isAllMediaExist());
    EXPECT_EQ(library.lastVideoDay(), std::nullopt);
    EXPECT_EQ(std::count_if(client.calls.begin(), client.calls.end(),
                            [](const std::string& call) { return call.rfind("setActivateDay", 0) == 0; }),
              0);

    library.searchFolder(home.path() + "/no such card");
    EXPECT_TRUE(library.videoLib().empty());
}
