// The probes reading through their buffer against the same walk reading every field straight from
// the file, its reference: every read asked gets the same bytes or the same failure, so the answer
// is the same for any file, whatever the buffer's size; and buffering never makes more read calls.
#include "ProbeFuzzInput.h"
#include "Utility/FileReader.h"
#include "library/ContainerProbe.h"

#include <cstdlib>
#include <vector>

namespace {

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

template <class Probe>
void compare(const std::string& path, std::size_t window, Probe probe) {
    FileReader directFile(path), bufferedFile(path);
    BufferedProbeBytes buffer(bufferedFile, window);
    TracedBytes reference(directFile, nullptr), buffered(bufferedFile, &buffer);
    if (probe(reference) != probe(buffered) || reference.trace != buffered.trace) std::abort();
    if (bufferedFile.readCalls() > directFile.readCalls()) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    probefuzz::useThrowAwayHome();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string& path = probefuzz::fileWith(data, size);
    // The window the probes use, and one the input's first byte chooses.
    const std::size_t window = size > 0 ? 1 + data[0] * 8u : 1;
    for (const std::size_t w : {BufferedProbeBytes::kWindow, window}) {
        compare(path, w, [&](ProbeBytes& bytes) { return pmIsMovCodecReady(bytes, path); });
        compare(path, w, [](ProbeBytes& bytes) { return pmIsAviCodecReady(bytes); });
    }
    return 0;
}
