#include "BenchMedia.h"

#include "tools/SampleTelemetry.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>

#include <unistd.h>

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

namespace {

// The front camera's text log beside its recording.
bool writeFrontLog(const SampleEntry& entry, const std::string& file, const std::string&, std::string& error) {
    if (entry.camera != SampleCamera::Front) return true;
    SampleTelemetrySpec spec;
    spec.drive = SampleDrive::Munich;
    spec.peakSecond = entry.seconds / 2;
    const std::string log = file.substr(0, file.rfind('.')) + ".txt";
    FILE* out = std::fopen(log.c_str(), "wb");
    const std::string text = sampleLogText(spec, entry, SampleCardDate{});
    const bool written = out != nullptr && std::fwrite(text.data(), 1, text.size(), out) == text.size();
    const bool closed = out != nullptr && std::fclose(out) == 0;
    if (written && closed) return true;
    error = "cannot write " + log;
    return false;
}

}  // namespace

const BenchDriveCard& benchDriveCard() {
    static const BenchDriveCard made = [] {
        BenchDriveCard card;
        card.folder = benchMediaRoot() + "/drive180";
        card.error = makeBenchCardOnce(card.folder,
                                       {benchCamera("DCIM/DriveF", "DRIV0001F.MP4", SampleCamera::Front, 480, 270, 20, 180),
                                        benchCamera("DCIM/DriveR", "DRIV0001R.MP4", SampleCamera::Rear, 320, 180, 15, 180)},
                                       {writeFrontLog});
        card.front = card.folder + "/DCIM/DriveF/DRIV0001F.MP4";
        card.rear = card.folder + "/DCIM/DriveR/DRIV0001R.MP4";
        return card;
    }();
    return made;
}

ScratchHome::ScratchHome() {
    std::string scratch = (std::filesystem::temp_directory_path() / "cartena-bench-XXXXXX").string();
    if (!::mkdtemp(scratch.data())) return;
    path_ = scratch;
    ::setenv("HOME", path_.c_str(), 1);
    ::unsetenv("XDG_CONFIG_HOME");
}

ScratchHome::~ScratchHome() {
    std::error_code ignored;
    if (made()) std::filesystem::remove_all(path_, ignored);
}
