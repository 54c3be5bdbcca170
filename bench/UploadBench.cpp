// The upload's memory: a 1 GiB sparse recording sent to the tests' stand-in for the services, as
// the editor sends it (Facebook's multipart body streamed from the file), after a 1 MiB one. The
// process's peak resident memory after each shows whether the body was ever held whole.
#include "platform/QtHttpClient.h"
#include "sharing/UploadBatch.h"
#include "support/LocalHttpServer.h"

#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QEventLoop>

#include <sys/resource.h>

#include <filesystem>
#include <fstream>
#include <optional>

namespace {

double peakResidentMiB() {
    rusage usage{};
    ::getrusage(RUSAGE_SELF, &usage);
    return double(usage.ru_maxrss) / 1024.0;
}

// Uploads one sparse recording of `size` bytes; false when the stand-in did not take it whole.
bool uploadSparse(HttpClient& http, const SharingServices& services, std::uint64_t size) {
    const std::string path = (std::filesystem::temp_directory_path() / "cartena-upload-bench.MP4").string();
    std::filesystem::remove(path);
    std::ofstream(path).flush();
    std::filesystem::resize_file(path, size);
    UploadBatch batch(http, services, {kVideoWebsiteFacebook, "EAAGbench", ""});
    std::optional<bool> ended;
    QEventLoop loop;
    batch.upload({{path, "bench", ""}}, [&](bool uploaded) {
        ended = uploaded;
        loop.quit();
    });
    if (!ended) loop.exec();
    std::filesystem::remove(path);
    return ended.value_or(false);
}

void BM_UploadPeakMemory(benchmark::State& state) {
    int argc = 1;
    char name[] = "upload_bench", *argv[] = {name, nullptr};
    QCoreApplication application(argc, argv);
    LocalHttpServer server;
    if (!server.isRunning()) {
        state.SkipWithError(server.error().c_str());
        return;
    }
    SharingServices services;
    services.facebook.graph = server.url("");
    QtHttpClient http;
    for (auto _ : state) {
        const bool small = uploadSparse(http, services, 1ull << 20);
        const double afterSmall = peakResidentMiB();
        const bool large = uploadSparse(http, services, 1ull << 30);
        const double afterLarge = peakResidentMiB();
        if (!small || !large || server.requests().back()["body_length"].get<std::uint64_t>() < (1ull << 30)) {
            state.SkipWithError("the stand-in did not take the recordings whole");
            return;
        }
        state.counters["peak_MiB_after_1MiB"] = afterSmall;
        state.counters["peak_MiB_after_1GiB"] = afterLarge;
        state.counters["growth_MiB"] = afterLarge - afterSmall;
    }
}

}  // namespace

BENCHMARK(BM_UploadPeakMemory)->Iterations(1)->Unit(benchmark::kSecond);
BENCHMARK_MAIN();
