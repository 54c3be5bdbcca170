// The AVI chunk walk with the record readers and the container length on arbitrary files. The
// first input byte chooses the recording length; the rest is the file.
#include "FuzzInput.h"
#include "telemetry/AviTelemetry.h"
#include "telemetry/RecordingLength.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    const int length = data[0];
    const std::string& path = fuzzFileWith(data + 1, size - 1);
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
