#include "outputs/EvidencePackage.h"

#include "Utility/DiagnosticLog.h"
#include "Utility/Sha256.h"
#include "Utility/StringTables.h"
#include "Utility/Version.h"
#include "library/FileDate.h"
#include "library/RecordingName.h"
#include "library/VideoLibrary.h"
#include "outputs/EvidenceCopy.h"
#include "outputs/ExportFile.h"
#include "outputs/GpxSave.h"
#include "outputs/KmlSave.h"
#include "telemetry/GpsLogFile.h"
#include "telemetry/RecordingLength.h"
#include "telemetry/TelemetryLoader.h"

#include <fcntl.h>
#include <stdio.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <set>

namespace {

namespace fs = std::filesystem;
using Status = EvidenceResult::Status;

const char* momentSourceName(EvidenceMomentSource source) {
    switch (source) {
        case EvidenceMomentSource::Given: return "given";
        case EvidenceMomentSource::Event: return "event second";
        case EvidenceMomentSource::Peak: return "G-sensor peak";
        case EvidenceMomentSource::Middle: return "middle of the recording";
    }
    return "";
}

// The key of a failure to write into the package's folder.
const char* writeFailureKey(int error) {
    if (error == EROFS || error == EACCES || error == EPERM) return "IDS_ERR_FOLDER_READ_ONLY";
    if (error == ENOSPC || error == EDQUOT) return "IDS_ERR_NO_DISK_SPACE";
    return "IDS_ERR_EVIDENCE_WRITE";
}

// The hidden folder the package is made in; removed with everything in it unless it was renamed.
class Staging {
public:
    ~Staging() {
        if (!path_.empty() && !kept_) {
            std::error_code ignored;
            fs::remove_all(path_, ignored);
        }
        if (fd_ >= 0) ::close(fd_);
    }
    int create(const std::string& parent, const std::string& name) {
        std::string pattern = parent + "/." + name + ".cartena-part-XXXXXX";
        if (!::mkdtemp(pattern.data())) return errno;
        path_ = pattern;
        fd_ = ::open(path_.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        return fd_ >= 0 ? 0 : errno;
    }
    const std::string& path() const { return path_; }
    std::string name() const { return fs::path(path_).filename().string(); }
    int fd() const { return fd_; }
    void keep() { kept_ = true; }

private:
    std::string path_;
    int fd_ = -1;
    bool kept_ = false;
};

int syncFolder(const std::string& path) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return errno;
    const int error = ::fsync(fd) == 0 ? 0 : errno;
    ::close(fd);
    return error;
}

int syncFile(const std::string& path) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return errno;
    const int error = ::fsync(fd) == 0 ? 0 : errno;
    ::close(fd);
    return error;
}

// A name not yet used in originals/: "NAME (2).EXT" and so on for a second file of one name.
std::string freeName(const std::string& name, std::set<std::string>& used) {
    std::string candidate = name;
    const std::size_t dot = name.rfind('.');
    const std::string base = dot == std::string::npos || dot == 0 ? name : name.substr(0, dot);
    const std::string extension = base.size() == name.size() ? "" : name.substr(base.size());
    for (int n = 2; used.count(candidate); ++n) candidate = base + " (" + std::to_string(n) + ")" + extension;
    used.insert(candidate);
    return candidate;
}

// Weights the phases by the time they take here: copies (read, written, read back, hashed again)
// at about 150 MB/s, the clip at about twice real time per camera.
struct PhaseWeights {
    double copy = 0.0, clip = 0.0, rest = 1.0;
    double total() const { return copy + clip + rest; }
};

class Maker {
public:
    Maker(const EvidenceRequest& request, EvidenceMedia& media, EvidenceProgress& progress)
        : request_(request), media_(media), progress_(progress) {}

