// The window program playing a front/rear pair, beside two plain mpv processes showing the same
// recordings at the same sizes, under the X display the benchmark runs in (Xvfb: run it with
// xvfb-run -a -s "-screen 0 1600x1000x24").
//
// Each run plays one pair at one rate, with the dashboard below the movies or with the web map
// (whose web view makes Qt compose the whole window through OpenGL): the window program in a child process (this executable,
// started with --window) for 2 s of warm-up, 10 s measured, then 5 s in which this process grabs
// the screen every 0.1 s; then the two mpv processes (mpv --no-config --vo=x11 --ao=null) for 2 s
// of warm-up and 10 s measured. Reported: the CPU of the process (and of the X server) over the
// 10 s, resident memory at their end, renders and repaints per second of each movie view and the
// repaints of all other widgets, the players' own counts of dropped and late frames, and, from the
// grabs, how far apart the two views' frames are in recording time (each frame identified by its
// frame stamp), against one frame of the slower camera.
#include "BenchMedia.h"
#include "Utility/UserFolders.h"
#include "desktop/WindowApplication.h"
#include "interfaces/Connectivity.h"
#include "platform/WebEngineSandbox.h"
#include "platform/MpvVideoView.h"
#include "tools/FrameStamp.h"
#include "views/MapView.h"
#include "views/ViewStyle.h"

#include <benchmark/benchmark.h>
#include <mpv/client.h>
#include <nlohmann/json.hpp>

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QGuiApplication>
#include <QImage>
#include <QPixmap>
#include <QScreen>
#include <QSocketNotifier>
#include <QTimer>
#include <QWebEngineView>

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <charconv>
#include <clocale>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <optional>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

extern char** environ;

namespace {

using Json = nlohmann::json;

constexpr double kWarmUp = 2.0;
constexpr double kMeasured = 10.0;
constexpr double kGrabbing = 5.0;
constexpr double kGrabInterval = 0.1;

void spinFor(double seconds) {
    QEventLoop loop;
    QTimer::singleShot(int(seconds * 1000), &loop, &QEventLoop::quit);
    loop.exec();
}

bool spinUntil(const std::function<bool()>& done, double timeout) {
    QElapsedTimer clock;
    clock.start();
    while (!done()) {
        if (clock.elapsed() > qint64(timeout * 1000)) return false;
        spinFor(0.01);
    }
    return true;
}

// ---- The window program, in the child process ----------------------------------------------

// Counts paint events per widget: the two video widgets' own, and everyone else's together.
class PaintCounter : public QObject {
public:
    PaintCounter(QWidget* firstVideo, QWidget* secondVideo) : first_(firstVideo), second_(secondVideo) {}
    long first = 0, second = 0, others = 0;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint) {
            if (watched == first_) ++first;
            else if (watched == second_) ++second;
            else if (watched->isWidgetType()) ++others;
        }
        return false;
    }

private:
    QObject* first_;
    QObject* second_;
};

std::int64_t mpvCount(const MpvMoviePlayer& player, const char* name) {
    std::int64_t value = 0;
    if (!player.handle() || mpv_get_property(player.handle(), name, MPV_FORMAT_INT64, &value) < 0) return -1;
    return value;
}

// One of a player's own counters, added up across its restarts (a seek of the rear by the lock
// starts mpv's counts again).
class MpvCounter {
public:
    MpvCounter(const MpvMoviePlayer& player, const char* name) : player_(player), name_(name) {
        look();
        taken_ = total_;  // what was counted before is not ours
    }
    void look() {
        const std::int64_t now = mpvCount(player_, name_);
        if (now < 0) return;
        total_ += now >= last_ ? now - last_ : now;
        last_ = now;
    }
    // Counted since the last take.
    std::int64_t take() {
        look();
        const std::int64_t counted = total_ - taken_;
        taken_ = total_;
        return counted;
    }

private:
    const MpvMoviePlayer& player_;
    const char* name_;
    std::int64_t last_ = 0, total_ = 0, taken_ = 0;
};

