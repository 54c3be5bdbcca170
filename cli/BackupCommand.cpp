#include "cli/Commands.h"
#include "cli/PlaylistOptions.h"
#include "Utility/StringTables.h"
#include "outputs/Backup.h"

#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <charconv>
#include <chrono>
#include <cstdio>
#include <memory>
#include <thread>

namespace {

struct BackupCommandOptions {
    std::string target;
    std::vector<std::string> files;
    std::string card;
    PlaylistOptions playlist;
};

// Ctrl-C sets the running backup's cancel flag directly: a lock-free atomic store is safe in a
// signal handler, and the copy sees it after its current step.
std::atomic<bool>* gCancelFlag = nullptr;
static_assert(std::atomic<bool>::is_always_lock_free);

extern "C" void cancelOnInterrupt(int) {
    if (gCancelFlag) gCancelFlag->store(true);
}

std::string fixed(double value, int decimals) {
    char buffer[64];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, decimals);
    return {buffer, result.ptr};
}

// 1.23 GB, 85.3 MB, 512 kB: decimal units, as disks are sold.
std::string bytesText(double bytes) {
    if (bytes >= 1e9) return fixed(bytes / 1e9, 2) + " GB";
    if (bytes >= 1e6) return fixed(bytes / 1e6, 1) + " MB";
    return fixed(bytes / 1e3, 0) + " kB";
}

std::string durationText(double seconds) {
    const long whole = static_cast<long>(seconds + 0.5);
    char text[32];
    if (whole >= 3600) std::snprintf(text, sizeof text, "%ld:%02ld:%02ld", whole / 3600, whole / 60 % 60, whole % 60);
    else std::snprintf(text, sizeof text, "%ld:%02ld", whole / 60, whole % 60);
    return text;
}

// " 42%  1.23 GB of 2.90 GB  85.3 MB/s  0:21 left", drawn over itself on a terminal.
void drawProgressBar(std::uint64_t current, std::uint64_t total, double seconds) {
    const double rate = seconds > 0.2 ? double(current) / seconds : 0.0;
    const std::string left = rate > 0.0 && total >= current ? durationText(double(total - current) / rate) : "-:--";
    std::fprintf(stderr, "\r%3d%%  %s of %s  %s/s  %s left\x1b[K", pmBackupPercent(current, total),
                 bytesText(double(current)).c_str(), bytesText(double(total)).c_str(), bytesText(rate).c_str(),
                 left.c_str());
    std::fflush(stderr);
}

std::vector<std::string> recordingsToCopy(const BackupCommandOptions& options) {
    if (options.card.empty()) return options.files;
    const VideoLibrary library = pmScanPlaylist(options.card, pmPlaylistFilterOf(options.playlist));
    std::vector<std::string> paths;
    for (const AMediaFile& entry : library.playlist()) paths.push_back(entry.URL());
    return paths;
}

int runBackup(const BackupCommandOptions& options) {
    struct stat st {};
    if (::stat(options.target.c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) {
        std::fprintf(stderr, "cartena backup: no such folder: %s\n", options.target.c_str());
        return 1;
    }
    if (!options.card.empty() && (::stat(options.card.c_str(), &st) != 0 || !S_ISDIR(st.st_mode))) {
        std::fprintf(stderr, "cartena backup: no such folder: %s\n", options.card.c_str());
        return 1;
    }
    if (pmIsReadOnlyFolder(options.target)) {
        std::fprintf(stderr, "cartena backup: %s\n", pmGetString("IDS_ERR_FOLDER_READ_ONLY").c_str());
        return 1;
    }
    const std::vector<std::string> recordings = recordingsToCopy(options);
    std::uint64_t total = 0;
    for (const std::string& path : recordings) total += pmGetFileSize(path);

    BackupProgress progress;
    BackupResult result;
    gCancelFlag = &progress.canceled;
    struct sigaction interrupt {};
    interrupt.sa_handler = cancelOnInterrupt;
    sigemptyset(&interrupt.sa_mask);
    struct sigaction previous {};
    ::sigaction(SIGINT, &interrupt, &previous);

    const auto start = std::chrono::steady_clock::now();
    auto elapsed = [&] { return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count(); };
    std::atomic<bool> finished{false};
    std::thread worker([&] {
        result = pmRunBackup(recordings, options.target, progress);
        finished = true;
    });
    const bool bar = ::isatty(STDERR_FILENO) != 0;
    while (!finished) {
        if (bar) drawProgressBar(progress.lCurrentSize, total, elapsed());
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
    }
    worker.join();
    ::sigaction(SIGINT, &previous, nullptr);
    gCancelFlag = nullptr;
    if (bar) {
        drawProgressBar(progress.lCurrentSize, total, elapsed());
        std::fputc('\n', stderr);
    }

    switch (result.status) {
        case BackupResult::Status::Done:
            std::printf("Backed up %d recordings and %d logs to %s (%s in %s)\n", result.recordingsCopied,
                        result.logsCopied, options.target.c_str(), bytesText(double(progress.lCurrentSize)).c_str(),
                        durationText(elapsed()).c_str());
            return 0;
        case BackupResult::Status::Canceled:
            std::fprintf(stderr, "cartena backup: cancelled after %d of %zu recordings; nothing partial was left\n",
                         result.recordingsCopied, recordings.size());
            return 130;
        case BackupResult::Status::Failed:
            break;
    }
    std::fprintf(stderr, "cartena backup: %s\n", pmBackupMessage(result).c_str());
    return 1;
}

}  // namespace

void addBackupCommand(CLI::App& app, int& exitCode) {
    auto options = std::make_shared<BackupCommandOptions>();
    CLI::App* command = app.add_subcommand(
        "backup",
        "Back up recordings with their telemetry logs into a folder, as the window's Back Up does: modification "
        "times and modes kept, nothing half-written left behind, a recording already there replaced, a log "
        "already there kept. The first recording that cannot be copied stops the backup.");
    command->add_option("--to", options->target, "The folder to copy into (it must exist)")->required();
    CLI::Option* files = command->add_option("FILE", options->files, "Recordings to copy, in this order");
    CLI::Option* from = command->add_option("--from", options->card,
                                            "Copy the playlist of this card instead, in date order, chosen with the "
                                            "options below as `cartena scan` chooses it");
    files->excludes(from);
    addPlaylistOptions(*command, options->playlist);
    command->footer(
        "Exit codes: 0 all copied, 1 a failure (one line on standard error), 2 bad usage, 130 cancelled with "
        "Ctrl-C. A progress bar is drawn on standard error when it is a terminal.");
    command->callback([options, &exitCode] {
        const PlaylistOptions& playlist = options->playlist;
        if (options->files.empty() && options->card.empty())
            throw CLI::ValidationError("backup", "name recordings to copy, or a card with --from");
        if (options->card.empty() && (!playlist.day.empty() || playlist.normal || playlist.event || playlist.parking))
            throw CLI::ValidationError("backup", "--day, --normal, --event and --parking choose from a card: add --from");
        exitCode = runBackup(*options);
    });
}
