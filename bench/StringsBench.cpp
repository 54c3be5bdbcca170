// What deciding the current language at every lookup costs: pmGetString against a bare table
// lookup, in one run.
#include "Utility/StringTables.h"
#include "support/MemoryPreferences.h"

#include <benchmark/benchmark.h>

namespace {

const std::string kKeys[] = {"IDS_WEEK_1", "IDS_WEEK_4", "IDS_PLAY", "IDS_ERR_NO_GSENSOR_DATA", "IDS_NO_SUCH_TEXT"};

void tableLookup(benchmark::State& state) {
    const StringTables& tables = pmStringTables();
    std::size_t i = 0;
    for (auto _ : state) benchmark::DoNotOptimize(tables.lookup("TraditionalChinese", kKeys[i++ % 5]));
}

void currentLanguageLookup(benchmark::State& state) {
    MemoryPreferences store;  // never the user's own settings
    store.values["LANGUAGE_ID"] = 1;
    std::size_t i = 0;
    for (auto _ : state) benchmark::DoNotOptimize(pmGetString(kKeys[i++ % 5]));
}

}  // namespace

BENCHMARK(tableLookup);
BENCHMARK(currentLanguageLookup);
BENCHMARK_MAIN();
