// The player on real libmpv, headless (no picture shown, no sound played), on recordings made by
// the sample card generator:
// - from the call that opens a recording to the moment it can play (first frame decoded), on a
//   reused handle, one player and a pair opening together; warm cache, median of 20;
// - a front/rear pair playing 60 s under the rear lock at rates 1 and 2: every 0.5 s the two
//   time-pos values (as the controller reads them) and the two clocks are compared; the process's
//   CPU use over the run;
// - the controller's 0.5 s playback tick, in main-thread CPU time, with a 3-minute track loaded
//   while a front/rear pair plays at 2.0, on the tests' fake views and on the window's real ones in
//   dashboard and in map mode (the window's own drawing happens later, in its paint events, not
//   in the tick); in map mode the time from the page's load to its path, and with the window the
//   memory of the process with the web engine's processes. Needs a display (xvfb-run -a).
#include "BenchEventLoop.h"
#include "BenchMedia.h"
#include "FakeViews.h"
#include "Utility/ServicesConfig.h"
#include "Utility/UserFolders.h"
#include "app/AppDelegate.h"
#include "app/RearCameraLock.h"
#include "platform/MpvMoviePlayer.h"
#include "platform/QtScheduler.h"
#include "platform/QtWebPage.h"
#include "platform/WebEngineSandbox.h"
#include "tools/SampleCard.h"
#include "views/MainWindow.h"
#include "views/MapView.h"
#include "views/PlayBarWidget.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QAbstractButton>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>

#include <sys/resource.h>
#include <unistd.h>
#include <time.h>

#include <algorithm>
#include <clocale>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <limits>
#include <map>
#include <sstream>
#include <vector>

