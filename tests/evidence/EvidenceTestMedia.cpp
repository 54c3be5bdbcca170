#include "tests/evidence/EvidenceTestMedia.h"

#include "support/RunCommand.h"
#include "support/SampleCardFixture.h"
#include "tools/SampleCard.h"
#include "tools/SampleTelemetry.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace {

SampleEntry recording(const char* folder, const char* name, int fps, int width, int height, SampleCamera camera,
                      const char* label) {
    SampleEntry entry;
    entry.folder = folder;
    entry.name = name;
    entry.timeOfDay = 8 * 3600;
    entry.seconds = 6;
    entry.fps = fps;
    entry.width = width;
    entry.height = height;
    entry.camera = camera;
    entry.label = label;
    entry.event = true;
    entry.writeProtected = true;
    return entry;
}

std::string frontLog(const SampleEntry&, const SampleCardDate& firstDay) {
    SampleTelemetrySpec spec;
    spec.recording = evidenceFrontEntry().relativePath();
    spec.log = SampleLogPlace::Beside;
    spec.peakSecond = 3;
    return sampleLogText(spec, evidenceFrontEntry(), firstDay);
}

std::string makeOwnMedia() {
    const std::string pattern = temporaryFolderRemovedAtExit("cartena-evidence");
    if (pattern.empty()) return {};
    std::string error;
    if (!makeEvidenceTestMedia(pattern + "/media", error)) ADD_FAILURE() << "making the evidence media failed: " << error;
    return pattern + "/media";
}

}  // namespace

const SampleEntry& evidenceFrontEntry() {
    static const SampleEntry entry = recording("EventF", "EVEN0001F.MP4", 10, 1280, 544, SampleCamera::Front, "FRONT CAM");
    return entry;
}

const SampleEntry& evidenceRearEntry() {
    static const SampleEntry entry = recording("EventR", "EVEN0001R.MP4", 15, 640, 360, SampleCamera::Rear, "REAR CAM");
    return entry;
}

bool makeEvidenceTestMedia(const std::string& folder, std::string& error) {
    SampleEntry log;
    log.kind = SampleKind::TextFile;
    log.folder = "EventF";
    log.name = "EVEN0001F.log";
    log.timeOfDay = 8 * 3600;
    log.makeText = frontLog;
    const SampleCardResult made = makeSampleCard(folder, {}, {evidenceFrontEntry(), evidenceRearEntry(), log});
    if (!made.ok) {
        error = made.error;
        return false;
    }
    std::filesystem::create_directories(folder + "/Sound");
    for (const auto& [path, codec] : {std::pair{kEvidencePcmRecording, "pcm_s16le"}, {kEvidenceAacRecording, "aac"}}) {
        const CommandResult ffmpeg = runCommand(
            {"ffmpeg", "-v", "error", "-f", "lavfi", "-i", "testsrc=size=320x180:rate=15:duration=6", "-f", "lavfi",
             "-i", "sine=frequency=440:sample_rate=32000:duration=6", "-c:v", "libx264", "-preset", "ultrafast",
             "-c:a", codec, folder + "/" + path});
        if (ffmpeg.exitCode != 0) {
            error = "ffmpeg: " + ffmpeg.err;
            return false;
        }
    }
    return true;
}

const std::string& evidenceTestMedia() {
    static const std::string folder = [] {
        std::error_code ec;
        return std::filesystem::is_directory(CARTENA_EVIDENCE_MEDIA, ec) ? std::string(CARTENA_EVIDENCE_MEDIA)
                                                                         : makeOwnMedia();
    }();
    return folder;
}