    EvidenceResult run();

private:
    bool fail(const char* key, std::string subject, std::string detail = {}) {
        result_.status = Status::Failed;
        result_.messageKey = key;
        result_.subject = std::move(subject);
        result_.detail = std::move(detail);
        return false;
    }
    bool failWrite(int error, const std::string& subject) {
        return fail(writeFailureKey(error), subject, std::strerror(error));
    }
    bool canceled() {
        if (!progress_.canceled) return false;
        result_.status = Status::Canceled;
        return true;
    }
    void report(EvidenceProgress::Phase phase, double done) {
        progress_.phase = phase;
        progress_.permille = static_cast<int>(std::clamp(done / weights_.total(), 0.0, 1.0) * 1000.0);
    }

    bool prepare();
    bool copyOriginals();
    bool writeClip();
    bool writeTracks();
    bool writeReport();
    bool checkSources();
    bool writeSums();
    bool putInPlace();

    const EvidenceRequest& request_;
    EvidenceMedia& media_;
    EvidenceProgress& progress_;
    EvidenceResult result_;

    std::string parent_, name_;
    Staging staging_;
    GpsList list_;
    std::vector<std::int64_t> sampleTimes_;
    TelemetryLoad load_;
    double length_ = 0.0;
    EvidenceMoment moment_;
    EvidenceSpan span_;
    EvidenceClock clock_;
    std::string front_, rear_;
    std::vector<EvidenceOriginal> originals_;
    std::vector<std::pair<std::string, std::string>> digests_;  // relative path, SHA-256
    PhaseWeights weights_;
    double copied_ = 0.0;  // seconds' worth of copying done
};

bool Maker::prepare() {
    fs::path target = fs::path(request_.target).lexically_normal();
    if (!target.has_filename()) target = target.parent_path();  // "DIR/" names DIR
    name_ = target.filename().string();
    parent_ = target.has_parent_path() ? target.parent_path().string() : ".";
    struct stat status {};
    if (::lstat(request_.target.c_str(), &status) == 0 || name_.empty() || name_ == "." || name_ == "..")
        return fail("IDS_ERR_EVIDENCE_EXISTS", request_.target);

    length_ = request_.length > 0.0 ? request_.length : pmGetRecordingLength(request_.recording).value_or(0.0);
    if (length_ <= 0.0) return fail("IDS_ERR_EVIDENCE_READ", request_.recording, "the recording's length is unknown");
    load_ = pmLoadTelemetry(request_.recording, length_, list_, &sampleTimes_);
    if (request_.moment) {
        if (!pmIsMomentInRecording(*request_.moment, length_))
            return fail("IDS_ERR_EVIDENCE_MOMENT", std::to_string(*request_.moment));
        moment_ = {*request_.moment, EvidenceMomentSource::Given};
    } else {
        moment_ = pmDefaultEvidenceMoment(load_.found ? load_.eventTime : -1,
                                          list_.IsGSensorReady() ? load_.peakIndex : -1, length_);
    }
    span_ = pmEvidenceSpan(moment_.second, request_.before, request_.after, length_);
    clock_ = pmEvidenceClock(sampleTimes_, pmGetFileDate(request_.recording).value_or(FileDate{}));
    result_.moment = "second " + std::to_string(moment_.second) + " (" + momentSourceName(moment_.source) + ")";
    result_.telemetry = load_.found;

    front_ = request_.recording;
    if (const auto partner = pmFindPairedRecording(request_.recording)) {
        result_.pair = true;
        if (pmCheckDualCameraFileType(request_.recording) == kCameraRear) {
            rear_ = front_;
            front_ = *partner;
        } else {
            rear_ = *partner;
        }
    }

    std::set<std::string> used;
    auto add = [&](EvidenceOriginal::Kind kind, const std::string& path) {
        EvidenceOriginal original;
        original.kind = kind;
        original.sourcePath = path;
        original.name = freeName(pmGetFileTitle(path, false), used);
        originals_.push_back(std::move(original));
    };
    const std::string partner = rear_.empty() ? "" : (front_ == request_.recording ? rear_ : front_);
    add(EvidenceOriginal::Kind::Recording, request_.recording);
    if (!partner.empty()) add(EvidenceOriginal::Kind::Partner, partner);
    if (const auto log = pmGetGpsLogFile(request_.recording)) add(EvidenceOriginal::Kind::Log, *log);
    if (!partner.empty())
        if (const auto log = pmGetGpsLogFile(partner)) add(EvidenceOriginal::Kind::Log, *log);

    std::uint64_t bytes = 0;
    for (const EvidenceOriginal& original : originals_) {
        struct stat source {};
        if (::stat(original.sourcePath.c_str(), &source) != 0)
            return fail("IDS_ERR_EVIDENCE_READ", pmGetFileTitle(original.sourcePath, false), std::strerror(errno));
        bytes += std::uint64_t(source.st_size);
    }
    weights_.copy = double(bytes) * 3.0 / 150e6;
    weights_.clip = span_.length() * (rear_.empty() ? 0.35 : 0.6);

    if (const int error = staging_.create(parent_, name_); error != 0) return failWrite(error, parent_);
    if (::mkdirat(staging_.fd(), "originals", 0755) != 0) return failWrite(errno, parent_);
    return true;
}

