#pragma once
#include <cstddef>
#include <cstdint>
#include <string>

class FileReader;

// Cheap checks that a recording's container holds video the player can show, made from a few
// bytes at fixed places before the file enters the library. Neither decodes media nor reads the
// media data; both answer false for anything they cannot use.

// Where a probe reads its bytes: exactly `length` bytes at `offset`, false when the file cannot
// give them all.
class ProbeBytes {
public:
    virtual ~ProbeBytes() = default;
    virtual std::uint64_t size() const = 0;
    virtual bool readAt(std::uint64_t offset, void* buffer, std::size_t length) = 0;
};

// An open file read through one buffer: a read outside the buffer fills it from its offset on. The
// walk of a movie then costs one read for the head of the file and one for the index behind the
// media data, not one per box header.
class BufferedProbeBytes final : public ProbeBytes {
public:
    static constexpr std::size_t kWindow = 2048;
    // `window`: how much one read takes at the most (up to kWindow); a probe that reads a single
    // field needs no more than that field.
    explicit BufferedProbeBytes(FileReader& file, std::size_t window = kWindow)
        : file_(file), window_(window < kWindow ? window : kWindow) {}
    std::uint64_t size() const override;
    bool readAt(std::uint64_t offset, void* buffer, std::size_t length) override;

private:
    FileReader& file_;
    std::size_t window_;
    unsigned char bytes_[kWindow];
    std::uint64_t bytesStart_ = 0;
    std::size_t bytesLength_ = 0;
};

// AVI: the first stream's handler is H.264 ("H264"/"h264") or Motion-JPEG ("MJPG" in any case).
bool pmIsAviCodecReady(const std::string& path);

// MP4/MOV: an ISO base media file whose first track is H.264 (avc1) and whose movie is not too
// short; a too-short movie writes one line to the diagnostic log.
bool pmIsMovCodecReady(const std::string& path);

// The same on a file the caller has opened (the scan reads the date from the same open file);
// the path is only for the log line.
bool pmIsAviCodecReady(FileReader& file);
bool pmIsMovCodecReady(FileReader& file, const std::string& path);
bool pmIsAviCodecReady(ProbeBytes& bytes);
bool pmIsMovCodecReady(ProbeBytes& bytes, const std::string& path);

// Whether the file starts as the container its video file type names: "RIFF" and the form "AVI "
// for AVI, an ftyp box first for MOV and MP4. A recording cut short still has its signature.
bool pmHasContainerSignature(FileReader& file, std::int32_t videoType);
