// The scan of a memory card: folder walk, both probes, dates, date sort and playlist, on cards of
// 1,000, 10,000 and 50,000 recordings made here (real AVI and MP4 headers, sparse bodies), with a
// warm file cache. Counters give the bytes and read calls per recording; the probes are timed alone.
// The scan in this process, and `cartena scan --json` as a process, are each set against the least
// a scan of the card must do, timed in turn with it: list the folders, and per file open, fstat,
// read 2 KiB and close.
//
//   library_bench --make-card DIR N   writes a card of N recordings and exits (for strace -c runs)
#include "Utility/FileReader.h"
#include "Utility/UserFolders.h"
#include "library/ContainerProbe.h"
#include "library/VideoLibrary.h"
#include "support/ContainerBuilder.h"

#include <benchmark/benchmark.h>
#include <dirent.h>
#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <functional>
#include <map>
#include <string>

extern char** environ;

namespace {

std::string gRoot;  // everything the benchmark writes, removed at exit

// A card laid out as cameras do: front and rear folders of normal and event recordings, MP4 for
// the front camera's normal recordings, AVI for the rest, 500 to a folder; pairs share a time.
void makeCard(const std::string& card, int recordings) {
    containers::Mp4Options mp4;
    mp4.mediaBytes = 30u << 20;  // moov after 30 MiB of (sparse) media data
    const containers::FileImage mp4Image = containers::mp4Image(mp4);
    containers::AviOptions avi;
    avi.size = 20u << 20;
    const containers::FileImage aviImage = containers::aviImage(avi);

    const char* folders[] = {"NormalF", "NormalR", "EventF", "EventR"};
    const std::time_t start = 1'700'000'000;
    for (int i = 0; i < recordings; ++i) {
        const int pair = i / 2;
        const bool rear = i % 2 == 1;
        const bool event = pair % 5 == 4;
        const char* folder = folders[(event ? 2 : 0) + (rear ? 1 : 0)];
        const std::string dir = card + "/DCIM/" + folder + "/" + std::to_string(pair / 500);
        std::filesystem::create_directories(dir);
        char name[32];
        std::snprintf(name, sizeof name, "%s%04d%c.%s", event ? "EVEN" : "FILE", pair % 10000, rear ? 'R' : 'F',
                      (!event && !rear) ? "MP4" : "AVI");
        const std::string path = dir + "/" + name;
        containers::writeImage(path, (!event && !rear) ? mp4Image : aviImage);
        const struct timespec times[2] = {{start + pair * 60, 0}, {start + pair * 60, 0}};
        ::utimensat(AT_FDCWD, path.c_str(), times, 0);
    }
}

const std::string& cardOf(int recordings) {
    static std::map<int, std::string> cards;
    auto found = cards.find(recordings);
    if (found == cards.end()) {
        const std::string card = gRoot + "/card" + std::to_string(recordings);
        makeCard(card, recordings);
        found = cards.emplace(recordings, card).first;
    }
    return found->second;
}

void scanCard(benchmark::State& state) {
    const int recordings = static_cast<int>(state.range(0));
    const std::string& card = cardOf(recordings);
    VideoLibraryClient headless;
    {
        VideoLibrary warmUp;  // fills the file cache
        warmUp.buildVideoLibrary(card, headless);
        if (warmUp.playlist().size() != static_cast<std::size_t>(recordings)) state.SkipWithError("card incomplete");
    }
    FileReader::resetTotals();
    for (auto _ : state) {
        VideoLibrary library;
        library.buildVideoLibrary(card, headless);
        benchmark::DoNotOptimize(library.playlist().data());
    }
    const double scanned = double(recordings) * double(state.iterations());
    state.counters["bytes/rec"] = double(FileReader::totalBytesRead()) / scanned;
    state.counters["reads/rec"] = double(FileReader::totalReadCalls()) / scanned;
    state.SetComplexityN(recordings);
}

// Lists the folders below `folder` and reads the head of every file: the least a scan does.
std::size_t readHeads(const std::string& folder) {
    std::size_t files = 0;
    DIR* dir = ::opendir(folder.c_str());
    if (!dir) return 0;
    while (const dirent* entry = ::readdir(dir)) {
        const std::string name = entry->d_name;
        if (name == "." || name == "..") continue;
        const std::string path = folder + "/" + name;
        if (entry->d_type == DT_DIR) {
            files += readHeads(path);
            continue;
        }
        const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
        if (fd < 0) continue;
        struct stat st {};
        char head[2048];
        if (::fstat(fd, &st) == 0 && ::pread(fd, head, sizeof head, 0) > 0) ++files;
        ::close(fd);
    }
    ::closedir(dir);
    return files;
}

// Wall-clock and processor time: on a machine shared with other work the processor time is the
// steadier measure.
struct Cost {
    double wall = 0, cpu = 0;
    Cost& operator+=(const Cost& other) {
        wall += other.wall;
        cpu += other.cpu;
        return *this;
    }
};

// Of every thread of this process: the scan probes on several.
double processCpuSeconds() {
    timespec now {};
    ::clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return double(now.tv_sec) + double(now.tv_nsec) * 1e-9;
}

// The cost of `work` run in this process; `work` adds the processor time of any process it ran.
Cost costOf(const std::function<void(Cost&)>& work) {
    Cost cost;
    const auto start = std::chrono::steady_clock::now();
    const double cpuStart = processCpuSeconds();
    work(cost);
    cost.cpu += processCpuSeconds() - cpuStart;
    cost.wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    return cost;
}

// Runs `cartena scan --json` on the card, its output thrown away, and adds its processor time;
// false when it failed.
bool runCartenaScan(const std::string& card, Cost& cost) {
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    const char* argv[] = {CARTENA_PROGRAM, "scan", "--json", card.c_str(), nullptr};
    pid_t pid = 0;
    const bool spawned =
        posix_spawn(&pid, CARTENA_PROGRAM, &actions, nullptr, const_cast<char* const*>(argv), environ) == 0;
    posix_spawn_file_actions_destroy(&actions);
    int status = 0;
    rusage usage {};
    if (!spawned || ::wait4(pid, &status, 0, &usage) != pid) return false;
    cost.cpu += double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
                double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) * 1e-6;
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

// `scan` against the least a scan does, timed in turn in every iteration; the time shown is the
// scan's wall-clock time, the counters its ratios to the plain loop.
void versusPlainLoop(benchmark::State& state, const std::function<bool(const std::string&, Cost&)>& scan) {
    const int recordings = static_cast<int>(state.range(0));
    const std::string& card = cardOf(recordings);
    Cost warmUp;
    if (readHeads(card) != static_cast<std::size_t>(recordings) || !scan(card, warmUp))
        state.SkipWithError("card unreadable");
    Cost scanned, looped;
    for (auto _ : state) {
        bool ok = true;
        const Cost once = costOf([&](Cost& cost) { ok = scan(card, cost); });
        looped += costOf([&](Cost&) { benchmark::DoNotOptimize(readHeads(card)); });
        scanned += once;
        state.SetIterationTime(once.wall);
        if (!ok) state.SkipWithError("scan failed");
    }
    state.counters["plain_loop_ms"] = looped.wall * 1000 / double(state.iterations());
    state.counters["wall_ratio"] = scanned.wall / looped.wall;
    state.counters["cpu_ratio"] = scanned.cpu / looped.cpu;
}

void scanVersusPlainLoop(benchmark::State& state) {
    VideoLibraryClient headless;
    versusPlainLoop(state, [&](const std::string& card, Cost&) {
        VideoLibrary library;
        library.buildVideoLibrary(card, headless);
        return library.playlist().size() == static_cast<std::size_t>(state.range(0));
    });
}

void cartenaScanJsonVersusPlainLoop(benchmark::State& state) { versusPlainLoop(state, runCartenaScan); }

void probe(benchmark::State& state, bool mp4) {
    const std::string& card = cardOf(1000);
    const std::string path = card + (mp4 ? "/DCIM/NormalF/0/FILE0000F.MP4" : "/DCIM/NormalR/0/FILE0000R.AVI");
    for (auto _ : state) {
        const bool ok = mp4 ? pmIsMovCodecReady(path) : pmIsAviCodecReady(path);
        if (!ok) state.SkipWithError("probe rejected its file");
        benchmark::DoNotOptimize(ok);
    }
}

void probeMp4(benchmark::State& state) { probe(state, true); }
void probeAvi(benchmark::State& state) { probe(state, false); }

}  // namespace

BENCHMARK(scanCard)->Arg(1000)->Arg(10000)->Arg(50000)->Unit(benchmark::kMillisecond)->Complexity(benchmark::oN);
BENCHMARK(scanVersusPlainLoop)->Arg(10000)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(cartenaScanJsonVersusPlainLoop)->Arg(10000)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(probeMp4);
BENCHMARK(probeAvi);

int main(int argc, char** argv) {
    if (argc == 4 && std::strcmp(argv[1], "--make-card") == 0) {
        makeCard(argv[2], std::atoi(argv[3]));
        return 0;
    }
    std::string pattern = (std::filesystem::temp_directory_path() / "cartena-bench-XXXXXX").string();
    if (!mkdtemp(pattern.data())) return 1;
    gRoot = pattern;
    // The scan writes its log lines into a throw-away home, not the user's log.
    std::filesystem::create_directories(gRoot + "/home/Documents");
    setenv("HOME", (gRoot + "/home").c_str(), 1);
    pmReloadUserFolders();

    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    std::filesystem::remove_all(gRoot);
    return 0;
}