struct WindowCounts {
    long renders[2]{}, paints[2]{}, otherPaints = 0;
    double when = 0.0;
    double mainThreadCpu = 0.0;  // seconds
};

Json describeView(QWidget& video, const MpvMoviePlayer& player) {
    const QPoint at = video.mapToGlobal(QPoint(0, 0));
    return {{"x", at.x()}, {"y", at.y()}, {"w", video.width()}, {"h", video.height()},
            {"vw", player.naturalSize().width}, {"vh", player.naturalSize().height}, {"fps", player.frameRate()}};
}

// The map's connection check, answering yes at once: the map shows without a network.
class AnsweringConnectivity : public Connectivity {
public:
    bool isInternetConnected() override { return true; }
    void checkInBackground(std::function<void(bool)> answer) override {
        QTimer::singleShot(0, [answer = std::move(answer)] { answer(true); });
    }
};

// Plays the pair of `folder` at `rate`, in map mode with `map` (tiles from a closed local port); prints one line of JSON when it plays steadily, one with the
// counts since then (and the players' widest distance since the last report) when it reads
// "report", and ends when it reads "quit" (or its input closes).
int runWindow(int argc, char** argv, const std::string& folder, float rate, bool map) {
    QApplication application(argc, argv);
    std::setlocale(LC_NUMERIC, "C");
    pmUserFolders();
    pmApplyWindowTheme(application);
    WindowApplication program(WindowApplication::Options{"null"});
    program.start(folder);
    AppDelegate& controller = program.controller();
    if (!spinUntil([&] { return controller.playlist().size() == 2 && controller.isDualCameraMode(); }, 30.0)) {
        std::cout << Json{{"error", "the pair was not found as a pair"}}.dump() << std::endl;
        return 1;
    }
    controller.dblClickFile(0);
    MpvMoviePlayer& front = program.player1();
    MpvMoviePlayer& rear = program.player2();
    if (!spinUntil([&] { return front.rate() > 0.0f && rear.rate() > 0.0f && front.currentTime() > 0.2; }, 60.0)) {
        std::cout << Json{{"error", "the pair did not start"}}.dump() << std::endl;
        return 1;
    }
    AnsweringConnectivity connected;
    if (map) {
        MapView& view = program.window().mapView();
        MapServices services;
        services.tiles = "http://127.0.0.1:9/{z}/{x}/{y}.png";
        view.configure(&connected, services);
        view.model().onButtonPanelMap();
        if (!spinUntil([&] { return view.model().isMapDocReady() && view.webView() && view.webView()->isVisible(); },
                       60.0)) {
            std::cout << Json{{"error", "the map did not show"}}.dump() << std::endl;
            return 1;
        }
    }
    if (rate != 1.0f) controller.setPlaySpeed(rate);
    spinFor(kWarmUp);

    MpvVideoView* videos[2] = {&program.video1(), &program.video2()};
    MpvMoviePlayer* players[2] = {&front, &rear};
    PaintCounter paints(videos[0]->widget(), videos[1]->widget());
    application.installEventFilter(&paints);
    QElapsedTimer clock;
    clock.start();
    auto counts = [&] {
        WindowCounts c;
        for (int i = 0; i < 2; ++i) c.renders[i] = videos[i]->renderCount();
        c.paints[0] = paints.first;
        c.paints[1] = paints.second;
        c.otherPaints = paints.others;
        c.when = double(clock.nsecsElapsed()) / 1e9;
        timespec cpu{};
        clock_gettime(CLOCK_THREAD_CPUTIME_ID, &cpu);
        c.mainThreadCpu = double(cpu.tv_sec) + double(cpu.tv_nsec) / 1e9;
        return c;
    };
    const WindowCounts start = counts();
    std::vector<MpvCounter> dropped, delayed;
    for (MpvMoviePlayer* player : players) {
        dropped.emplace_back(*player, "frame-drop-count");
        dropped.emplace_back(*player, "decoder-frame-drop-count");
        delayed.emplace_back(*player, "vo-delayed-frame-count");
    }
    // How far apart the players' clocks get, looked at every 20 ms (the counters every 100 ms); the
    // largest since the last report.
    double playersApart = 0.0;
    int looks = 0;
    QTimer positions;
    QObject::connect(&positions, &QTimer::timeout, [&] {
        playersApart = std::max(playersApart, std::fabs(front.playbackClock() - rear.playbackClock()));
        if (++looks % 5 != 0) return;
        for (auto* counters : {&dropped, &delayed})
            for (MpvCounter& counter : *counters) counter.look();
    });
    positions.start(20);
    auto taken = [](std::vector<MpvCounter>& counters) {
        std::int64_t sum = 0;
        for (MpvCounter& counter : counters) sum += counter.take();
        return sum;
    };
    std::cout << Json{{"views", {describeView(*videos[0]->widget(), front), describeView(*videos[1]->widget(), rear)}}}.dump()
              << std::endl;

    QSocketNotifier input(STDIN_FILENO, QSocketNotifier::Read);
    std::string pending;
    QObject::connect(&input, &QSocketNotifier::activated, [&] {
        char buffer[256];
        const ssize_t got = ::read(STDIN_FILENO, buffer, sizeof buffer);
        if (got <= 0) return application.quit();
        pending.append(buffer, std::size_t(got));
        for (std::size_t end; (end = pending.find('\n')) != std::string::npos; pending.erase(0, end + 1)) {
            const std::string line = pending.substr(0, end);
            if (line == "quit") return application.quit();
            if (line != "report") continue;
            const WindowCounts now = counts();
            const double seconds = now.when - start.when;
            Json report;
            for (int i = 0; i < 2; ++i) {
                report["renders_per_s"].push_back(double(now.renders[i] - start.renders[i]) / seconds);
                report["paints_per_s"].push_back(double(now.paints[i] - start.paints[i]) / seconds);
            }
            report["dropped"] = taken(dropped);
            report["delayed"] = taken(delayed);
            report["other_paints_per_s"] = double(now.otherPaints - start.otherPaints) / seconds;
            report["main_thread_cpu_pct"] = (now.mainThreadCpu - start.mainThreadCpu) / seconds * 100.0;
            report["players_apart_max_ms"] = playersApart * 1000.0;
            playersApart = 0.0;
            std::cout << report.dump() << std::endl;
        }
    });
    return application.exec();
}