namespace {

void spinFor(double seconds) {
    QEventLoop loop;
    QTimer::singleShot(int(seconds * 1000), &loop, &QEventLoop::quit);
    loop.exec();
}

double cpuSeconds() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

// The recordings, made once per build tree and kept.
struct Media {
    std::string cardFront, cardFrontOther, cardRear;  // the sample card's own pairs
    std::string pairFront, pairRear;                  // the card's camera settings, 130 s long
    std::string hdFront, hdRear;                      // 1920 x 1080 at 30 a second, 130 s long
    std::string driveCard;                            // a 180 s pair with the front's text log
    std::string error;
};

const Media& media() {
    static const Media made = [] {
        Media m;
        const std::string root = benchMediaRoot();
        m.error = makeBenchCardOnce(root + "/card", sampleCardEntries());
        if (m.error.empty())
            m.error = makeBenchCardOnce(root + "/pair130",
                                        {benchCamera("F", "LONG0001F.MP4", SampleCamera::Front, 480, 270, 20, 130),
                                         benchCamera("R", "LONG0001R.MP4", SampleCamera::Rear, 320, 180, 15, 130)});
        if (m.error.empty())
            m.error = makeBenchCardOnce(root + "/hd130",
                                        {benchCamera("F", "HD0001F.MP4", SampleCamera::Front, 1920, 1080, 30, 130),
                                         benchCamera("R", "HD0001R.MP4", SampleCamera::Rear, 1920, 1080, 30, 130)});
        if (m.error.empty()) m.error = benchDriveCard().error;
        m.driveCard = benchDriveCard().folder;
        m.cardFront = root + "/card/DCIM/NormalF/FILE0001F.MP4";
        m.cardFrontOther = root + "/card/DCIM/NormalF/FILE0002F.MP4";
        m.cardRear = root + "/card/DCIM/NormalR/FILE0001R.MP4";
        m.pairFront = root + "/pair130/F/LONG0001F.MP4";
        m.pairRear = root + "/pair130/R/LONG0001R.MP4";
        m.hdFront = root + "/hd130/F/HD0001F.MP4";
        m.hdRear = root + "/hd130/R/HD0001R.MP4";
        return m;
    }();
    return made;
}

bool playable(const MoviePlayer& player) { return player.loadState() == kMovieLoadStatePlayable; }

// One reused handle; each open alternates between two recordings of the card.
void BM_OpenToFirstFrame_OnePlayer(benchmark::State& state) {
    if (!media().error.empty()) return state.SkipWithError(media().error.c_str());
    MpvMoviePlayer player;
    // Warm the cache and the handle.
    player.open(media().cardFrontOther);
    spinUntil([&] { return playable(player); });
    bool other = false;
    for (auto _ : state) {
        QElapsedTimer clock;
        clock.start();
        player.open(other ? media().cardFrontOther : media().cardFront);
        if (!spinUntil([&] { return playable(player) || player.loadState() == kMovieLoadStateError; }) ||
            !playable(player))
            return state.SkipWithError("did not become playable");
        state.SetIterationTime(double(clock.nsecsElapsed()) / 1e9);
        other = !other;
    }
}
BENCHMARK(BM_OpenToFirstFrame_OnePlayer)
    ->Iterations(1)->Repetitions(20)->ReportAggregatesOnly(true)->UseManualTime()->Unit(benchmark::kMillisecond);

// Front and rear opened in the same turn, until both can play.
void BM_OpenToFirstFrame_Pair(benchmark::State& state) {
    if (!media().error.empty()) return state.SkipWithError(media().error.c_str());
    MpvMoviePlayer front, rear;
    front.open(media().cardFrontOther);
    rear.open(media().cardRear);
    spinUntil([&] { return playable(front) && playable(rear); });
    for (auto _ : state) {
        QElapsedTimer clock;
        clock.start();
        front.open(media().cardFront);
        rear.open(media().cardRear);
        if (!spinUntil([&] { return playable(front) && playable(rear); }))
            return state.SkipWithError("did not become playable");
        state.SetIterationTime(double(clock.nsecsElapsed()) / 1e9);
    }
}
BENCHMARK(BM_OpenToFirstFrame_Pair)
    ->Iterations(1)->Repetitions(20)->ReportAggregatesOnly(true)->UseManualTime()->Unit(benchmark::kMillisecond);

// Starts each player at its own ready moment, as the controller does; the lock holds them until
// both are ready.
class StartWhenReady : public MovieObserver {
public:
    float rate = 1.0f;
    void movieLoadStateChanged(MoviePlayer& movie) override {
        if (playable(movie)) movie.setRate(rate);
    }
};

// Arguments: which pair (0 the card's cameras, 1 the 1080p pair), rate x 10, lock on (1) or off.
void BM_DualPlayback60s(benchmark::State& state) {
    if (!media().error.empty()) return state.SkipWithError(media().error.c_str());
    const bool hd = state.range(0) == 1;
    const float rate = float(state.range(1)) / 10.0f;
    const bool locked = state.range(2) == 1;
    const std::string frontPath = hd ? media().hdFront : media().pairFront;
    const std::string rearPath = hd ? media().hdRear : media().pairRear;
    for (auto _ : state) {
        MpvMoviePlayer front, rear;
        QtScheduler scheduler;
        RearCameraLock lock(front, rear, scheduler);
        StartWhenReady starter;
        starter.rate = rate;
        front.addObserver(&starter);
        rear.addObserver(&starter);
        if (locked) lock.engage();
        front.open(frontPath);
        rear.open(rearPath);
        if (!spinUntil([&] { return playable(front) && playable(rear); }))
            return state.SkipWithError("did not become playable");
        // One frame of the recording's own rate: the coarser of the two for a mixed pair.
        const double frame = 1.0 / std::min(front.frameRate(), rear.frameRate());
        const double wallStart = scheduler.now();
        const double cpuStart = cpuSeconds();
        int ticks = 0, over = 0, clockOver = 0;
        double widest = 0.0, sum = 0.0, clockWidest = 0.0, clockSum = 0.0;
        const int count = int(60.0 / 0.5);
        for (int tick = 0; tick < count; ++tick) {
            spinFor(0.5);
            const double apart = std::fabs(front.currentTime() - rear.currentTime());
            const double clockApart = std::fabs(front.playbackClock() - rear.playbackClock());
            ++ticks;
            widest = std::max(widest, apart);
            sum += apart;
            over += apart > frame + 1e-6 ? 1 : 0;
            clockWidest = std::max(clockWidest, clockApart);
            clockSum += clockApart;
            clockOver += clockApart > frame ? 1 : 0;
        }
        const double wall = scheduler.now() - wallStart;
        state.SetIterationTime(wall);
        state.counters["frame_ms"] = frame * 1000.0;
        state.counters["max_ms"] = widest * 1000.0;
        state.counters["mean_ms"] = sum / ticks * 1000.0;
        state.counters["ticks"] = ticks;
        state.counters["ticks_over_frame"] = over;
        state.counters["clock_max_ms"] = clockWidest * 1000.0;
        state.counters["clock_mean_ms"] = clockSum / ticks * 1000.0;
        state.counters["clock_over_frame"] = clockOver;
        state.counters["cpu_pct"] = (cpuSeconds() - cpuStart) / wall * 100.0;
        state.counters["reseeks"] = lock.reseekCount();
        state.counters["media_s"] = front.currentTime();
        front.removeObserver(&starter);
        rear.removeObserver(&starter);
    }
}
BENCHMARK(BM_DualPlayback60s)
    ->ArgNames({"hd", "rate_x10", "lock"})
    ->Args({0, 10, 1})->Args({0, 20, 1})->Args({1, 10, 1})->Args({1, 20, 1})
    ->Args({0, 10, 0})->Args({1, 10, 0})
    ->Iterations(1)->UseManualTime()->Unit(benchmark::kSecond);

// The process's main-thread CPU clock, in seconds.
double threadCpuSeconds() {
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return double(now.tv_sec) + double(now.tv_nsec) / 1e9;
}

// Qt's timers, with the cost of each run of the repeating 0.5 s timers measured.
class TickTimingScheduler : public QtScheduler {
public:
    std::vector<double> cpu, wall;  // seconds, one per tick

