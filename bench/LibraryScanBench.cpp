// The scan of a memory card: folder walk, both probes, dates, date sort and playlist, on cards of
// 1,000, 10,000 and 50,000 recordings made here (real AVI and MP4 headers, sparse bodies), with a
// warm file cache. Counters give the bytes and read calls per recording; the probes are timed alone.
//
//   library_bench --make-card DIR N   writes a card of N recordings and exits (for strace -c runs)
#include "Utility/FileReader.h"
#include "Utility/UserFolders.h"
#include "library/ContainerProbe.h"
#include "library/VideoLibrary.h"
#include "support/ContainerBuilder.h"

#include <benchmark/benchmark.h>
#include <sys/stat.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <map>
#include <string>

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