// ---- Processes, as seen from the benchmark -------------------------------------------------------

double clockTicks() { return double(::sysconf(_SC_CLK_TCK)); }

// User and system CPU seconds of a process so far; -1 when it cannot be read.
double processCpuSeconds(pid_t pid) {
    std::ifstream in("/proc/" + std::to_string(pid) + "/stat");
    std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    const std::size_t close = text.rfind(')');
    if (close == std::string::npos) return -1.0;
    std::istringstream fields(text.substr(close + 2));
    std::string field;
    double utime = 0, stime = 0;
    // After the name: state is field 3; utime and stime are fields 14 and 15.
    for (int index = 3; index <= 15 && fields >> field; ++index) {
        if (index == 14) std::from_chars(field.data(), field.data() + field.size(), utime);
        if (index == 15) std::from_chars(field.data(), field.data() + field.size(), stime);
    }
    return (utime + stime) / clockTicks();
}

// Resident memory in MB; 0 when it cannot be read.
double residentMegabytes(pid_t pid) {
    std::ifstream in("/proc/" + std::to_string(pid) + "/status");
    for (std::string line; std::getline(in, line);) {
        if (!line.starts_with("VmRSS:")) continue;
        const char* first = line.data() + 6;
        while (*first == ' ' || *first == '\t') ++first;
        double kilobytes = 0;
        std::from_chars(first, line.data() + line.size(), kilobytes);
        return kilobytes / 1024.0;
    }
    return 0.0;
}

