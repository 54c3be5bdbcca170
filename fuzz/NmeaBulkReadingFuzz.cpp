// The bulk reading of a text log against the byte-wise one, its reference: the same samples, sample
// times, flags, extremes and problems on any input, however the input is cut into blocks.
#include "telemetry/GpsParser.h"

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

bool same(float a, float b) { return std::bit_cast<std::uint32_t>(a) == std::bit_cast<std::uint32_t>(b); }
bool same(double a, double b) { return std::bit_cast<std::uint64_t>(a) == std::bit_cast<std::uint64_t>(b); }

bool sameSample(const GpsData& a, const GpsData& b) {
    return same(a.fLatitude(), b.fLatitude()) && same(a.fLongitude(), b.fLongitude()) && same(a.fSpeed(), b.fSpeed()) &&
           same(a.fDirection(), b.fDirection()) && same(a.dAltitude(), b.dAltitude()) &&
           a.nSensorX() == b.nSensorX() && a.nSensorY() == b.nSensorY() && a.nSensorZ() == b.nSensorZ() &&
           same(a.fGSensorX(), b.fGSensorX()) && same(a.fGSensorY(), b.fGSensorY()) && same(a.fGSensorZ(), b.fGSensorZ());
}

bool sameIssue(const GpsParseIssue& a, const GpsParseIssue& b) {
    if (a.line != b.line || (a.message == nullptr) != (b.message == nullptr)) return false;
    return a.message == nullptr || std::strcmp(a.message, b.message) == 0;
}

bool sameReading(const Reading& a, const Reading& b) {
    const GpsList& x = a.list;
    const GpsList& y = b.list;
    if (x.GetDataCount() != y.GetDataCount() || a.times != b.times || x.bGps() != y.bGps() ||
        x.bSenser() != y.bSenser() || !same(x.fMaxGValue(), y.fMaxGValue()) || !same(x.fMinGValue(), y.fMinGValue()) ||
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
    return 0;
}
