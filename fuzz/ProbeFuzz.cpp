// One probe per fuzzer: built with CARTENA_FUZZ_MOV for the MP4/MOV probe, without for the AVI one.
#include "ProbeFuzzInput.h"
#include "library/ContainerProbe.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    probefuzz::useThrowAwayHome();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string& path = probefuzz::fileWith(data, size);
#ifdef CARTENA_FUZZ_MOV
    pmIsMovCodecReady(path);
#else
    pmIsAviCodecReady(path);
#endif
    return 0;
}
