#pragma once
#include "outputs/EvidenceReport.h"

#include <atomic>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <thread>
#include <vector>

// The evidence package: one folder that turns a recording's moment into what an insurer or the
// police can use. It holds
//   originals/   the recording, its partner camera's recording and their telemetry logs, copied
//                byte for byte with their modification times and modes (shown equal: see
//                outputs/EvidenceCopy.h; each source is hashed again at the end);
//   clip.mp4     the span around the moment, both cameras, with the telemetry burned in;
//   track.gpx, track.kml  the recording's track, when it has positions;
//   report.pdf   one page: the files and their SHA-256, the moment, frames, curves and track;
//   SHA256SUMS   written last: every other file, in the form `sha256sum -c` checks.
// The package is made in a hidden folder beside the target, every file and folder flushed to disk,
// and then renamed to the target, which must not exist: a failure or a cancel leaves nothing, and
// nothing that existed is touched.

// The parts made outside the core: the clip (FFmpeg) and the report page (Qt). One object serves
// one package; the clip's frames that the report shows stay inside it between the two calls.
class EvidenceMedia {
public:
    virtual ~EvidenceMedia() = default;

    struct Clip {
        std::string front;  // the main picture
        std::string rear;   // empty: one camera
        std::string output;
        EvidenceSpan span;
        int moment = 0;
        std::int16_t speedUnit = 0;
        std::function<EvidenceBandText(int second)> bandText;
    };
    struct ClipOutcome {
        bool ok = false;
        bool canceled = false;
        std::string error;
        int writeError = 0;  // the system's error number when writing the clip's file failed
        bool audio = false;
    };
    // `progress` gets the share done and returns false to stop.
    virtual ClipOutcome writeClip(const Clip& clip, const std::function<bool(double share)>& progress) = 0;
    // The report page as PDF at `path`; false with a reason.
    virtual bool writeReport(const EvidenceReport& report, const std::string& path, std::string& error) = 0;
};

struct EvidenceRequest {
    std::string recording;
    std::string target;             // the package's folder, which must not exist
    std::optional<int> moment;      // a whole second of the recording; none: the default rule
    double before = 15.0;
    double after = 15.0;
    double length = -1.0;           // the recording's length as a player reports it; < 0: from the container
    std::int16_t speedUnit = 0;
    std::string commandLine;        // how the package was asked for, for the report
};

// What the making thread shares with the thread that shows progress.
struct EvidenceProgress {
    enum Phase { Preparing, Copying, Encoding, Reporting, Checking, Finishing };
    std::atomic<int> phase{Preparing};
    std::atomic<int> permille{0};  // of the whole package
    std::atomic<bool> canceled{false};
};

struct EvidenceResult {
    enum class Status { Done, Canceled, Failed };
    Status status = Status::Failed;
    std::string messageKey;  // the IDS_ key of a failure's message ("%s": `subject`)
    std::string subject;     // the file or folder the message names
    std::string detail;      // what the system or FFmpeg said, for the log and the command line
    std::string sumsDigest;  // SHA-256 of SHA256SUMS, when done
    std::string moment;      // "second 12 (event second)" for the command's summary
    bool telemetry = false;
    bool pair = false;
    std::vector<std::string> files;  // relative paths, sorted, as SHA256SUMS lists them
};

// The failure's message in the current language.
std::string pmEvidenceMessage(const EvidenceResult& result);
// The package's "done" message: where it is and the SHA-256 of its SHA256SUMS.
std::string pmEvidenceDoneMessage(const EvidenceResult& result, const std::string& target);

// Makes the whole package on the calling thread.
EvidenceResult pmMakeEvidencePackage(const EvidenceRequest& request, EvidenceMedia& media, EvidenceProgress& progress);

// The lines of SHA256SUMS for files and their digests, sorted by path (bytes), as `sha256sum`
// writes them (a name holding a backslash or a line break escaped, the line marked with "\").
std::string pmSha256SumsText(std::vector<std::pair<std::string, std::string>> pathsAndDigests);

// A package made on a thread of its own. Destroying a job that still runs cancels it and waits;
// nothing of the package stays.
class EvidenceJob {
public:
    EvidenceJob(EvidenceRequest request, EvidenceMedia& media);
    ~EvidenceJob();
    EvidenceJob(const EvidenceJob&) = delete;
    EvidenceJob& operator=(const EvidenceJob&) = delete;

    void start();
    void cancel() { progress_.canceled = true; }
    bool isFinished() const { return finished_; }
    void join();
    const EvidenceProgress& progress() const { return progress_; }
    const EvidenceRequest& request() const { return request_; }
    // Valid once isFinished().
    const EvidenceResult& result() const { return result_; }

private:
    EvidenceRequest request_;
    EvidenceMedia& media_;
    EvidenceProgress progress_;
    EvidenceResult result_;
    std::atomic<bool> finished_{false};
    std::thread worker_;
};
