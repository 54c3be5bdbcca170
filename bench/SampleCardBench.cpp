#include "tools/FrameStamp.h"
#include "tools/SampleCard.h"

#include <benchmark/benchmark.h>

#include <filesystem>
#include <stdlib.h>

// Making the whole sample card, with one and with two encoder threads.
static void BM_MakeSampleCard(benchmark::State& state) {
    std::string root = (std::filesystem::temp_directory_path() / "cartena-bench-XXXXXX").string();
    if (!mkdtemp(root.data())) {
        state.SkipWithError("no temporary folder");
        return;
    }
    SampleCardOptions options;
    options.threads = int(state.range(0));
    SampleCardResult made;
    for (auto _ : state) {
        made = makeSampleCard(root + "/card", options);
        state.PauseTiming();
        std::filesystem::remove_all(root + "/card");
        state.ResumeTiming();
        if (!made.ok) state.SkipWithError(made.error.c_str());
    }
    std::filesystem::remove_all(root);
    state.counters["MB"] = double(made.bytes) / 1e6;
    state.counters["recordings"] = made.recordings;
}
BENCHMARK(BM_MakeSampleCard)->Arg(1)->Arg(2)->Iterations(2)->Unit(benchmark::kSecond)->UseRealTime();

// Drawing and reading one stamp on a frame of the card's common size.
static void BM_DrawAndReadFrameStamp(benchmark::State& state) {
    RgbImage image(320, 180);
    FrameStamp stamp;
    stamp.camera = "FRONT CAM";
    for (auto _ : state) {
        stamp.frame = (stamp.frame + 1) % 10000;
        drawFrameStamp(image, stamp);
        benchmark::DoNotOptimize(readFrameStamp(ImageView::of(image)));
    }
}
BENCHMARK(BM_DrawAndReadFrameStamp)->Unit(benchmark::kMicrosecond);

BENCHMARK_MAIN();
