// Backup of a 2 GiB recording to another folder on the same disk, against `cp --reflink=never`
// followed by `sync` (of the copy, and of everything), all timed from start to data on disk in the
// same iteration (the backup fsyncs each copy and its folder itself); the resident memory of `cartena backup` on that file;
// and how long after Cancel the copy stops (no write starts after that moment).
//
// The recording is made once, of random bytes, in <build>/bench-media/; the copies go to a folder
// beside it and are removed after each run.
#include "outputs/Backup.h"

#include <benchmark/benchmark.h>

#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <random>
#include <thread>
#include <vector>

extern char** environ;

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;
constexpr std::uint64_t kSize = 2ull << 30;

const std::string& mediaFolder() {
    static const std::string folder = std::string(CARTENA_BUILD_DIR) + "/bench-media";
    return folder;
}

const std::string& recording() {
    static const std::string path = [] {
        const std::string file = mediaFolder() + "/BACKUP01.MP4";
        if (fs::exists(file) && fs::file_size(file) == kSize) return file;
        fs::create_directories(mediaFolder());
        const int fd = ::open(file.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        std::vector<std::uint64_t> block((8u << 20) / 8);
        std::mt19937_64 random(7);
        for (std::uint64_t written = 0; written < kSize; written += block.size() * 8) {
            for (auto& word : block) word = random();
            if (::write(fd, block.data(), block.size() * 8) != ssize_t(block.size() * 8)) std::abort();
        }
        ::close(fd);
        return file;
    }();
    return path;
}

// An empty target folder beside the recording.
std::string freshTarget() {
    const std::string target = mediaFolder() + "/backup-target";
    fs::remove_all(target);
    fs::create_directories(target);
    ::sync();
    return target;
}

// Runs a program and waits; its exit code, and its peak resident memory in kB.
int run(const std::vector<std::string>& args, long* maxResidentKb = nullptr) {
    std::vector<char*> argv;
    for (const auto& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    pid_t pid = 0;
    if (::posix_spawnp(&pid, argv[0], nullptr, nullptr, argv.data(), environ) != 0) return -1;
    int status = 0;
    rusage usage{};
    ::wait4(pid, &status, 0, &usage);
    if (maxResidentKb) *maxResidentKb = usage.ru_maxrss;
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

double since(Clock::time_point start) { return std::chrono::duration<double>(Clock::now() - start).count(); }

void BM_BackupAgainstCpAndSync(benchmark::State& state) {
    const std::string source = recording();
    // `sync` alone also flushes whatever else the machine has written meanwhile; `sync FILE`
    // flushes the copy only, as the backup does.
    double backupSeconds = 0, cpSyncFileSeconds = 0, cpSyncAllSeconds = 0;
    const auto cpThenSync = [&](double& seconds, bool everything) {
        const std::string target = freshTarget();
        const auto start = Clock::now();
        const bool copied = run({"cp", "--reflink=never", source, target + "/"}) == 0;
        const bool synced = everything ? run({"sync"}) == 0 : run({"sync", target + "/BACKUP01.MP4", target}) == 0;
        seconds += since(start);
        if (!copied || !synced) state.SkipWithError("cp or sync failed");
    };
    const auto backup = [&] {
        const std::string target = freshTarget();
        const auto start = Clock::now();
        BackupProgress progress;
        const BackupResult result = pmRunBackup({source}, target, progress);
        backupSeconds += since(start);
        if (result.status != BackupResult::Status::Done) state.SkipWithError("backup failed");
    };
    // Each iteration takes the three in another order, so that none always comes first.
    int turn = 0;
    for (auto _ : state) {
        for (int i = 0; i < 3; ++i) {
            switch ((turn + i) % 3) {
                case 0: backup(); break;
                case 1: cpThenSync(cpSyncFileSeconds, false); break;
                default: cpThenSync(cpSyncAllSeconds, true); break;
            }
        }
        ++turn;
    }
    fs::remove_all(mediaFolder() + "/backup-target");
    const double bytes = double(kSize) * double(state.iterations());
    state.counters["backup_MB_per_s"] = bytes / backupSeconds / 1e6;
    state.counters["cp_sync_file_MB_per_s"] = bytes / cpSyncFileSeconds / 1e6;
    state.counters["cp_sync_all_MB_per_s"] = bytes / cpSyncAllSeconds / 1e6;
    state.counters["backup_vs_cp_sync_file"] = cpSyncFileSeconds / backupSeconds;
    state.counters["backup_vs_cp_sync_all"] = cpSyncAllSeconds / backupSeconds;
}
BENCHMARK(BM_BackupAgainstCpAndSync)->Iterations(3)->Unit(benchmark::kSecond)->UseRealTime();

void BM_CommandResidentMemory(benchmark::State& state) {
    const std::string source = recording();
    long peak = 0;
    for (auto _ : state) {
        long kb = 0;
        if (run({std::string(CARTENA_BUILD_DIR) + "/cli/cartena", "backup", "--to", freshTarget(), source}, &kb) != 0)
            state.SkipWithError("cartena backup failed");
        peak = std::max(peak, kb);
    }
    fs::remove_all(mediaFolder() + "/backup-target");
    state.counters["max_resident_MB"] = double(peak) / 1024.0;
}
BENCHMARK(BM_CommandResidentMemory)->Iterations(1)->Unit(benchmark::kSecond)->UseRealTime();

void BM_CancelToLastWrite(benchmark::State& state) {
    const std::string source = recording();
    double worst = 0;
    for (auto _ : state) {
        std::atomic<Clock::rep> stopped{0};
        BackupOptions options;
        BackupJob* running = nullptr;
        options.afterStep = [&](std::uint64_t) {
            if (running && running->isCanceled() && stopped == 0) stopped = Clock::now().time_since_epoch().count();
        };
        BackupJob job({source}, freshTarget(), options);
        running = &job;
        job.start();
        std::this_thread::sleep_for(std::chrono::milliseconds(600));
        const auto canceled = Clock::now();
        job.cancel();
        job.join();
        if (job.result().status != BackupResult::Status::Canceled || stopped == 0) state.SkipWithError("not cancelled");
        const double latency = std::chrono::duration<double>(Clock::time_point(Clock::duration(stopped.load())) - canceled).count();
        worst = std::max(worst, latency);
    }
    fs::remove_all(mediaFolder() + "/backup-target");
    state.counters["worst_cancel_to_stop_ms"] = worst * 1000.0;
}
BENCHMARK(BM_CancelToLastWrite)->Iterations(5)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