// The X server of $DISPLAY, from its lock file; 0 when not known.
pid_t xServerPid() {
    const char* display = std::getenv("DISPLAY");
    if (!display || display[0] != ':') return 0;
    int number = 0;
    std::from_chars(display + 1, display + std::strlen(display), number);
    std::ifstream lock("/tmp/.X" + std::to_string(number) + "-lock");
    long pid = 0;
    lock >> pid;
    return pid_t(pid);
}

// A started process; it is ended (by its pid) when this goes.
class Process {
public:
    // With `talk`, the child's standard input and output are pipes to us; else /dev/null.
    Process(const std::vector<std::string>& argv, bool talk) {
        int toChild[2] = {-1, -1}, fromChild[2] = {-1, -1};
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        if (talk && ::pipe2(toChild, O_CLOEXEC) == 0 && ::pipe2(fromChild, O_CLOEXEC) == 0) {
            posix_spawn_file_actions_adddup2(&actions, toChild[0], STDIN_FILENO);
            posix_spawn_file_actions_adddup2(&actions, fromChild[1], STDOUT_FILENO);
        } else {
            posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
            posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
            posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
        }
        std::vector<char*> args;
        for (const std::string& arg : argv) args.push_back(const_cast<char*>(arg.c_str()));
        args.push_back(nullptr);
        if (posix_spawnp(&pid_, args[0], &actions, nullptr, args.data(), environ) != 0) pid_ = 0;
        posix_spawn_file_actions_destroy(&actions);
        for (int fd : {toChild[0], fromChild[1]})
            if (fd >= 0) ::close(fd);
        in_ = toChild[1];
        out_ = fromChild[0];
    }
    ~Process() {
        if (in_ >= 0) ::close(in_);
        if (out_ >= 0) ::close(out_);
        if (pid_ <= 0) return;
        ::kill(pid_, SIGTERM);
        ::waitpid(pid_, nullptr, 0);
    }
    Process(const Process&) = delete;
    Process& operator=(const Process&) = delete;

    pid_t pid() const { return pid_; }
    void send(const std::string& line) {
        const std::string text = line + "\n";
        if (in_ >= 0 && ::write(in_, text.data(), text.size()) != ssize_t(text.size())) {
            ::close(in_);
            in_ = -1;
        }
    }
    // The next line the child prints, waiting at most `timeout` seconds; nothing on time-out or end.
    std::optional<std::string> readLine(double timeout) {
        QElapsedTimer clock;
        clock.start();
        for (;;) {
            const std::size_t end = buffer_.find('\n');
            if (end != std::string::npos) {
                std::string line = buffer_.substr(0, end);
                buffer_.erase(0, end + 1);
                return line;
            }
            const int left = int(timeout * 1000) - int(clock.elapsed());
            pollfd wait{out_, POLLIN, 0};
            if (out_ < 0 || left <= 0 || ::poll(&wait, 1, left) <= 0) return std::nullopt;
            char chunk[4096];
            const ssize_t got = ::read(out_, chunk, sizeof chunk);
            if (got <= 0) return std::nullopt;
            buffer_.append(chunk, std::size_t(got));
        }
    }

private:
    pid_t pid_ = 0;
    int in_ = -1;
    int out_ = -1;
    std::string buffer_;
};

