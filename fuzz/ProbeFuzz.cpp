// One probe per fuzzer: built with CARTENA_FUZZ_MOV for the MP4/MOV probe, without for the AVI one.
#include "FuzzInput.h"
#include "Utility/UserFolders.h"
#include "library/ContainerProbe.h"

#include <filesystem>

namespace {
std::string throwAwayHome;
}

// The probes' one log line goes to a home of their own, removed at exit.
extern "C" int LLVMFuzzerInitialize(int*, char***) {
    throwAwayHome = (std::filesystem::temp_directory_path() / "cartena-fuzz-XXXXXX").string();
    if (!mkdtemp(throwAwayHome.data())) std::abort();
    setenv("HOME", throwAwayHome.c_str(), 1);
    pmReloadUserFolders();
    std::atexit([] {
        std::error_code ignored;
        std::filesystem::remove_all(throwAwayHome, ignored);
    });
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string& path = fuzzFileWith(data, size);
#ifdef CARTENA_FUZZ_MOV
    pmIsMovCodecReady(path);
#else
    pmIsAviCodecReady(path);
#endif
    return 0;
}
