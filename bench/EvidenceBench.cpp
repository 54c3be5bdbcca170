// The evidence package, in a release build:
// - the clip of a 1920 x 1080 front/rear pair at 30 a second, 30 s of it encoded at 720p (decoded,
//   scaled, the rear inset, the band drawn every second, H.264 veryfast): wall-clock time against
//   the 30 s of recording (the real-time factor) and the process's peak resident memory while it
//   runs (the peak is reset before);
// - the whole package of the sample card's event pair (15 s, both cameras, text logs), in this
//   process and as `cartena evidence` (a process of its own, start-up included).
#include "BenchMedia.h"
#include "evidence/EvidenceMediaMaker.h"
#include "outputs/EvidencePackage.h"
#include "telemetry/TelemetryLoader.h"

#include <benchmark/benchmark.h>

#include <QGuiApplication>

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>

extern "C" {
#include <libavutil/log.h>
}

extern char** environ;

namespace {

namespace fs = std::filesystem;

// The peak resident set (VmHWM) in MB, and its reset to the present size.
double peakResidentMegabytes() {
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);)
        if (line.rfind("VmHWM:", 0) == 0) return std::stod(line.substr(6)) / 1024.0;
    return 0.0;
}
void resetPeakResident() { std::ofstream("/proc/self/clear_refs") << "5"; }

std::string scratchFolder() {
    std::string pattern = (fs::temp_directory_path() / "cartena-evidence-bench-XXXXXX").string();
    return ::mkdtemp(pattern.data()) ? pattern : std::string();
}

// A 60 s pair of 1920 x 1080 cameras at 30 frames a second, made once.
std::string makeHdPair() {
    return makeBenchCardOnce(benchMediaRoot() + "/hd60",
                             {benchCamera("F", "HD0001F.MP4", SampleCamera::Front, 1920, 1080, 30, 60),
                              benchCamera("R", "HD0001R.MP4", SampleCamera::Rear, 1920, 1080, 30, 60)});
}
std::string makeCard() { return makeBenchCardOnce(benchMediaRoot() + "/card", sampleCardEntries()); }

double seconds(std::chrono::steady_clock::time_point since) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - since).count();
}

void BM_EvidenceClip_HdPair30s(benchmark::State& state) {
    if (const std::string error = makeHdPair(); !error.empty()) return state.SkipWithError(error.c_str());
    const std::string root = benchMediaRoot(), scratch = scratchFolder();
    GpsList list;
    const EvidenceClock clock{};
    double wall = 0, peak = 0;
    int runs = 0;
    for (auto _ : state) {
        EvidenceMediaMaker maker;
        EvidenceMedia::Clip clip;
        clip.front = root + "/hd60/F/HD0001F.MP4";
        clip.rear = root + "/hd60/R/HD0001R.MP4";
        clip.output = scratch + "/clip" + std::to_string(runs) + ".mp4";
        clip.span = {20.0, 50.0};
        clip.moment = 35;
        clip.bandText = [&](int second) { return pmEvidenceBandText(list, second, clock, 35, 0); };
        resetPeakResident();
        const auto start = std::chrono::steady_clock::now();
        const EvidenceMedia::ClipOutcome outcome = maker.writeClip(clip, [](double) { return true; });
        const double took = seconds(start);
        if (!outcome.ok) return state.SkipWithError(outcome.error.c_str());
        state.SetIterationTime(took);
        wall += took;
        peak = std::max(peak, peakResidentMegabytes());
        ++runs;
    }
    state.counters["realtime_factor"] = 30.0 * runs / wall;
    state.counters["peak_rss_MB"] = peak;
    fs::remove_all(scratch);
}
BENCHMARK(BM_EvidenceClip_HdPair30s)->Iterations(2)->UseManualTime()->Unit(benchmark::kSecond);

void BM_EvidencePackage_CardPair_InProcess(benchmark::State& state) {
    if (const std::string error = makeCard(); !error.empty()) return state.SkipWithError(error.c_str());
    const std::string scratch = scratchFolder();
    int runs = 0;
    for (auto _ : state) {
        EvidenceMediaMaker maker;
        EvidenceProgress progress;
        EvidenceRequest request;
        request.recording = benchMediaRoot() + "/card/DCIM/EventF/EVEN0001F.MP4";
        request.target = scratch + "/package" + std::to_string(runs++);
        const auto start = std::chrono::steady_clock::now();
        const EvidenceResult result = pmMakeEvidencePackage(request, maker, progress);
        state.SetIterationTime(seconds(start));
        if (result.status != EvidenceResult::Status::Done) return state.SkipWithError(result.messageKey.c_str());
    }
    fs::remove_all(scratch);
}
BENCHMARK(BM_EvidencePackage_CardPair_InProcess)->Iterations(3)->UseManualTime()->Unit(benchmark::kMillisecond);

void BM_EvidencePackage_CardPair_Command(benchmark::State& state) {
    if (const std::string error = makeCard(); !error.empty()) return state.SkipWithError(error.c_str());
    const std::string scratch = scratchFolder();
    int runs = 0;
    for (auto _ : state) {
        std::vector<std::string> words = {CARTENA_PROGRAM, "evidence",
                                          benchMediaRoot() + "/card/DCIM/EventF/EVEN0001F.MP4", "-o",
                                          scratch + "/package" + std::to_string(runs++)};
        std::vector<char*> argv;
        for (std::string& word : words) argv.push_back(word.data());
        argv.push_back(nullptr);
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
        const auto start = std::chrono::steady_clock::now();
        pid_t pid = 0;
        int status = -1;
        if (posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ) == 0) ::waitpid(pid, &status, 0);
        state.SetIterationTime(seconds(start));
        posix_spawn_file_actions_destroy(&actions);
        if (status != 0) return state.SkipWithError("cartena evidence failed");
    }
    fs::remove_all(scratch);
}
BENCHMARK(BM_EvidencePackage_CardPair_Command)->Iterations(3)->UseManualTime()->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication application(argc, argv);
    av_log_set_level(AV_LOG_ERROR);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
