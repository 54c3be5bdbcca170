// Writes starting inputs for the probe fuzzers: well-formed files of the kinds a card holds, made
// by the test builders. Usage: make_probe_seeds AVI_DIR MOV_DIR
#include "support/ContainerBuilder.h"

#include <filesystem>
#include <string>

int main(int argc, char** argv) {
    if (argc != 3) return 2;
    const std::string aviDir = argv[1], movDir = argv[2];
    std::filesystem::create_directories(aviDir);
    std::filesystem::create_directories(movDir);

    int n = 0;
    for (const char* handler : {"H264", "MJPG", "XVID"}) {
        containers::AviOptions avi;
        avi.handler = handler;
        avi.size = 512;
        containers::FileImage image = containers::aviImage(avi);
        if (!containers::writeImage(aviDir + "/seed" + std::to_string(n++), image)) return 1;
    }

    auto writeMovie = [&](containers::Mp4Options options) {
        options.mediaBytes = 2100;  // past the size limit, small enough to mutate
        return containers::writeImage(movDir + "/seed" + std::to_string(n++), containers::mp4Image(options));
    };
    containers::Mp4Options plain;
    containers::Mp4Options faststart;
    faststart.moovFirst = true;
    containers::Mp4Options large;
    large.largeMdat = true;
    containers::Mp4Options audioFirst;
    audioFirst.audioFirst = true;
    audioFirst.moovFirst = true;
    containers::Mp4Options quickTime;
    quickTime.majorBrand = "qt  ";
    quickTime.duration = 150;
    for (const auto& options : {plain, faststart, large, audioFirst, quickTime})
        if (!writeMovie(options)) return 1;
    return 0;
}
