// The text log parser on arbitrary bytes: no crash, no undefined behaviour, a track whose extremes
// keep their signs; and the bulk reading against the byte-wise one, its reference: the same
// samples, sample times, flags, extremes and problems, however the input is cut into blocks.
#include "telemetry/GpsParser.h"

#include <array>
#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

struct Reading {
    GpsList list;
    std::vector<std::int64_t> times;
    GpsParser parser;
    Reading() { parser.setSampleTimes(&times); parser.reset(&list); }
};

// Bit for bit, so that two NaN compare equal and 0 and -0 do not.
std::uint64_t bits(float v) { return std::bit_cast<std::uint32_t>(v); }
std::uint64_t bits(double v) { return std::bit_cast<std::uint64_t>(v); }

bool sameSample(const GpsData& a, const GpsData& b) {
    const auto fields = [](const GpsData& s) {
        return std::array<std::uint64_t, 11>{bits(s.fLatitude()),  bits(s.fLongitude()), bits(s.fSpeed()),
                                             bits(s.fDirection()), bits(s.dAltitude()),  bits(s.fGSensorX()),
                                             bits(s.fGSensorY()),  bits(s.fGSensorZ()),  std::uint64_t(s.nSensorX()),
                                             std::uint64_t(s.nSensorY()), std::uint64_t(s.nSensorZ())};
    };
    return fields(a) == fields(b);
}

bool sameIssue(const GpsParseIssue& a, const GpsParseIssue& b) {
    if (a.line != b.line || (a.message == nullptr) != (b.message == nullptr)) return false;
    return a.message == nullptr || std::strcmp(a.message, b.message) == 0;
}

bool sameReading(const Reading& a, const Reading& b) {
    const GpsList& x = a.list;
    const GpsList& y = b.list;
    if (x.GetDataCount() != y.GetDataCount() || a.times != b.times || x.bGps() != y.bGps() ||
        x.bSenser() != y.bSenser() || bits(x.fMaxGValue()) != bits(y.fMaxGValue()) ||
        bits(x.fMinGValue()) != bits(y.fMinGValue()) ||
        x.nMaxGIndex() != y.nMaxGIndex() || x.nMinGIndex() != y.nMinGIndex())
        return false;
    for (int i = 0; i < x.GetDataCount(); ++i)
        if (!sameSample(x.gpslist()[std::size_t(i)], y.gpslist()[std::size_t(i)])) return false;
    return sameIssue(a.parser.firstIssue(), b.parser.firstIssue()) && a.parser.issueCount() == b.parser.issueCount() &&
           a.parser.lineCount() == b.parser.lineCount();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    Reading byteWise;
    for (std::size_t i = 0; i < size; ++i) byteWise.parser.ProcessChar(data[i]);
    byteWise.parser.finish();

    // Three blocks, cut where the input's last two bytes say.
    const auto* text = reinterpret_cast<const char*>(data);
    const std::size_t first = size > 0 ? size * data[size - 1] / 256 : 0;
    const std::size_t second = size > 1 ? first + (size - first) * data[size - 2] / 256 : first;
    Reading bulk;
    bulk.parser.ProcessBytes(text, first);
    bulk.parser.ProcessBytes(text + first, second - first);
    bulk.parser.ProcessBytes(text + second, size - second);
    bulk.parser.finish();
    if (!sameReading(byteWise, bulk)) std::abort();

    // One block, as a log in memory is read.
    Reading whole;
    whole.parser.ParseBuffer(text, size, &whole.list);
    if (!sameReading(byteWise, whole)) std::abort();
    if (whole.list.GetMaxGValue() < 0.0f || whole.list.GetMinGValue() > 0.0f) std::abort();
    if (whole.times.size() > static_cast<std::size_t>(whole.list.GetDataCount())) std::abort();
    whole.list.SyncVideoDuration(whole.list.GetDataCount() + 3);
    return 0;
}
