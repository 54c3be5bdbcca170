// The probes reading through their buffer against the same walk reading every field straight from
// the file, its reference: every read asked gets the same bytes or the same failure, so the answer
// is the same for any file, whatever the buffer's size; and buffering never makes more read calls.
#include "ProbeFuzzInput.h"
#include "Utility/FileReader.h"
#include "library/ContainerProbe.h"

#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

// Records what each read gave: its place, success and bytes.
class TracedBytes final : public ProbeBytes {
public:
    explicit TracedBytes(ProbeBytes& bytes) : bytes_(bytes) {}
    std::uint64_t size() const override { return bytes_.size(); }
    bool readAt(std::uint64_t offset, void* buffer, std::size_t length) override {
        const bool ok = bytes_.readAt(offset, buffer, length);
        trace.push_back(offset);
        trace.push_back(length);
        trace.push_back(ok);
        if (ok)
            for (std::size_t i = 0; i < length; ++i) trace.push_back(static_cast<const unsigned char*>(buffer)[i]);
        return ok;
    }
    std::vector<std::uint64_t> trace;

private:
    ProbeBytes& bytes_;
};

class DirectBytes final : public ProbeBytes {
public:
    explicit DirectBytes(FileReader& file) : file_(file) {}
    std::uint64_t size() const override { return file_.size(); }
    bool readAt(std::uint64_t offset, void* buffer, std::size_t length) override {
        return file_.readAt(offset, buffer, length);
    }

private:
    FileReader& file_;
};

template <class Probe>
void compare(const std::string& path, std::size_t window, Probe probe) {
    FileReader directFile(path), bufferedFile(path);
    DirectBytes direct(directFile);
    BufferedProbeBytes buffered(bufferedFile, window);
    TracedBytes reference(direct), traced(buffered);
    if (probe(reference) != probe(traced) || reference.trace != traced.trace) std::abort();
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