// mpv's JSON IPC on a Unix socket: one question, one answer.
class MpvIpc {
public:
    explicit MpvIpc(const std::string& path) {
        QElapsedTimer clock;
        clock.start();
        while (fd_ < 0 && clock.elapsed() < 30000) {
            const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
            sockaddr_un address{};
            address.sun_family = AF_UNIX;
            std::snprintf(address.sun_path, sizeof address.sun_path, "%s", path.c_str());
            if (::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0) {
                fd_ = fd;
                break;
            }
            ::close(fd);
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
    }
    ~MpvIpc() {
        if (fd_ >= 0) ::close(fd_);
    }
    bool connected() const { return fd_ >= 0; }

    // The property's value, or null.
    Json get(const std::string& property) {
        const int id = ++lastId_;
        const std::string request =
            Json{{"command", {"get_property", property}}, {"request_id", id}}.dump() + "\n";
        if (fd_ < 0 || ::write(fd_, request.data(), request.size()) != ssize_t(request.size())) return nullptr;
        QElapsedTimer clock;
        clock.start();
        while (clock.elapsed() < 5000) {
            const std::size_t end = buffer_.find('\n');
            if (end == std::string::npos) {
                pollfd wait{fd_, POLLIN, 0};
                if (::poll(&wait, 1, 100) <= 0) continue;
                char chunk[4096];
                const ssize_t got = ::read(fd_, chunk, sizeof chunk);
                if (got <= 0) return nullptr;
                buffer_.append(chunk, std::size_t(got));
                continue;
            }
            const Json reply = Json::parse(buffer_.substr(0, end), nullptr, false);
            buffer_.erase(0, end + 1);
            if (reply.is_object() && reply.value("request_id", -1) == id)
                return reply.value("error", "") == "success" ? reply["data"] : Json();
        }
        return nullptr;
    }
    std::int64_t count(const std::string& property) {
        const Json value = get(property);
        return value.is_number() ? value.get<std::int64_t>() : -1;
    }

private:
    int fd_ = -1;
    int lastId_ = 0;
    std::string buffer_;
};

// CPU seconds of a few processes together.
double cpuOf(const std::vector<pid_t>& pids) {
    double sum = 0.0;
    for (pid_t pid : pids) sum += std::max(0.0, processCpuSeconds(pid));
    return sum;
}

struct Sizes {
    int largeWidth = 0, largeHeight = 0, smallWidth = 0, smallHeight = 0;
};

// ---- Grabs of the screen -------------------------------------------------------------------------

struct ShownView {
    QRect picture;  // in screen coordinates
    int sourceWidth = 0, sourceHeight = 0;
    double fps = 0.0;
};

ShownView shownView(const Json& view) {
    ShownView shown;
    const int x = view["x"], y = view["y"], w = view["w"], h = view["h"];
    shown.sourceWidth = view["vw"];
    shown.sourceHeight = view["vh"];
    shown.fps = view["fps"];
    if (shown.sourceWidth <= 0 || shown.sourceHeight <= 0) return shown;
    // The picture is fitted into the view, centred, keeping its aspect.
    const double scale = std::min(double(w) / shown.sourceWidth, double(h) / shown.sourceHeight);
    const int width = int(std::lround(shown.sourceWidth * scale)), height = int(std::lround(shown.sourceHeight * scale));
    shown.picture = QRect(x + (w - width) / 2, y + (h - height) / 2, width, height);
    return shown;
}

// The frame number the view shows in a grab of `area`; -1 when it cannot be read.
int frameShown(const QImage& grab, const QRect& area, const ShownView& view) {
    const QImage gray = grab.copy(view.picture.translated(-area.topLeft())).convertToFormat(QImage::Format_Grayscale8);
    const ImageView image{gray.constBits(), gray.width(), gray.height(), int(gray.bytesPerLine()),
                          ImageView::Format::Gray8};
    const auto stamp = readFrameStamp(image, view.sourceWidth, view.sourceHeight);
    return stamp ? stamp->frame : -1;
}

struct GrabFigures {
    int grabs = 0, unread = 0, withinOne = 0, beyondTwo = 0;
    double meanMs = 0.0, p90Ms = 0.0, maxMs = 0.0, slowerFrameMs = 0.0;
};

// Grabs the area holding both views every 0.1 s for 5 s (each grab one request to the X server),
// then reads the two frames of each.
GrabFigures grabPair(const ShownView& first, const ShownView& second) {
    GrabFigures figures;
    QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen || first.picture.isEmpty() || second.picture.isEmpty()) return figures;
    const QRect area = first.picture.united(second.picture);
    std::vector<QImage> grabs;
    QElapsedTimer clock;
    clock.start();
    for (int i = 0; i < int(kGrabbing / kGrabInterval); ++i) {
        const qint64 due = qint64(i * kGrabInterval * 1000);
        if (clock.elapsed() < due) std::this_thread::sleep_for(std::chrono::milliseconds(due - clock.elapsed()));
        grabs.push_back(screen->grabWindow(0, area.x(), area.y(), area.width(), area.height()).toImage());
    }
    const double slower = 1.0 / std::min(first.fps, second.fps);
    figures.slowerFrameMs = slower * 1000.0;
    std::vector<double> apart;
    for (const QImage& grab : grabs) {
        ++figures.grabs;
        const int a = frameShown(grab, area, first), b = frameShown(grab, area, second);
        if (a < 0 || b < 0) {
            ++figures.unread;
            continue;
        }
        const double seconds = std::fabs(a / first.fps - b / second.fps);
        apart.push_back(seconds);
        figures.withinOne += seconds <= slower + 0.001 ? 1 : 0;
        figures.beyondTwo += seconds > 2 * slower + 0.001 ? 1 : 0;
    }
    if (apart.empty()) return figures;
    double sum = 0.0;
    for (double seconds : apart) sum += seconds;
    std::sort(apart.begin(), apart.end());
    figures.meanMs = sum / double(apart.size()) * 1000.0;
    figures.p90Ms = apart[std::min(apart.size() - 1, apart.size() * 9 / 10)] * 1000.0;
    figures.maxMs = apart.back() * 1000.0;
    return figures;
}

