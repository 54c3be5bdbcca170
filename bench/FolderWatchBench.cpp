// The folder watch end to end on real folders: inotify, Qt's event loop, the batching and the
// controller's playlist check.
//   removal/unmount → rebuilt playlist: wall time (expected: the latency plus a few ms)
//   10,000 files created and 10,000 removed by another thread: events reaching the controller and
//   the main thread's CPU time spent on them
#include "Utility/DiagnosticLog.h"
#include "Utility/UserFolders.h"
#include "app/FolderMonitor.h"
#include "platform/InotifyFolderWatch.h"
#include "platform/QtScheduler.h"
#include "support/PlaylistHost.h"

#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QEventLoop>
#include <QTimer>

#include <fcntl.h>
#include <sched.h>
#include <sys/mount.h>
#include <time.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

std::string gScratch;  // a temporary folder for the whole run

double threadCpuSeconds() {
    timespec ts{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
    return static_cast<double>(ts.tv_sec) + static_cast<double>(ts.tv_nsec) / 1e9;
}

void touch(const std::string& path) {
    const int fd = ::open(path.c_str(), O_CREAT | O_WRONLY | O_CLOEXEC, 0644);
    if (fd >= 0) ::close(fd);
}

std::vector<std::string> makeCard(const std::string& card, int files) {
    fs::create_directories(card + "/DCIM/100");
    std::vector<std::string> paths;
    for (int i = 0; i < files; ++i) {
        paths.push_back(card + "/DCIM/100/FILE" + std::to_string(1000 + i) + ".MP4");
        touch(paths.back());
    }
    return paths;
}

// Counts what reaches the controller, and passes it on.
class Counting : public SCEventListenerProtocol {
public:
    explicit Counting(FolderMonitor& monitor) : monitor_(monitor) {}
    void pathWatcher(SCEvents* watcher, const SCEvent& event) override {
        ++events;
        monitor_.pathWatcher(watcher, event);
    }
    int events = 0;

private:
    FolderMonitor& monitor_;
};

struct Live {
    QtScheduler scheduler;
    InotifyFolderWatch watch;
    PlaylistHost host;
    FolderMonitor monitor{host, watch, scheduler};
    explicit Live(std::vector<std::string> files) : host(std::move(files)) {}
};

// Runs the loop until the host rebuilds its playlist; the time from `t0` to the rebuild.
double untilRebuilt(Live& live, Clock::time_point t0) {
    QEventLoop loop;
    Clock::time_point t1{};
    live.host.onRebuild = [&] {
        t1 = Clock::now();
        loop.quit();
    };
    QTimer::singleShot(10000, &loop, &QEventLoop::quit);
    loop.exec();
    live.host.onRebuild = nullptr;
    if (t1 == Clock::time_point{}) return -1;
    return std::chrono::duration<double>(t1 - t0).count();
}

void BM_RemovalToRebuiltPlaylist(benchmark::State& state) {
    int round = 0;
    double slack = 0;
    for (auto _ : state) {
        const std::string card = gScratch + "/removal" + std::to_string(round++);
        Live live(makeCard(card, 50));
        live.monitor.startMonitorFolder(card);
        QCoreApplication::processEvents();

        const auto t0 = Clock::now();
        fs::remove(live.host.library[7]);
        const double seconds = untilRebuilt(live, t0);
        if (seconds < 0 || live.host.playlist.size() != 49) {
            state.SkipWithError("the playlist was not rebuilt");
            break;
        }
        state.SetIterationTime(seconds);
        slack += seconds - live.monitor.events()->notificationLatency();
        live.monitor.stopMonitorFolder();
        fs::remove_all(card);
    }
    state.counters["ms_over_latency"] = benchmark::Counter(slack * 1000 / static_cast<double>(state.iterations()));
}
BENCHMARK(BM_RemovalToRebuiltPlaylist)->UseManualTime()->Iterations(5)->Unit(benchmark::kMillisecond);

// 0: unmounted (seen through inotify); 1: lazily unmounted with a recording open (seen through the
// mount table).
void BM_UnmountToRebuiltPlaylist(benchmark::State& state) {
    static const bool privateMounts =
        ::unshare(CLONE_NEWNS) == 0 && ::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) == 0;
    if (!privateMounts) {
        state.SkipWithError("no private mount namespace here");
        return;
    }
    int round = 0;
    double slack = 0;
    for (auto _ : state) {
        const std::string mountPoint = gScratch + "/mnt" + std::to_string(state.range(0)) + "-" + std::to_string(round++);
        fs::create_directories(mountPoint);
        if (::mount("bench-card", mountPoint.c_str(), "tmpfs", 0, "size=4m") != 0) {
            state.SkipWithError("tmpfs could not be mounted");
            break;
        }
        Live live(makeCard(mountPoint + "/DCIM", 50));
        live.monitor.startMonitorFolder(mountPoint + "/DCIM");
        QCoreApplication::processEvents();

        int held = -1;
        const auto t0 = Clock::now();
        if (state.range(0) == 1) {
            held = ::open(live.host.library[0].c_str(), O_RDONLY | O_CLOEXEC);
            ::umount2(mountPoint.c_str(), MNT_DETACH);
        } else {
            ::umount2(mountPoint.c_str(), 0);
        }
        const double seconds = untilRebuilt(live, t0);
        if (held >= 0) ::close(held);
        if (seconds < 0 || !live.host.playlist.empty()) {
            state.SkipWithError("the playlist was not rebuilt");
            break;
        }
        state.SetIterationTime(seconds);
        slack += seconds - live.monitor.events()->notificationLatency();
        live.monitor.stopMonitorFolder();
        fs::remove(mountPoint);
    }
    state.counters["ms_over_latency"] = benchmark::Counter(slack * 1000 / static_cast<double>(state.iterations()));
}
BENCHMARK(BM_UnmountToRebuiltPlaylist)->Arg(0)->Arg(1)->UseManualTime()->Iterations(5)->Unit(benchmark::kMillisecond);

