#pragma once
#include <cstdint>
#include <functional>

struct stat;

// Copying the bytes of one file into another, fast and interruptible: copy_file_range where the
// kernel can (no copy through user space), else sendfile, else read and write. The copy goes in
// steps sized by time, not bytes (about 50 ms each at the rate measured so far), so that the
// caller hears of progress, and can stop the copy, a few times a second on a fast disk and on a
// slow memory stick alike.

enum class CopyEnd {
    Done,
    Stopped,      // the caller's step callback said stop
    SourceShort,  // the source ended before `length` bytes (it was cut short meanwhile)
    Failed,       // a read or a write failed (copy_file_range does not say which)
};

struct CopyOutcome {
    CopyEnd end = CopyEnd::Done;
    int error = 0;  // the error number of a failure
    std::uint64_t copied = 0;
};

// How the copy's steps are sized.
class CopyStepSizer {
public:
    static constexpr std::uint64_t kFirstStep = 1u << 20;
    static constexpr std::uint64_t kSmallestStep = 64u << 10;
    static constexpr std::uint64_t kLargestStep = 64u << 20;
    static constexpr double kStepSeconds = 0.05;

    std::uint64_t next() const { return step_; }
    // A step of `bytes` took `seconds`: the next one aims at kStepSeconds at that rate.
    void record(std::uint64_t bytes, double seconds);

private:
    std::uint64_t step_ = kFirstStep;
};

// Which ways the copy may take; tests turn the faster ones off to try the others.
struct CopyMethods {
    bool copyFileRange = true;
    bool sendFile = true;
};

// Copies `length` bytes from offset 0 of `in` to offset 0 of `out`. After every step `afterStep`
// gets the bytes of that step and returns whether to go on.
CopyOutcome pmCopyFileData(int in, int out, std::uint64_t length,
                           const std::function<bool(std::uint64_t stepBytes)>& afterStep, CopyMethods methods = {});

// Gives the file open at `fd` the source's mode bits and times (its modification time as the
// library reads it, stored for the target's file system: see pmFileDateToStore). 0, or the error
// number of the first that was refused (vfat and exFAT refuse modes).
int pmKeepModeAndTimes(int fd, const struct stat& source);