    TimerId startRepeating(double interval, std::function<void()> action) override {
        if (interval != 0.5) return QtScheduler::startRepeating(interval, std::move(action));
        return QtScheduler::startRepeating(interval, [this, action = std::move(action)] {
            QElapsedTimer clock;
            clock.start();
            const double cpuStart = threadCpuSeconds();
            action();
            cpu.push_back(threadCpuSeconds() - cpuStart);
            wall.push_back(double(clock.nsecsElapsed()) / 1e9);
        });
    }
};

double percentile(std::vector<double> values, double fraction) {
    if (values.empty()) return 0.0;
    std::sort(values.begin(), values.end());
    return values[std::min(values.size() - 1, std::size_t(fraction * double(values.size())))];
}

// Memory of this process and of the processes it started (the web engine's), in MB: resident,
// and proportional (shared pages split between their users).
struct ProcessMemory {
    double rssMb = 0, pssMb = 0;
};

ProcessMemory memoryWithChildren() {
    ProcessMemory total;
    std::vector<int> family{int(::getpid())};
    // Children of the family, as long as new ones turn up.
    for (std::size_t known = 0; known != family.size();) {
        known = family.size();
        for (const auto& entry : std::filesystem::directory_iterator("/proc")) {
            const std::string name = entry.path().filename().string();
            if (name.find_first_not_of("0123456789") != std::string::npos) continue;
            std::ifstream stat(entry.path() / "stat");
            std::string line;
            std::getline(stat, line);
            const auto close = line.rfind(')');
            if (close == std::string::npos) continue;
            std::istringstream fields(line.substr(close + 2));
            char processState = 0;
            int parent = 0;
            fields >> processState >> parent;
            const int pid = std::stoi(name);
            if (std::find(family.begin(), family.end(), parent) != family.end() &&
                std::find(family.begin(), family.end(), pid) == family.end())
                family.push_back(pid);
        }
    }
    for (const int pid : family) {
        std::ifstream rollup("/proc/" + std::to_string(pid) + "/smaps_rollup");
        std::string range;  // the first line names the address range, then "Key: value kB" lines
        std::getline(rollup, range);
        for (std::string key; rollup >> key;) {
            double kb = 0;
            rollup >> kb;
            if (key == "Rss:") total.rssMb += kb / 1024;
            if (key == "Pss:") total.pssMb += kb / 1024;
            rollup.ignore(std::numeric_limits<std::streamsize>::max(), '\n');
        }
    }
    return total;
}

// The map's connectivity: always on line (the map page and Leaflet come from the program; no
// tiles are configured, so nothing is fetched).
struct OnLine : Connectivity {
    bool isInternetConnected() override { return true; }
    void checkInBackground(std::function<void(bool)> answer) override { answer(true); }
};

enum class TickViews { Fakes = 0, WindowDashboard = 1, WindowMap = 2 };

// The whole controller on the real players: the rear row of the 3-minute pair is opened, played at
// 2.0 for 60 s (120 s of the recording), and every tick of the playback timer is timed. The views
// are the tests' fakes, or the real window in dashboard or in map mode (the web map drawing the
// path and following the car); with the window, the memory of the process and its children.
void BM_PlaybackTick_PairAt2WithThreeMinuteTrack(benchmark::State& state) {
    if (!media().error.empty()) return state.SkipWithError(media().error.c_str());
    const auto mode = TickViews(state.range(0));
    for (auto _ : state) {
        NotificationCenter center;
        TickTimingScheduler scheduler;
        MpvMoviePlayer front, rear;
        FakeViews fakes(center);
        std::unique_ptr<MainWindow> window;
        OnLine onLine;
        ControllerViews views = fakes.all();
        if (mode != TickViews::Fakes) {
            window = std::make_unique<MainWindow>(center);
            MapServices noTiles;
            noTiles.tiles.clear();
            window->mapView().configure(&onLine, noTiles);
            window->show();
            views = window->controllerViews();
        }
        AppServices services{.notifications = center,
                             .scheduler = scheduler,
                             .player1 = front,
                             .player2 = rear,
                             .folderWatch = nullptr,
                             .connectivity = nullptr,
                             .openAddress = {},
                             .chooseFolder = {},
                             .runInBackground = {}};
        AppDelegate app(services, views);
        if (window) {
            MainWindowActions actions;
            actions.mapFullScreen = [&app] { app.onButtonMapFullScreen(); };
            window->setActions(actions);
        }
        app.applicationWillFinishLaunching();
        app.applicationDidFinishLaunching(media().driveCard);
        if (app.playlist().size() != 2 || !app.isDualCameraMode())
            return state.SkipWithError("the pair was not found as a pair");

        // Map mode before the pair opens: the page's load, then the path drawn on it.
        double pathMs = 0;
        if (mode == TickViews::WindowMap) {
            QElapsedTimer sinceReady;
            center.addObserver(NotificationCenter::fullName(notify::kMapViewReady), [&](const Notification&) {
                sinceReady.start();
            });
            window->mapView().model().onButtonPanelMap();
            if (!spinUntil([&] { return window->mapView().model().isMapDocReady(); }, 60.0))
                return state.SkipWithError("the map page did not load");
            fakes.doubleClickRow(1);  // the row posts through the same centre
            if (!spinUntil([&] { return app.gpsList().GetDataCount() >= 180; }))
                return state.SkipWithError("the track was not loaded");
            // The page reloads with each load step; the path comes after its last ready.
            QElapsedTimer sinceTrack;
            sinceTrack.start();
            if (!spinUntil([&] {
                    bool drawn = false;
                    bool answered = false;
                    window->mapView().webPage()->evaluate("mapTestState()", [&](const std::optional<std::string>& v) {
                        drawn = v && v->find("\"points\":" + std::to_string(app.gpsList().GetDataCount())) !=
                                         std::string::npos;
                        answered = true;
                    });
                    spinUntil([&] { return answered; }, 5.0);
                    return drawn;
                }, 30.0))
                return state.SkipWithError("the path was not drawn");
            pathMs = double(std::min(sinceReady.nsecsElapsed(), sinceTrack.nsecsElapsed())) / 1e6;
        } else {
            fakes.doubleClickRow(1);
        }
        if (!spinUntil([&] { return app.selectedMovieIsPlaying(); }))
            return state.SkipWithError("the pair did not start");
        for (int press = 0; press < 2; ++press) {
            // The window's play bar keeps its own speed state: press its button.
            if (window) window->playBar().findChild<QAbstractButton*>("speedButton")->click();
            else fakes.pressSpeed();
        }
        if (!spinUntil([&] { return front.rate() == 2.0f && rear.rate() == 2.0f; }))
            return state.SkipWithError("the pair did not reach 2.0");
        if (app.gpsList().GetDataCount() < 180) return state.SkipWithError("the track was not loaded");
        scheduler.cpu.clear();
        scheduler.wall.clear();
        spinFor(60.0);
        const std::size_t ticks = scheduler.cpu.size();
        if (ticks == 0) return state.SkipWithError("no tick ran");
        double sum = 0.0;
        int over = 0;
        for (const double t : scheduler.cpu) {
            sum += t;
            over += t > 0.002 ? 1 : 0;
        }
        state.SetIterationTime(60.0);
        state.counters["track_samples"] = app.gpsList().GetDataCount();
        state.counters["ticks"] = double(ticks);
        state.counters["cpu_mean_us"] = sum / double(ticks) * 1e6;
        state.counters["cpu_p99_us"] = percentile(scheduler.cpu, 0.99) * 1e6;
        state.counters["cpu_max_us"] = percentile(scheduler.cpu, 1.0) * 1e6;
        state.counters["ticks_over_2ms"] = over;
        state.counters["wall_max_us"] = percentile(scheduler.wall, 1.0) * 1e6;
        state.counters["media_s"] = front.currentTime();
        if (window) {
            const ProcessMemory memory = memoryWithChildren();
            state.counters["rss_mb"] = memory.rssMb;
            state.counters["pss_mb"] = memory.pssMb;
        }
        if (mode == TickViews::WindowMap) state.counters["path_ms"] = pathMs;
    }
}
BENCHMARK(BM_PlaybackTick_PairAt2WithThreeMinuteTrack)
    ->ArgName("views")->Arg(0)->Arg(1)->Arg(2)
    ->Iterations(1)->UseManualTime()->Unit(benchmark::kSecond);

}  // namespace

int main(int argc, char** argv) {
    const ScratchHome home;
    if (!home.made()) return 1;
    pmReloadUserFolders();

    pmPrepareWebEngineSandbox();
    QApplication application(argc, argv);
    std::setlocale(LC_NUMERIC, "C");
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
