#include "cli/ProgressBar.h"

#include <charconv>
#include <cstdio>

namespace {

std::string fixed(double value, int decimals) {
    char buffer[64];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, decimals);
    return {buffer, result.ptr};
}

// A lock-free atomic store is safe in a signal handler.
std::atomic<bool>* gCancelFlag = nullptr;
static_assert(std::atomic<bool>::is_always_lock_free);

extern "C" void cancelOnInterrupt(int) {
    if (gCancelFlag) gCancelFlag->store(true);
}

}  // namespace

std::string pmBytesText(double bytes) {
    if (bytes >= 1e9) return fixed(bytes / 1e9, 2) + " GB";
    if (bytes >= 1e6) return fixed(bytes / 1e6, 1) + " MB";
    return fixed(bytes / 1e3, 0) + " kB";
}

std::string pmDurationText(double seconds) {
    const long whole = static_cast<long>(seconds + 0.5);
    char text[32];
    if (whole >= 3600) std::snprintf(text, sizeof text, "%ld:%02ld:%02ld", whole / 3600, whole / 60 % 60, whole % 60);
    else std::snprintf(text, sizeof text, "%ld:%02ld", whole / 60, whole % 60);
    return text;
}

void pmDrawProgressBar(double share, const char* doing, double elapsedSeconds) {
    const std::string left =
        share > 0.02 && share < 1.0 ? pmDurationText(elapsedSeconds * (1.0 - share) / share) + " left" : "";
    std::fprintf(stderr, "\r%3d%%  %s  %s\x1b[K", static_cast<int>(share * 100.0), doing, left.c_str());
    std::fflush(stderr);
}

InterruptCancels::InterruptCancels(std::atomic<bool>& flag) {
    gCancelFlag = &flag;
    struct sigaction interrupt {};
    interrupt.sa_handler = cancelOnInterrupt;
    sigemptyset(&interrupt.sa_mask);
    ::sigaction(SIGINT, &interrupt, &previousInterrupt_);
    ::sigaction(SIGTERM, &interrupt, &previousTerminate_);
}

InterruptCancels::~InterruptCancels() {
    ::sigaction(SIGINT, &previousInterrupt_, nullptr);
    ::sigaction(SIGTERM, &previousTerminate_, nullptr);
    gCancelFlag = nullptr;
}
