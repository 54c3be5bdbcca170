// The AVI chunk walk with both record readers and the container length on arbitrary files. The
// first input byte chooses the recording length; the rest is the file.
#include "telemetry/AviTelemetry.h"
#include "telemetry/RecordingLength.h"

#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

std::string scratchFile() {
    char path[] = "/tmp/cartena-avi-fuzz-XXXXXX";
    const int fd = ::mkstemp(path);
    if (fd < 0) std::abort();
    ::close(fd);
    return path;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const std::string path = scratchFile();
    if (size == 0) return 0;
    const int length = data[0];
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr) std::abort();
    if (size > 1) std::fwrite(data + 1, 1, size - 1, file);
    std::fclose(file);

    GpsList list;
    if (!pmParseAviGpsSenser(path, &list, length)) pmParseAviSensor(path, &list);
    // Records never outnumber what the file could hold, beyond the padding to the length.
    if (list.GetDataCount() > length + static_cast<int>(size / 20) + 1) std::abort();
    if (list.GetMaxGValue() < 0.0f || list.GetMinGValue() > 0.0f) std::abort();
    GpsList merged;
    pmParseSyntekAviSenser(path, &merged, length);
    if (const auto seconds = pmGetRecordingLength(path); seconds && (*seconds < 0 || *seconds > kMaxRecordingLength))
        std::abort();
    return 0;
}
