// The window program on the sample card, under a virtual display (xvfb-run -a):
// - from process start (the spawn) to the window painted with the card's playlist, every view's
//   skin images loaded; against the toolkit's floor, a process that paints an empty main window,
//   timed the same way in the same run;
// - a skin change while a front/rear pair plays: the controller's change (settings written, every
//   view's images reloaded, the curves redrawn) with the whole window repainted, against the
//   repaint alone.
#include "BenchEventLoop.h"
#include "BenchMedia.h"
#include "Utility/UserFolders.h"
#include "desktop/WindowApplication.h"
#include "desktop/WindowProgram.h"
#include "tools/SampleCardTable.h"
#include "views/RecordingListWidget.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QMainWindow>
#include <QTimer>

#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>

extern char** environ;

namespace {

std::string sampleCard() {
    static const std::string card = [] {
        const std::string folder = benchMediaRoot() + "/card";
        const std::string error = makeBenchCardOnce(folder, sampleCardEntries());
        if (!error.empty()) std::fprintf(stderr, "sample card: %s\n", error.c_str());
        return folder;
    }();
    return card;
}

// Child side: reports on standard output once a widget paints while `ready` holds, then quits.
class FirstPaintProbe : public QObject {
public:
    explicit FirstPaintProbe(std::function<bool()> ready) : ready_(std::move(ready)) { qApp->installEventFilter(this); }

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Paint && !reported_ && ready_()) {
            reported_ = true;
            // After this paint the window's backing store is flushed; report once that is done.
            QTimer::singleShot(0, [] {
                std::fputs("painted\n", stdout);
                std::fflush(stdout);
                QCoreApplication::exit(0);
            });
        }
        return false;
    }

private:
    std::function<bool()> ready_;
    bool reported_ = false;
};

int runChild(int argc, char** argv, const std::string& what) {
    QApplication application(argc, argv);
    if (what == "empty") {
        QMainWindow window;
        window.resize(980, 660);
        FirstPaintProbe probe([] { return true; });
        window.show();
        return application.exec();
    }
    pmPrepareWindowProgram(application);
    WindowApplication program(WindowApplication::Options{"null"});
    RecordingListWidget& list = program.window().recordingList();
    FirstPaintProbe probe([&list] { return list.rowCount() > 0; });
    program.start(what);
    return application.exec();
}

// Parent side: seconds from spawning this program as a child to its "painted" line.
double secondsToPainted(const std::string& what) {
    int out[2];
    if (::pipe(out) != 0) return -1;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
    posix_spawn_file_actions_addclose(&actions, out[0]);
    std::string self = "/proc/self/exe", flag = "--paint-child", argument = what;
    char* argv[] = {self.data(), flag.data(), argument.data(), nullptr};
    const auto start = std::chrono::steady_clock::now();
    pid_t child = 0;
    const int spawned = posix_spawn(&child, self.c_str(), &actions, nullptr, argv, environ);
    posix_spawn_file_actions_destroy(&actions);
    ::close(out[1]);
    std::string line;
    char c = 0;
    while (spawned == 0 && line != "painted\n" && ::read(out[0], &c, 1) == 1) line += c;
    const auto end = std::chrono::steady_clock::now();
    ::close(out[0]);
    int status = 0;
    if (spawned == 0) ::waitpid(child, &status, 0);
    if (line != "painted\n") return -1;
    return std::chrono::duration<double>(end - start).count();
}

void startToPainted(benchmark::State& state, const std::string& what) {
    for (auto _ : state) {
        const double seconds = secondsToPainted(what);
        if (seconds < 0) {
            state.SkipWithError("the child did not report its painted window");
            return;
        }
        state.SetIterationTime(seconds);
    }
}

void BM_StartToPaintedWindowWithCardPlaylist(benchmark::State& state) { startToPainted(state, sampleCard()); }
BENCHMARK(BM_StartToPaintedWindowWithCardPlaylist)->UseManualTime()->Iterations(1)->Repetitions(10)
    ->Unit(benchmark::kMillisecond);

void BM_StartToPaintedEmptyMainWindow(benchmark::State& state) { startToPainted(state, "empty"); }
BENCHMARK(BM_StartToPaintedEmptyMainWindow)->UseManualTime()->Iterations(1)->Repetitions(10)
    ->Unit(benchmark::kMillisecond);

// The program on the card with the card's first front/rear pair playing (the library is built when
// start returns).
struct PlayingPair {
    PlayingPair() : program(WindowApplication::Options{"null"}) {
        program.start(sampleCard());
        AppDelegate& controller = program.controller();
        // All the card's recordings: the newest day has no pair.
        controller.showCalendar(false);
        for (std::int32_t row = 0; row < std::int32_t(controller.playlist().size()); ++row)
            if (controller.library().getAnotherCameraFile(row) != -1) {
                controller.dblClickFile(row);
                break;
            }
        playing = spinUntil([&] { return program.player1().currentTime() > 1.0 && program.player2().currentTime() > 1.0; });
    }
    WindowApplication program;
    bool playing = false;
};

// Counts the widgets painted while it is switched on, to show that a timed repaint drew the window.
class PaintCounter : public QObject {
public:
    PaintCounter() { qApp->installEventFilter(this); }
    int paints = 0;
    bool counting = false;

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (counting && event->type() == QEvent::Paint) ++paints;
        return false;
    }
};

// Times `change` followed by a repaint of the whole window, reporting the widgets painted per turn.
void timeWithRepaint(benchmark::State& state, PlayingPair& pair, const std::function<void()>& change) {
    PaintCounter counter;
    for (auto _ : state) {
        QElapsedTimer clock;
        clock.start();
        counter.counting = true;
        change();
        pair.program.window().repaint();
        counter.counting = false;
        state.SetIterationTime(double(clock.nsecsElapsed()) / 1e9);
        QCoreApplication::processEvents();
    }
    state.counters["widgets_painted"] = benchmark::Counter(counter.paints, benchmark::Counter::kAvgIterations);
}

void BM_SkinChangeWithPairPlaying(benchmark::State& state) {
    PlayingPair pair;
    if (!pair.playing) return state.SkipWithError("the pair did not play");
    int skin = 0;
    timeWithRepaint(state, pair, [&] { pair.program.controller().skinMenuItemClicked(skin = (skin + 1) % 4); });
    pair.program.controller().skinMenuItemClicked(0);
}
BENCHMARK(BM_SkinChangeWithPairPlaying)->UseManualTime()->Iterations(40)->Unit(benchmark::kMillisecond);

void BM_RepaintWithPairPlaying(benchmark::State& state) {
    PlayingPair pair;
    if (!pair.playing) return state.SkipWithError("the pair did not play");
    timeWithRepaint(state, pair, [] {});
}
BENCHMARK(BM_RepaintWithPairPlaying)->UseManualTime()->Iterations(40)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    if (argc == 3 && std::strcmp(argv[1], "--paint-child") == 0) return runChild(1, argv, argv[2]);
    // Our own HOME (inherited by the children), so that settings and log go to a scratch folder.
    std::string scratch = (std::filesystem::temp_directory_path() / "cartena-bench-XXXXXX").string();
    if (!::mkdtemp(scratch.data())) return 1;
    ::setenv("HOME", scratch.c_str(), 1);
    ::unsetenv("XDG_CONFIG_HOME");
    pmReloadUserFolders();
    sampleCard();

    benchmark::Initialize(&argc, argv);
    QApplication application(argc, argv);
    pmPrepareWindowProgram(application);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    std::error_code ignored;
    std::filesystem::remove_all(scratch, ignored);
    return 0;
}
