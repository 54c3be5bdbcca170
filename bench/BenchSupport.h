#pragma once
#include "tools/SampleCard.h"

#include <QCoreApplication>
#include <QElapsedTimer>

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

// What the window and player benchmarks share: their recordings and a finer event-loop wait.

// Runs the event loop until `done` holds or `timeout` seconds pass, looking at least every
// millisecond (the tests' helper sleeps in slices too coarse to time an open).
inline bool spinUntil(const std::function<bool()>& done, double timeout = 30.0) {
    QElapsedTimer clock;
    clock.start();
    while (!done()) {
        if (clock.elapsed() > qint64(timeout * 1000)) return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 1);
    }
    return true;
}

// The benchmarks' recordings live in the build tree's "bench-media" folder, each set made once and
// kept.
inline std::string benchMediaFolder() { return std::string(CARTENA_BUILD_DIR) + "/bench-media"; }

// Makes the recordings into `folder` unless it exists (written beside it, then renamed); returns
// an error text, empty on success.
inline std::string makeOnce(const std::string& folder, const std::vector<SampleEntry>& entries,
                            std::vector<SampleRecordingHook> hooks = {}) {
    std::error_code ec;
    if (std::filesystem::is_directory(folder, ec)) return {};
    std::filesystem::create_directories(std::filesystem::path(folder).parent_path(), ec);
    const std::string partial = folder + ".part";
    std::filesystem::remove_all(partial, ec);
    SampleCardOptions options;
    options.threads = 2;
    options.recordingHooks = std::move(hooks);
    const SampleCardResult made = makeSampleCard(partial, options, entries);
    if (!made.ok) return made.error;
    std::filesystem::rename(partial, folder, ec);
    return ec ? ec.message() : std::string();
}
