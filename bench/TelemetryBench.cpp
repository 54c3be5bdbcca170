// Text log parsing and AVI telemetry loading: speed, heap use and bytes read from the file.
#include "Utility/FileReader.h"
#include "telemetry/AviTelemetry.h"
#include "telemetry/GpsParser.h"

#include <benchmark/benchmark.h>

#include <fcntl.h>
#include <unistd.h>

#include <atomic>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <new>
#include <string>

// Every heap allocation of the process is counted, so that a parse can be shown to allocate
// nothing per sentence.
static std::atomic<std::uint64_t> gAllocations{0};

void* operator new(std::size_t size) {
    gAllocations.fetch_add(1, std::memory_order_relaxed);
    if (void* p = std::malloc(size ? size : 1)) return p;
    throw std::bad_alloc();
}
void* operator new[](std::size_t size) { return operator new(size); }
void operator delete(void* p) noexcept { std::free(p); }
void operator delete[](void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
void operator delete[](void* p, std::size_t) noexcept { std::free(p); }

namespace {

std::string withChecksum(const std::string& body) {
    unsigned sum = 0;
    for (char c : body) sum ^= static_cast<unsigned char>(c);
    char tail[8];
    std::snprintf(tail, sizeof tail, "*%02X\r\n", sum);
    return "$" + body + tail;
}

// A camera's log: per second RMC, GGA, GSA, three GSV and a G-sensor line.
std::string realisticLog(int seconds) {
    std::string log;
    char body[256];
    for (int s = 0; s < seconds; ++s) {
        const double minutes = 7.038 + s * 0.0031;
        const int hh = 10, mm = 15 + s / 60, ss = s % 60;
        std::snprintf(body, sizeof body, "GPRMC,%02d%02d%02d.00,A,48%07.4f,N,011%07.4f,E,%.3f,%.1f,010524,,,A", hh, mm,
                      ss, minutes, minutes + 24, 20 + 5 * std::sin(s / 7.0), std::fmod(84.4 + s, 360.0));
        log += withChecksum(body);
        std::snprintf(body, sizeof body, "GPGGA,%02d%02d%02d.00,48%07.4f,N,011%07.4f,E,1,09,0.9,%.1f,M,47.0,M,,", hh,
                      mm, ss, minutes, minutes + 24, 520 + std::sin(s / 11.0) * 4);
        log += withChecksum(body);
        log += withChecksum("GPGSA,A,3,04,05,09,12,17,24,25,,,,,,2.5,1.3,2.1");
        log += withChecksum("GPGSV,3,1,11,04,40,083,46,05,17,308,41,09,08,054,39,12,62,211,44");
        log += withChecksum("GPGSV,3,2,11,17,33,142,43,24,18,236,40,25,74,008,47,29,05,322,");
        log += withChecksum("GPGSV,3,3,11,31,12,175,35,32,27,265,40,33,,,");
        std::snprintf(body, sizeof body, "$GSENSOR,%02x,%02x,%02x\r\n", s & 0x0F, (256 - (s & 7)) & 0xFF, 3);
        log += body;
    }
    return log;
}

// The parser alone over log text in memory: lines found in bulk.
void BM_NmeaParseBuffer(benchmark::State& state) {
    const std::string log = realisticLog(int(state.range(0)));
    std::uint64_t sentences = 0;
    for (char c : log) sentences += c == '$';
    GpsList list;
    GpsParser parser;
    std::uint64_t allocations = 0;
    for (auto _ : state) {
        list.ClearAllData();
        const std::uint64_t before = gAllocations.load();
        parser.ParseBuffer(log.data(), log.size(), &list);
        allocations += gAllocations.load() - before;
        benchmark::DoNotOptimize(list.GetDataCount());
    }
    state.SetBytesProcessed(std::int64_t(state.iterations() * log.size()));
    state.counters["sentences"] = double(sentences);
    // The track is reserved from the log's size: one allocation per parse, none per sentence.
    state.counters["allocs_per_parse"] = double(allocations) / double(state.iterations());
    state.counters["allocs_per_sentence"] = double(allocations) / double(state.iterations() * sentences);
}
BENCHMARK(BM_NmeaParseBuffer)->Arg(180)->Arg(3600);

// The same log handed to the parser byte by byte, the reading that the bulk one must match.
void BM_NmeaParseByteWise(benchmark::State& state) {
    const std::string log = realisticLog(int(state.range(0)));
    GpsList list;
    GpsParser parser;
    for (auto _ : state) {
        list.ClearAllData();
        parser.reset(&list);
        for (char c : log) parser.ProcessChar(static_cast<unsigned char>(c));
        parser.finish();
        benchmark::DoNotOptimize(list.GetDataCount());
    }
    state.SetBytesProcessed(std::int64_t(state.iterations() * log.size()));
}
BENCHMARK(BM_NmeaParseByteWise)->Arg(180)->Arg(3600);

// A plain read of the same bytes: every byte looked at, the sentence starts counted.
void BM_NmeaCountSentenceStarts(benchmark::State& state) {
    const std::string log = realisticLog(int(state.range(0)));
    for (auto _ : state) {
        const char* bytes = log.data();
        benchmark::DoNotOptimize(bytes);
        std::size_t starts = 0;
        for (std::size_t i = 0; i < log.size(); ++i) starts += bytes[i] == '$';
        benchmark::DoNotOptimize(starts);
    }
    state.SetBytesProcessed(std::int64_t(state.iterations() * log.size()));
}
BENCHMARK(BM_NmeaCountSentenceStarts)->Arg(180)->Arg(3600);

// A three-minute log end to end: opening and reading the file, parsing, the track.
void BM_NmeaParseFile3Minutes(benchmark::State& state) {
    const std::string path = (std::filesystem::temp_directory_path() / "cartena-bench-3min.log").string();
    const std::string log = realisticLog(180);
    {
        std::FILE* file = std::fopen(path.c_str(), "wb");
        if (!file || std::fwrite(log.data(), 1, log.size(), file) != log.size()) {
            state.SkipWithError("cannot write the log");
            if (file) std::fclose(file);
            return;
        }
        std::fclose(file);
    }
    for (auto _ : state) {
        GpsList list;
        GpsParser parser;
        if (!parser.ParseFile(path, &list) || list.GetDataCount() != 180) state.SkipWithError("parse failed");
    }
    state.SetBytesProcessed(std::int64_t(state.iterations() * log.size()));
    state.counters["log_bytes"] = double(log.size());
    std::filesystem::remove(path);
}
BENCHMARK(BM_NmeaParseFile3Minutes)->Unit(benchmark::kMicrosecond);

void put32(std::string& out, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) out += char(v >> (8 * i) & 0xFF);
}

// A 1 GiB AVI whose media and index are holes: header lists, a 1 GiB movi list, a 16 MiB idx1
// and three minutes of SLLT and SGLT records directly behind it.
struct SparseAvi {
    std::string path;
    std::uint64_t tailStart = 0;
    std::uint64_t tailSize = 0;
    bool ok = false;
};

SparseAvi makeSparseAvi(bool withTelemetry) {
    SparseAvi avi;
    avi.path = (std::filesystem::temp_directory_path() /
                (withTelemetry ? "cartena-bench-1g.avi" : "cartena-bench-1g-empty.avi")).string();
    const std::uint32_t movie = 1u << 30, index = 16u << 20;
    std::string head = "RIFF";
    put32(head, 0);
    head += "AVI LIST";
    put32(head, 4 + 8 + 56);
    head += "hdrlavih";
    put32(head, 56);
    head += std::string(56, '\0');
    head += "JUNK";
    put32(head, 1024);
    head += std::string(1024, '\0');
    head += "LIST";
    put32(head, movie);
    head += "movi";
    const std::uint64_t indexAt = head.size() - 4 + movie;
    std::string tail;
    if (withTelemetry) {
        tail += "SLLT";
        put32(tail, 180 * 28);
        for (int s = 0; s < 180; ++s) {
            std::string record(28, '\0');
            record[5] = 0, record[6] = 11, record[11] = 0, record[12] = 48, record[20] = char(40 + s % 20);
            tail += record;
        }
        tail += "SGLT";
        put32(tail, 180 * 20);
        tail += std::string(180 * 20, '\x01');
    }
    avi.tailStart = indexAt + 8 + index;
    avi.tailSize = tail.size();
    std::string indexHead = "idx1";
    put32(indexHead, index);
    const std::uint64_t total = avi.tailStart + tail.size();
    const std::uint32_t riff = std::uint32_t(std::min<std::uint64_t>(total - 8, 0xFFFFFFFFu));
    head.replace(4, 4, std::string{char(riff), char(riff >> 8), char(riff >> 16), char(riff >> 24)});
    const int fd = ::open(avi.path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0) return avi;
    avi.ok = ::ftruncate(fd, off_t(total)) == 0 && ::pwrite(fd, head.data(), head.size(), 0) == ssize_t(head.size()) &&
             ::pwrite(fd, indexHead.data(), 8, off_t(indexAt)) == 8 &&
             (tail.empty() || ::pwrite(fd, tail.data(), tail.size(), off_t(avi.tailStart)) == ssize_t(tail.size()));
    ::close(fd);
    return avi;
}

// What the loader does for an AVI without a log, with the bytes that reach the file layer.
void BM_AviTelemetry1GiB(benchmark::State& state) {
    const SparseAvi full = makeSparseAvi(true), empty = makeSparseAvi(false);
    if (!full.ok || !empty.ok) {
        state.SkipWithError("cannot make the sparse AVI");
        return;
    }
    // Headers: with nothing behind the index both readers walk the headers only and fail.
    FileReader::resetTotals();
    GpsList list;
    if (pmParseAviGpsSenser(empty.path, &list, 180) || pmParseAviSensor(empty.path, &list))
        state.SkipWithError("telemetry in the empty file");
    const double headerBytesPerWalk = double(FileReader::totalBytesRead()) / 2.0;

    std::uint64_t bytes = 0, calls = 0;
    for (auto _ : state) {
        list.ClearAllData();
        FileReader::resetTotals();
        if (!pmParseAviGpsSenser(full.path, &list, 180) || list.GetDataCount() != 180)
            state.SkipWithError("telemetry not found");
        bytes = FileReader::totalBytesRead();
        calls = FileReader::totalReadCalls();
    }
    // Two walks (positions, then G-sensor records) each read the headers once.
    const double behindIndex = double(bytes) - 2 * headerBytesPerWalk;
    state.counters["file_MiB"] = double(full.tailStart + full.tailSize) / (1 << 20);
    state.counters["header_bytes_per_walk"] = headerBytesPerWalk;
    state.counters["bytes_read"] = double(bytes);
    state.counters["read_calls"] = double(calls);
    state.counters["tail_bytes"] = double(full.tailSize);
    state.counters["reads_per_tail_byte"] = behindIndex / double(full.tailSize);
    if (headerBytesPerWalk > 4096 || behindIndex > 2.0 * double(full.tailSize))
        state.SkipWithError("read more than the headers and twice the telemetry");
    std::filesystem::remove(full.path);
    std::filesystem::remove(empty.path);
}
BENCHMARK(BM_AviTelemetry1GiB)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