// ---- The benchmark ---------------------------------------------------------------------------------

struct Pair {
    std::string folder, front, rear;
    std::string error;
};

// The pair of `front` and `rear` in the bench media folder `name`, made once.
Pair benchPair(const std::string& name, const SampleEntry& front, const SampleEntry& rear) {
    Pair pair;
    pair.folder = benchMediaRoot() + "/" + name;
    pair.error = makeBenchCardOnce(pair.folder, {front, rear});
    pair.front = pair.folder + "/" + front.folder + "/" + front.name;
    pair.rear = pair.folder + "/" + rear.folder + "/" + rear.name;
    return pair;
}

const Pair& pairOf(int index) {
    static const Pair made[3] = {
        benchPair("pair130", benchCamera("F", "LONG0001F.MP4", SampleCamera::Front, 480, 270, 20, 130),
                  benchCamera("R", "LONG0001R.MP4", SampleCamera::Rear, 320, 180, 15, 130)),
        benchPair("hd1080-720", benchCamera("F", "HDP0001F.MP4", SampleCamera::Front, 1920, 1080, 30, 45),
                  benchCamera("R", "HDP0001R.MP4", SampleCamera::Rear, 1280, 720, 30, 45)),
        Pair{benchDriveCard().folder, benchDriveCard().front, benchDriveCard().rear, benchDriveCard().error}};
    return made[index];
}

std::string selfPath;

std::string rateText(float rate) {
    char text[16];
    const auto end = std::to_chars(text, text + sizeof text, rate, std::chars_format::fixed, 2).ptr;
    return std::string(text, end);
}

