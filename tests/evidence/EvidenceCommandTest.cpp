// `cartena evidence` as a user runs it, its package checked with other programs: sha256sum, ffprobe,
// gpsbabel and poppler's pdftotext and pdftoppm.
#include "outputs/GpxSave.h"
#include "support/RunCommand.h"
#include "support/SampleCardFixture.h"
#include "support/TempHome.h"
#include "telemetry/TelemetryLoader.h"
#include "tests/evidence/EvidenceTestMedia.h"

#include <gtest/gtest.h>

#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>

#include <chrono>
#include <filesystem>
#include <sstream>
#include <thread>

extern char** environ;

namespace {

namespace fs = std::filesystem;

CommandResult evidence(const std::vector<std::string>& arguments) {
    std::vector<std::string> argv = {builtProgram("cli/cartena"), "evidence"};
    argv.insert(argv.end(), arguments.begin(), arguments.end());
    return runCommand(argv);
}

std::string sha256sum(const std::string& path) { return runCommand({"sha256sum", path}).out.substr(0, 64); }

// The names of every file below the folder, relative to it.
std::vector<std::string> filesIn(const std::string& folder) {
    std::vector<std::string> files;
    for (const auto& entry : fs::recursive_directory_iterator(folder))
        if (entry.is_regular_file()) files.push_back(fs::relative(entry.path(), folder).string());
    std::sort(files.begin(), files.end());
    return files;
}

class EvidenceCommand : public ::testing::Test {
protected:
    void setLanguage(int id) {
        fs::create_directories(home.configHome() + "/cartena-manager");
        writeFile(home.configHome() + "/cartena-manager/settings.json", "{\"LANGUAGE_ID\": " + std::to_string(id) + "}");
    }
    std::string card(const char* name) const { return sampleCardPath(sampleCardEntry(name)); }

