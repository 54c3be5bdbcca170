// Compiled into every test program that opens windows: run where there is no display (ctest
// without xvfb-run), such a program says so and ends with the skip code instead of aborting.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>

namespace {

// Before the first test, so that listing the tests needs no display.
class DisplayRequired : public ::testing::Environment {
    void SetUp() override {
        for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
            if (const char* value = std::getenv(name); value && *value) return;
        std::fputs("SKIPPED: no display to open windows on; run the tests under xvfb-run, as scripts/test does\n",
                   stderr);
        std::_Exit(77);  // SKIP_RETURN_CODE of every test (tests/CMakeLists.txt)
    }
};

[[maybe_unused]] ::testing::Environment* const registered = ::testing::AddGlobalTestEnvironment(new DisplayRequired);

}  // namespace
