// The text log parser on arbitrary bytes: no crash, no undefined behaviour, a track whose extremes
// keep their signs; and the bulk reading against the byte-wise one, its reference: the same
// samples, sample times, flags, extremes and problems, however the input is cut into blocks.
#include "telemetry/GpsParser.h"

#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <functional>
#include <string_view>
#include <vector>

namespace {

struct Reading {
    GpsList list;
    std::vector<std::int64_t> times;
    GpsParser parser;
    Reading() { parser.setSampleTimes(&times); parser.reset(&list); }
};

std::uint64_t bits(float v) { return std::bit_cast<std::uint32_t>(v); }
std::uint64_t bits(double v) { return std::bit_cast<std::uint64_t>(v); }

// Everything a reading leaves, floats bit for bit (so that two NaN compare equal and 0 and -0 do not).
std::vector<std::uint64_t> fingerprint(const Reading& r) {
    const GpsList& l = r.list;
    const GpsParseIssue issue = r.parser.firstIssue();
    std::vector<std::uint64_t> out = {
        l.gpslist().size(), r.times.size(), l.bGps(), l.bSenser(), bits(l.fMaxGValue()), bits(l.fMinGValue()),
        std::uint64_t(l.nMaxGIndex()), std::uint64_t(l.nMinGIndex()), std::uint64_t(issue.line),
        issue.message ? std::hash<std::string_view>{}(issue.message) : 0, std::uint64_t(r.parser.issueCount()),
        std::uint64_t(r.parser.lineCount())};
    out.insert(out.end(), r.times.begin(), r.times.end());
    for (const GpsData& s : l.gpslist())
        out.insert(out.end(), {bits(s.fLatitude()), bits(s.fLongitude()), bits(s.fSpeed()), bits(s.fDirection()),
                               bits(s.dAltitude()), bits(s.fGSensorX()), bits(s.fGSensorY()), bits(s.fGSensorZ()),
                               std::uint64_t(s.nSensorX()), std::uint64_t(s.nSensorY()), std::uint64_t(s.nSensorZ())});
    return out;
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
    if (fingerprint(byteWise) != fingerprint(bulk)) std::abort();

    // One block, as a log in memory is read.
    Reading whole;
    whole.parser.ParseBuffer(text, size, &whole.list);
    if (fingerprint(byteWise) != fingerprint(whole)) std::abort();
    if (whole.list.GetMaxGValue() < 0.0f || whole.list.GetMinGValue() > 0.0f) std::abort();
    if (whole.times.size() > static_cast<std::size_t>(whole.list.GetDataCount())) std::abort();
    whole.list.SyncVideoDuration(whole.list.GetDataCount() + 3);
    return 0;
}