// Arguments: the pair (0 the sample card's cameras, 1 the 1080p front with the 720p rear, 2 the
// drive card's pair, which has positions), rate x 10, the web map shown (1) or the dashboard.
void BM_WindowBesideMpv(benchmark::State& state) {
    const Pair& pair = pairOf(int(state.range(0)));
    const bool map = state.range(2) == 1;
    if (!pair.error.empty()) return state.SkipWithError(pair.error.c_str());
    const float rate = float(state.range(1)) / 10.0f;
    const pid_t xServer = xServerPid();
    for (auto _ : state) {
        // The window program.
        Process window({selfPath, "--window", pair.folder, rateText(rate), map ? "map" : "dashboard"}, true);
        const auto ready = window.readLine(90.0);
        const Json views = ready ? Json::parse(*ready, nullptr, false) : Json();
        if (!views.contains("views")) return state.SkipWithError(("window: " + ready.value_or("no answer")).c_str());
        double cpu = cpuOf({window.pid()}), xCpu = cpuOf({xServer});
        QElapsedTimer clock;
        clock.start();
        std::this_thread::sleep_for(std::chrono::duration<double>(kMeasured));
        window.send("report");
        const double windowSeconds = double(clock.nsecsElapsed()) / 1e9;
        const double windowCpu = (cpuOf({window.pid()}) - cpu) / windowSeconds * 100.0;
        const double windowXCpu = (cpuOf({xServer}) - xCpu) / windowSeconds * 100.0;
        const double windowRss = residentMegabytes(window.pid());
        const auto reportLine = window.readLine(30.0);
        const Json report = reportLine ? Json::parse(*reportLine, nullptr, false) : Json();
        if (!report.contains("renders_per_s")) return state.SkipWithError("window: no report");
        const GrabFigures grabs = grabPair(shownView(views["views"][0]), shownView(views["views"][1]));
        window.send("report");
        const auto grabReportLine = window.readLine(30.0);
        const Json grabReport = grabReportLine ? Json::parse(*grabReportLine, nullptr, false) : Json();
        window.send("quit");

        // Two mpv processes at the sizes of the two views.
        const Json& large = views["views"][0];
        const Json& small = views["views"][1];
        std::vector<std::unique_ptr<Process>> players;
        std::vector<std::unique_ptr<MpvIpc>> ipc;
        const std::string sockets = std::filesystem::temp_directory_path().string() + "/cartena-bench-mpv-";
        const std::string geometry[2] = {
            std::to_string(int(large["w"])) + "x" + std::to_string(int(large["h"])) + "+0+0",
            std::to_string(int(small["w"])) + "x" + std::to_string(int(small["h"])) + "+" +
                std::to_string(int(large["w"]) + 10) + "+0"};
        const std::string files[2] = {pair.front, pair.rear};
        for (int i = 0; i < 2; ++i) {
            const std::string socket = sockets + std::to_string(::getpid()) + "-" + std::to_string(i);
            ::unlink(socket.c_str());
            players.push_back(std::make_unique<Process>(
                std::vector<std::string>{"mpv", "--no-config", "--vo=x11", "--ao=null", "--geometry=" + geometry[i],
                                         "--speed=" + rateText(rate), "--input-ipc-server=" + socket, files[i]},
                false));
            ipc.push_back(std::make_unique<MpvIpc>(socket));
            if (!ipc.back()->connected()) return state.SkipWithError("mpv: no IPC socket");
        }
        for (auto& connection : ipc) {
            QElapsedTimer started;
            started.start();
            for (Json time; !(time.is_number() && time.get<double>() > 0.2); time = connection->get("time-pos")) {
                if (started.elapsed() > 60000) return state.SkipWithError("mpv: did not start");
                std::this_thread::sleep_for(std::chrono::milliseconds(50));
            }
        }
        std::this_thread::sleep_for(std::chrono::duration<double>(kWarmUp));
        const std::vector<pid_t> pids = {players[0]->pid(), players[1]->pid()};
        auto mpvCounts = [&](std::int64_t& dropped, std::int64_t& delayed) {
            dropped = delayed = 0;
            for (auto& connection : ipc) {
                dropped += connection->count("frame-drop-count") + connection->count("decoder-frame-drop-count");
                delayed += connection->count("vo-delayed-frame-count");
            }
        };
        std::int64_t droppedBefore = 0, delayedBefore = 0, droppedAfter = 0, delayedAfter = 0;
        mpvCounts(droppedBefore, delayedBefore);
        cpu = cpuOf(pids);
        xCpu = cpuOf({xServer});
        clock.restart();
        std::this_thread::sleep_for(std::chrono::duration<double>(kMeasured));
        const double mpvSeconds = double(clock.nsecsElapsed()) / 1e9;
        const double mpvCpu = (cpuOf(pids) - cpu) / mpvSeconds * 100.0;
        const double mpvXCpu = (cpuOf({xServer}) - xCpu) / mpvSeconds * 100.0;
        const double mpvRss = residentMegabytes(pids[0]) + residentMegabytes(pids[1]);
        mpvCounts(droppedAfter, delayedAfter);
        ipc.clear();
        players.clear();

        state.SetIterationTime(windowSeconds + mpvSeconds);
        auto& c = state.counters;
        c["win_cpu_pct"] = windowCpu;
        c["mpv_cpu_pct"] = mpvCpu;
        c["cpu_ratio"] = windowCpu / mpvCpu;
        c["win_x_pct"] = windowXCpu;
        c["mpv_x_pct"] = mpvXCpu;
        c["win_rss_mb"] = windowRss;
        c["mpv_rss_mb"] = mpvRss;
        c["rss_ratio"] = windowRss / mpvRss;
        for (int i = 0; i < 2; ++i) {
            const std::string view = i == 0 ? "front_" : "rear_";
            c[view + "renders_s"] = report["renders_per_s"][i].get<double>();
            c[view + "paints_s"] = report["paints_per_s"][i].get<double>();
        }
        c["other_paints_s"] = report["other_paints_per_s"].get<double>();
        c["win_main_thread_pct"] = report["main_thread_cpu_pct"].get<double>();
        c["win_dropped"] = double(report["dropped"].get<std::int64_t>());
        c["win_late"] = double(report["delayed"].get<std::int64_t>());
        c["mpv_dropped"] = double(droppedAfter - droppedBefore);
        c["mpv_late"] = double(delayedAfter - delayedBefore);
        c["grabs"] = grabs.grabs;
        c["grabs_unread"] = grabs.unread;
        c["grabs_within_1_pct"] = grabs.grabs > grabs.unread ? 100.0 * grabs.withinOne / (grabs.grabs - grabs.unread) : 0;
        c["grabs_beyond_2"] = grabs.beyondTwo;
        c["apart_mean_ms"] = grabs.meanMs;
        c["apart_p90_ms"] = grabs.p90Ms;
        c["apart_max_ms"] = grabs.maxMs;
        c["slower_frame_ms"] = grabs.slowerFrameMs;
        c["players_apart_max_ms"] = report["players_apart_max_ms"].get<double>();
        c["grab_players_apart_max_ms"] = grabReport.value("players_apart_max_ms", -1.0);
    }
}
BENCHMARK(BM_WindowBesideMpv)
    ->ArgNames({"pair", "rate_x10", "map"})
    ->Args({0, 10, 0})->Args({0, 20, 0})->Args({1, 10, 0})->Args({1, 20, 0})->Args({2, 10, 0})->Args({2, 10, 1})
    ->Iterations(1)->UseManualTime()->Unit(benchmark::kSecond);

}  // namespace

int main(int argc, char** argv) {
    selfPath = std::filesystem::canonical("/proc/self/exe").string();
    if (argc == 5 && std::string(argv[1]) == "--window") {
        float rate = 1.0f;
        std::from_chars(argv[3], argv[3] + std::strlen(argv[3]), rate);
        pmPrepareWebEngineSandbox();  // as main() does, before the application
        return runWindow(argc, argv, argv[2], rate, std::string(argv[4]) == "map");
    }
    // Our own HOME, so that the window program's settings and log go to a scratch folder.
    const ScratchHome home;
    if (!home.made()) return 1;

    QGuiApplication application(argc, argv);
    std::setlocale(LC_NUMERIC, "C");
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