    TempHome home;
};

TEST_F(EvidenceCommand, APackageOfAPairHoldsShownEqualOriginalsAClipTracksAndAReportInEachLanguage) {
    const std::string front = card("EVEN0001F.MP4"), rear = card("EVEN0001R.MP4");
    const std::vector<std::string> sources = {front, rear, sampleCardFolder() + "/DCIM/NMEA/EVEN0001F.nmea",
                                              sampleCardFolder() + "/DCIM/NMEA/EVEN0001R.NMEA"};
    for (int language : {0, 1}) {
        setLanguage(language);
        const std::string package = home.path() + "/package" + std::to_string(language);
        const CommandResult made = evidence({front, "-o", package});
        ASSERT_EQ(made.exitCode, 0) << made.err;
        EXPECT_NE(made.out.find("second 7 (event second), front and rear"), std::string::npos) << made.out;

        // SHA256SUMS: what sha256sum itself checks, its own digest printed last, and the
        // originals' lines equal to sha256sum of the card's files.
        const std::string sums = readFile(package + "/SHA256SUMS");
        EXPECT_EQ(made.out.substr(made.out.size() - 77), sha256sum(package + "/SHA256SUMS") + "  SHA256SUMS\n");
        const CommandResult check = runCommand({"sh", "-c", "cd \"$0\" && sha256sum -c SHA256SUMS", package});
        EXPECT_EQ(check.exitCode, 0) << check.out << check.err;
        std::vector<std::string> listed = filesIn(package);
        std::erase(listed, "SHA256SUMS");
        for (const std::string& file : listed) EXPECT_NE(sums.find("  " + file + "\n"), std::string::npos) << file;
        EXPECT_EQ(listed, (std::vector<std::string>{"clip.mp4", "originals/EVEN0001F.MP4", "originals/EVEN0001F.nmea",
                                                    "originals/EVEN0001R.MP4", "originals/EVEN0001R.NMEA", "report.pdf",
                                                    "track.gpx", "track.kml"}));

        const std::string report = runCommand({"pdftotext", package + "/report.pdf", "-"}).out;
        for (const std::string& source : sources) {
            const std::string copy = package + "/originals/" + fs::path(source).filename().string();
            const std::string digest = sha256sum(source);
            EXPECT_NE(sums.find(digest + "  originals/" + fs::path(source).filename().string()), std::string::npos);
            EXPECT_NE(report.find(digest), std::string::npos) << source;
            EXPECT_EQ(readFile(copy), readFile(source)) << source;
            struct stat original {}, copied {};
            ASSERT_EQ(::stat(source.c_str(), &original), 0);
            ASSERT_EQ(::stat(copy.c_str(), &copied), 0);
            EXPECT_EQ(copied.st_mode, original.st_mode) << source;
            EXPECT_EQ(copied.st_mtim.tv_sec, original.st_mtim.tv_sec) << source;
            EXPECT_EQ(copied.st_mtim.tv_nsec, original.st_mtim.tv_nsec) << source;
        }
        const char* title = language == 0 ? "Evidence package" : "證據包";
        EXPECT_NE(report.find(title), std::string::npos) << report;
        const std::string png = std::string(CARTENA_BUILD_DIR) + "/screenshots/evidence-report-" +
                                (language == 0 ? "English" : "TraditionalChinese");
        fs::create_directories(std::string(CARTENA_BUILD_DIR) + "/screenshots");
        EXPECT_EQ(runCommand({"pdftoppm", "-r", "110", "-png", "-singlefile", package + "/report.pdf", png}).exitCode, 0);
        const std::string info = runCommand({"pdfinfo", package + "/report.pdf"}).out;
        EXPECT_NE(info.find("Pages:           1\n"), std::string::npos) << info;
    }
    const std::string package = home.path() + "/package0";
    // The whole recording (15 s): the moment at 7 s, 15 s either side, clamped.
    EXPECT_NEAR(ffprobeNumber(package + "/clip.mp4", "v:0", "format=duration"), 15.0, 1.0 / 20);
    // gpsbabel reads the track back: one point per second with a position.
    GpsList list;
    pmLoadTelemetryFromFile(front, list);
    const long positioned = std::count_if(list.gpslist().begin(), list.gpslist().end(),
                                          [](const GpsData& sample) { return sample.hasPosition(); });
    const CommandResult gps =
        runCommand({"gpsbabel", "-t", "-i", "gpx", "-f", package + "/track.gpx", "-o", "unicsv", "-F", "-"});
    ASSERT_EQ(gps.exitCode, 0) << gps.err;
    EXPECT_EQ(std::count(gps.out.begin(), gps.out.end(), '\n'), positioned + 1);  // a header line
    EXPECT_GT(positioned, 10);
}

TEST_F(EvidenceCommand, AChosenMomentClampsTheClipAndWhatCannotBeMadeIsRefusedLeavingEverythingAsItWas) {
    const std::string package = home.path() + "/package";
    const CommandResult made = evidence({card("EVEN0001F.MP4"), "-o", package, "--at", "2", "--before", "5", "--after", "3"});
    ASSERT_EQ(made.exitCode, 0) << made.err;
    // [0, 6): the start clamped.
    EXPECT_NEAR(ffprobeNumber(package + "/clip.mp4", "v:0", "format=duration"), 6.0, 1.0 / 20);

    const auto before = filesIn(home.path());
    const std::string front = card("EVEN0001F.MP4"), other = home.path() + "/other";
    const std::tuple<std::vector<std::string>, int, const char*> refusals[] = {
        {{"evidence", front, "-o", package}, 1, "already exists"},
        {{"evidence", front, "-o", other, "--at", "15"}, 1, "Second 15 is not in the recording"},
        {{"evidence", card("CARDINFO.TXT"), "-o", other}, 1, "not a recording"},
        {{"evidence", front, "-o", other, "--before", "nan"}, 2, "expected a number of seconds"},
        {{"evidence", front, "-o", home.path() + "/missing/other"}, 1, "could not be written"},
    };
    for (const auto& [args, exitCode, says] : refusals) expectCartenaAnswer(args, exitCode, "", says);
    EXPECT_EQ(filesIn(home.path()), before);
}

TEST_F(EvidenceCommand, ARecordingWithoutTelemetryGivesTheShorterPackageAndTheReportSaysSo) {
    const std::string package = home.path() + "/package";
    const CommandResult made = evidence({card("FILE0150.MP4"), "-o", package});
    ASSERT_EQ(made.exitCode, 0) << made.err;
    EXPECT_NE(made.out.find("(middle of the recording), one camera, no telemetry"), std::string::npos) << made.out;
    EXPECT_EQ(filesIn(package),
              (std::vector<std::string>{"SHA256SUMS", "clip.mp4", "originals/FILE0150.MP4", "report.pdf"}));
    const std::string report = runCommand({"pdftotext", "-raw", package + "/report.pdf", "-"}).out;
    EXPECT_NE(report.find("The recording has no telemetry"), std::string::npos) << report;
}

// Ctrl-C while the clip is encoded: the command says so, exits with 130 and leaves neither the
// package nor its hidden folder.
TEST_F(EvidenceCommand, CtrlCPartWayLeavesNothing) {
    const std::string package = home.path() + "/package";
    const std::string front = evidenceTestMedia() + "/" + evidenceFrontEntry().relativePath();
    std::vector<std::string> words = {builtProgram("cli/cartena"), "evidence", front, "-o", package};
    std::vector<char*> argv;
    for (std::string& word : words) argv.push_back(word.data());
    argv.push_back(nullptr);
    pid_t pid = 0;
    ASSERT_EQ(posix_spawn(&pid, argv[0], nullptr, nullptr, argv.data(), environ), 0);
    // Wait for the clip to be under way in the hidden folder beside the target.
    bool encoding = false;
    for (int i = 0; i < 600 && !encoding; ++i) {
        for (const auto& entry : fs::directory_iterator(home.path()))
            encoding = encoding || fs::exists(entry.path() / "clip.mp4");
        if (!encoding) std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    EXPECT_TRUE(encoding);
    ::kill(pid, SIGINT);
    int status = 0;
    ASSERT_EQ(::waitpid(pid, &status, 0), pid);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 130) << status;
    EXPECT_FALSE(fs::exists(package));
    for (const auto& entry : fs::directory_iterator(home.path()))
        EXPECT_NE(entry.path().filename().string().rfind(".package", 0), 0u) << entry.path();
}

}  // namespace