void BM_BurstOf10000FilesCreatedAndRemoved(benchmark::State& state) {
    int round = 0;
    double events = 0, checks = 0, rebuilds = 0, mainCpu = 0, wall = 0;
    for (auto _ : state) {
        const std::string card = gScratch + "/burst" + std::to_string(round++);
        Live live(makeCard(card, 50));
        fs::create_directories(card + "/DCIM/copy");
        live.monitor.startMonitorFolder(card);
        Counting counting(live.monitor);
        live.monitor.events()->setDelegate(&counting);
        QCoreApplication::processEvents();

        // The copy runs beside the main thread, as another program would.
        QEventLoop loop;
        const double cpu0 = threadCpuSeconds();
        const auto t0 = Clock::now();
        std::thread writer([&] {
            for (int i = 0; i < 10000; ++i) touch(card + "/DCIM/copy/f" + std::to_string(i) + ".MP4");
            for (int i = 0; i < 10000; ++i) ::unlink((card + "/DCIM/copy/f" + std::to_string(i) + ".MP4").c_str());
            QMetaObject::invokeMethod(&loop, [&loop] { loop.quit(); }, Qt::QueuedConnection);
        });
        loop.exec();  // sleeps between the watch's wake-ups
        writer.join();
        // Whatever the last window still holds, delivered now rather than a second later.
        live.monitor.events()->flushEventStreamSync();
        mainCpu += threadCpuSeconds() - cpu0;
        wall += std::chrono::duration<double>(Clock::now() - t0).count();

        events += counting.events;
        checks += live.host.existenceChecks;
        rebuilds += live.host.rebuilds;
        live.monitor.events()->setDelegate(&live.monitor);
        live.monitor.stopMonitorFolder();
        fs::remove_all(card);
    }
    const double n = static_cast<double>(state.iterations());
    state.counters["events_to_controller"] = benchmark::Counter(events / n);
    state.counters["playlist_checks"] = benchmark::Counter(checks / n);
    state.counters["rebuilds"] = benchmark::Counter(rebuilds / n);
    state.counters["main_thread_cpu_ms"] = benchmark::Counter(mainCpu * 1000 / n);
    state.counters["burst_wall_ms"] = benchmark::Counter(wall * 1000 / n);
}
BENCHMARK(BM_BurstOf10000FilesCreatedAndRemoved)->Iterations(5)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    // Our own HOME, so that the log lines go to a scratch folder.
    std::string pattern = (fs::temp_directory_path() / "cartena-bench-XXXXXX").string();
    if (!::mkdtemp(pattern.data())) return 1;
    gScratch = pattern;
    ::setenv("HOME", gScratch.c_str(), 1);
    ::unsetenv("XDG_CONFIG_HOME");
    fs::create_directories(gScratch + "/Documents");
    pmReloadUserFolders();

    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    std::error_code ignored;
    fs::remove_all(gScratch, ignored);
    return 0;
}
