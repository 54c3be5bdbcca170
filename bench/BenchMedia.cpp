#include "BenchMedia.h"

#include <filesystem>

std::string benchMediaRoot() { return std::string(CARTENA_BUILD_DIR) + "/bench-media"; }

SampleEntry benchCamera(const char* folder, const char* name, SampleCamera which, int width, int height, int fps,
                        int seconds) {
    SampleEntry entry;
    entry.folder = folder;
    entry.name = name;
    entry.seconds = seconds;
    entry.fps = fps;
    entry.width = width;
    entry.height = height;
    entry.camera = which;
    entry.label = which == SampleCamera::Front ? "FRONT CAM" : "REAR CAM";
    return entry;
}

std::string makeBenchCardOnce(const std::string& folder, const std::vector<SampleEntry>& entries,
                              std::vector<SampleRecordingHook> hooks) {
    std::error_code ec;
    if (std::filesystem::is_directory(folder, ec)) return {};
    std::filesystem::create_directories(std::filesystem::path(folder).parent_path(), ec);
    // Made under another name and renamed, so that an interrupted run leaves no half card.
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
