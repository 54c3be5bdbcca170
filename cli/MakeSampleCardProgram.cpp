// The part of `cartena make-sample-card` that needs FFmpeg's libraries, run by that command with
// arguments it has checked:  cartena-make-sample-card DIR SEED YEAR MONTH DAY
#include "tools/SampleCard.h"

#include <charconv>
#include <chrono>
#include <cstdio>
#include <cstring>

namespace {

template <class Number>
bool numberOf(const char* text, Number& value) {
    const char* end = text + std::strlen(text);
    const auto [stop, error] = std::from_chars(text, end, value);
    return error == std::errc() && stop == end;
}

}  // namespace

int main(int argc, char** argv) {
    SampleCardOptions options;
    SampleCardDate& day = options.firstDay;
    if (argc != 6 || !numberOf(argv[2], options.seed) || !numberOf(argv[3], day.year) ||
        !numberOf(argv[4], day.month) || !numberOf(argv[5], day.day)) {
        std::fputs("cartena-make-sample-card: run by `cartena make-sample-card`, which checks its arguments\n", stderr);
        return 2;
    }
    const auto start = std::chrono::steady_clock::now();
    const SampleCardResult result = makeSampleCard(argv[1], options);
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    if (!result.ok) {
        std::fprintf(stderr, "cartena make-sample-card: %s\n", result.error.c_str());
        return 1;
    }
    std::printf("Made the sample card %s: %d recordings, %d entries, %.1f MB in %.1f s\n", argv[1], result.recordings,
                result.entries, double(result.bytes) / 1e6, seconds);
    return 0;
}
