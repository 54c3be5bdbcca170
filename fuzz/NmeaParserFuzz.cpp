// The text log parser on arbitrary bytes: no crash, no undefined behaviour, and a track whose
// extremes keep their signs.
#include "telemetry/GpsParser.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    GpsList list;
    GpsParser parser;
    std::vector<std::int64_t> times;
    parser.setSampleTimes(&times);
    parser.ParseBuffer(reinterpret_cast<const char*>(data), size, &list);
    if (list.GetMaxGValue() < 0.0f || list.GetMinGValue() > 0.0f) std::abort();
    if (times.size() > static_cast<std::size_t>(list.GetDataCount())) std::abort();
    list.SyncVideoDuration(list.GetDataCount() + 3);
    return 0;
}
