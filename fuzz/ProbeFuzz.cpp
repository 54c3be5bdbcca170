// One probe per fuzzer (built with CARTENA_FUZZ_MOV for the MP4/MOV probe, without for the AVI one),
// reading through its buffer against the same walk reading every field straight from the file, its
// reference: every read asked gets the same bytes or the same failure, so the answer is the same for
// any file, whatever the buffer's size; and buffering never makes more read calls.
#include "FuzzInput.h"
#include "Utility/FileReader.h"
#include "Utility/UserFolders.h"
#include "library/ContainerProbe.h"

#include <filesystem>
#include <vector>

namespace {

std::string throwAwayHome;

// Records what each read gave: its place, success and bytes. Reads go through `buffer`, or
// straight to the file when there is none.
class TracedBytes final : public ProbeBytes {
public:
    TracedBytes(FileReader& file, ProbeBytes* buffer) : file_(file), buffer_(buffer) {}
    std::uint64_t size() const override { return file_.size(); }
    bool readAt(std::uint64_t offset, void* bytes, std::size_t length) override {
        const bool ok = buffer_ ? buffer_->readAt(offset, bytes, length) : file_.readAt(offset, bytes, length);
        trace.insert(trace.end(), {offset, length, ok});
        if (ok) trace.insert(trace.end(), static_cast<unsigned char*>(bytes), static_cast<unsigned char*>(bytes) + length);
        return ok;
    }
    std::vector<std::uint64_t> trace;

private:
    FileReader& file_;
    ProbeBytes* buffer_;
};

bool probe(ProbeBytes& bytes, const std::string& path) {
#ifdef CARTENA_FUZZ_MOV
    return pmIsMovCodecReady(bytes, path);
#else
    (void)path;
    return pmIsAviCodecReady(bytes);
#endif
}

}  // namespace

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
    // The window the probes use, and one the input's first byte chooses.
    for (const std::size_t window : {BufferedProbeBytes::kWindow, std::size_t(size > 0 ? 1 + data[0] * 8 : 1)}) {
        FileReader directFile(path), bufferedFile(path);
        BufferedProbeBytes buffer(bufferedFile, window);
        TracedBytes reference(directFile, nullptr), buffered(bufferedFile, &buffer);
        if (probe(reference, path) != probe(buffered, path) || reference.trace != buffered.trace) std::abort();
        if (bufferedFile.readCalls() > directFile.readCalls()) std::abort();
    }
    // And as the scan calls it.
    pmIsAviCodecReady(path);
    pmIsMovCodecReady(path);
    return 0;
}