bool Maker::copyOriginals() {
    const int folder = ::openat(staging_.fd(), "originals", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (folder < 0) return failWrite(errno, parent_);
    bool ok = true;
    for (EvidenceOriginal& original : originals_) {
        const std::string subject = pmGetFileTitle(original.sourcePath, false);
        const EvidenceCopyResult copy = pmCopyWithDigest(original.sourcePath, folder, original.name, [&](std::uint64_t bytes) {
            copied_ += double(bytes) / 150e6;
            report(EvidenceProgress::Copying, copied_);
            return !progress_.canceled;
        });
        using CopyStatus = EvidenceCopyResult::Status;
        if (copy.status == CopyStatus::Canceled) ok = !canceled();
        else if (copy.status == CopyStatus::ReadFailed)
            ok = fail("IDS_ERR_EVIDENCE_READ", subject, std::strerror(copy.error));
        else if (copy.status == CopyStatus::WriteFailed) ok = failWrite(copy.error, parent_);
        else if (copy.status == CopyStatus::Mismatch) ok = fail("IDS_ERR_EVIDENCE_VERIFY", subject);
        if (!ok) break;
        struct stat status {};
        ::stat(original.sourcePath.c_str(), &status);
        original.sha256 = copy.sha256;
        original.size = copy.bytes;
        original.storedTime = pmStoredTimeText(status);
        const FileDate shown = pmGetFileDate(status);
        original.shownTime = pmGetDateStringFromNSDate(shown) + " " + pmGetTimeStringFromNSDate(shown);
        if (original.kind != EvidenceOriginal::Kind::Log)
            original.length = original.kind == EvidenceOriginal::Kind::Recording
                                  ? length_
                                  : pmGetRecordingLength(original.sourcePath).value_or(-1.0);
        digests_.emplace_back("originals/" + original.name, copy.sha256);
    }
    if (ok && ::fsync(folder) != 0) ok = failWrite(errno, parent_);
    ::close(folder);
    copied_ = weights_.copy * 2.0 / 3.0;  // the last third is the check at the end
    return ok;
}

bool Maker::writeClip() {
    EvidenceMedia::Clip clip;
    clip.front = front_;
    clip.rear = rear_;
    clip.output = staging_.path() + "/clip.mp4";
    clip.span = span_;
    clip.moment = moment_.second;
    clip.speedUnit = request_.speedUnit;
    // The band tells the named recording's telemetry, also over the partner's picture.
    clip.bandText = [this](int second) {
        return pmEvidenceBandText(list_, second, clock_, moment_.second, request_.speedUnit);
    };
    const double before = copied_;
    const EvidenceMedia::ClipOutcome outcome = media_.writeClip(clip, [&](double share) {
        report(EvidenceProgress::Encoding, before + share * weights_.clip);
        return !progress_.canceled;
    });
    if (outcome.canceled || canceled()) {
        result_.status = Status::Canceled;
        return false;
    }
    if (!outcome.ok && outcome.writeError != 0) return failWrite(outcome.writeError, parent_);
    if (!outcome.ok) return fail("IDS_ERR_EVIDENCE_CLIP", pmGetFileTitle(front_, false), outcome.error);
    if (const int error = syncFile(clip.output); error != 0) return failWrite(error, parent_);
    report(EvidenceProgress::Reporting, before + weights_.clip);
    return true;
}

bool Maker::writeTracks() {
    if (!list_.IsGPSReady()) return true;
    const ExportResult gpx =
        outputGPX(staging_.path() + "/track.gpx", GpxTrack{&list_, &sampleTimes_, clock_.startMillis, "track.gpx"}, false);
    if (gpx.status != ExportStatus::Written) return failWrite(gpx.errorCode, parent_);
    const ExportResult kml = outputKML(staging_.path() + "/track.kml", &list_, false);
    if (kml.status != ExportStatus::Written) return failWrite(kml.errorCode, parent_);
    return !canceled();
}

bool Maker::writeReport() {
    EvidenceReport report;
    report.originals = originals_;
    report.moment = moment_;
    report.momentText = pmEvidenceBandText(list_, moment_.second, clock_, moment_.second, request_.speedUnit);
    if (list_.IsGSensorReady()) {
        report.peakValue = load_.peakValue;
        report.peakSecond = load_.peakIndex;
    }
    report.track = &list_;
    report.length = length_;
    report.telemetry = load_.found;
    report.clockSource = clock_.source;
    report.span = span_;
    report.pair = !rear_.empty();
    report.speedUnit = request_.speedUnit;
    const std::time_t now = std::time(nullptr);
    report.timeZone = pmTimeZoneText(static_cast<std::time_t>(clock_.millisAt(moment_.second) / 1000));
    report.packagedUtc = pmUtcTimeText(now);
    report.version = pmGetVersionInfo();
    report.commandLine = request_.commandLine;
    const std::string path = staging_.path() + "/report.pdf";
    std::string error;
    if (!media_.writeReport(report, path, error)) return fail("IDS_ERR_EVIDENCE_REPORT", "report.pdf", error);
    if (const int code = syncFile(path); code != 0) return failWrite(code, parent_);
    return !canceled();
}

bool Maker::checkSources() {
    report(EvidenceProgress::Checking, copied_ + weights_.clip);
    for (const EvidenceOriginal& original : originals_) {
        const std::string digest = pmSha256OfFile(original.sourcePath, [&](std::uint64_t bytes) {
            copied_ += double(bytes) / 150e6;
            report(EvidenceProgress::Checking, copied_ + weights_.clip);
            return !progress_.canceled;
        });
        if (canceled()) return false;
        if (digest != original.sha256) return fail("IDS_ERR_EVIDENCE_CHANGED", pmGetFileTitle(original.sourcePath, false));
    }
    return true;
}

bool Maker::writeSums() {
    report(EvidenceProgress::Finishing, weights_.copy + weights_.clip);
    for (const char* derived : {"clip.mp4", "track.gpx", "track.kml", "report.pdf"}) {
        const std::string path = staging_.path() + "/" + derived;
        if (::access(path.c_str(), F_OK) != 0) continue;
        const std::string digest = pmSha256OfFile(path);
        if (digest.empty()) return failWrite(errno, parent_);
        digests_.emplace_back(derived, digest);
    }
    const std::string sums = pmSha256SumsText(digests_);
    const ExportResult written = pmExportBytes(staging_.path() + "/SHA256SUMS", false, sums);
    if (written.status != ExportStatus::Written) return failWrite(written.errorCode, parent_);
    result_.sumsDigest = pmSha256Hex(sums);
    for (const auto& [path, digest] : digests_) result_.files.push_back(path);
    std::sort(result_.files.begin(), result_.files.end());
    return true;
}

bool Maker::putInPlace() {
    if (canceled()) return false;
    if (const int error = syncFolder(staging_.path()); error != 0) return failWrite(error, parent_);
    const int parent = ::open(parent_.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (parent < 0) return failWrite(errno, parent_);
    int rc = ::renameat2(parent, staging_.name().c_str(), parent, name_.c_str(), RENAME_NOREPLACE);
    // A file system without the no-replace rename (some network and FUSE ones): the target is checked
    // just before a plain rename instead.
    struct stat status {};
    if (rc != 0 && errno == EINVAL && ::fstatat(parent, name_.c_str(), &status, AT_SYMLINK_NOFOLLOW) != 0)
        rc = ::renameat(parent, staging_.name().c_str(), parent, name_.c_str());
    const int error = rc == 0 ? 0 : errno;
    if (rc == 0) {
        staging_.keep();
        ::fsync(parent);
    }
    ::close(parent);
    if (error == EEXIST || error == ENOTEMPTY) return fail("IDS_ERR_EVIDENCE_EXISTS", request_.target);
    if (error != 0) return failWrite(error, parent_);
    return true;
}

EvidenceResult Maker::run() {
    pmOutputDebugMsg("EvidencePackage - Start - " + request_.recording + " -> " + request_.target);
    const bool done = prepare() && copyOriginals() && writeClip() && writeTracks() && writeReport() &&
                      checkSources() && writeSums() && putInPlace();
    if (done) {
        result_.status = Status::Done;
        progress_.permille = 1000;
    }
    pmOutputDebugMsg("EvidencePackage - End - " + std::string(done ? "done, SHA256SUMS " + result_.sumsDigest
                                                               : result_.status == Status::Canceled
                                                                   ? "canceled"
                                                                   : result_.messageKey + " " + result_.subject + " " +
                                                                         result_.detail));
    return result_;
}

}  // namespace

std::string pmSha256SumsText(std::vector<std::pair<std::string, std::string>> pathsAndDigests) {
    std::sort(pathsAndDigests.begin(), pathsAndDigests.end());
    std::string text;
    for (const auto& [path, digest] : pathsAndDigests) {
        std::string name;
        bool escaped = false;
        for (char c : path) {
            if (c == '\\' || c == '\n' || c == '\r') {
                escaped = true;
                name += c == '\\' ? "\\\\" : c == '\n' ? "\\n" : "\\r";
            } else {
                name += c;
            }
        }
        text += (escaped ? "\\" : "") + digest + "  " + name + "\n";
    }
    return text;
}

std::string pmEvidenceMessage(const EvidenceResult& result) {
    if (result.messageKey.empty()) return {};
    return pmFillMessage(pmGetString(result.messageKey), {result.subject});
}

std::string pmEvidenceDoneMessage(const EvidenceResult& result, const std::string& target) {
    return pmFillMessage(pmGetString("IDS_EVIDENCE_DONE"), {target, result.sumsDigest});
}

EvidenceResult pmMakeEvidencePackage(const EvidenceRequest& request, EvidenceMedia& media, EvidenceProgress& progress) {
    return Maker(request, media, progress).run();
}

EvidenceJob::EvidenceJob(EvidenceRequest request, EvidenceMedia& media) : request_(std::move(request)), media_(media) {}

EvidenceJob::~EvidenceJob() {
    cancel();
    join();
}

void EvidenceJob::start() {
    if (worker_.joinable() || finished_) return;
    worker_ = std::thread([this] {
        result_ = pmMakeEvidencePackage(request_, media_, progress_);
        finished_ = true;
    });
}

void EvidenceJob::join() {
    if (worker_.joinable()) worker_.join();
}
