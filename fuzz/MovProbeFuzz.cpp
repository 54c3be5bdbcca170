#include "ProbeFuzzInput.h"
#include "library/ContainerProbe.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    probefuzz::useThrowAwayHome();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    pmIsMovCodecReady(probefuzz::fileWith(data, size));
    return 0;
}
