// The package's rules with the clip and the report faked: what is refused, and that a failure or a
// cancel at any step leaves nothing beside the target.
#include "outputs/EvidencePackage.h"

#include "support/ChildProcess.h"
#include "support/SampleCardFixture.h"
#include "support/TempHome.h"

#include <gtest/gtest.h>

#include <sys/mount.h>
#include <sys/stat.h>

#include <filesystem>
#include <set>

namespace {

namespace fs = std::filesystem;

class FakeMedia : public EvidenceMedia {
public:
    enum class Step { None, Clip, Report };
    Step failAt = Step::None;
    Step cancelAt = Step::None;
    EvidenceProgress* progress = nullptr;

    ClipOutcome writeClip(const Clip& clip, const std::function<bool(double)>& report) override {
        writeFile(clip.output, "clip");
        if (cancelAt == Step::Clip) progress->canceled = true;
        if (!report(0.5)) return {false, true, "", 0, false};
        return {failAt != Step::Clip, false, failAt == Step::Clip ? "no decoder" : "", 0, false};
    }
    bool writeReport(const EvidenceReport&, const std::string& path, std::string& error) override {
        writeFile(path, "report");
        if (cancelAt == Step::Report) progress->canceled = true;
        error = failAt == Step::Report ? "no font" : "";
        return failAt != Step::Report;
    }
};

std::set<std::string> namesIn(const std::string& folder) {
    std::set<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder)) names.insert(entry.path().filename().string());
    return names;
}

class EvidencePackageRules : public ::testing::Test {
protected:
    EvidenceResult make(FakeMedia& media, std::optional<int> moment = std::nullopt) {
        EvidenceRequest request;
        request.recording = sampleCardPath(sampleCardEntry("EVEN0001F.MP4"));
        request.target = home.path() + "/package";
        request.moment = moment;
        media.progress = &progress;
        return pmMakeEvidencePackage(request, media, progress);
    }

    TempHome home;
    EvidenceProgress progress;
};

TEST_F(EvidencePackageRules, AFailureOrACancelAtAnyStepLeavesNothing) {
    using Step = FakeMedia::Step;
    const struct {
        Step failAt, cancelAt;
        EvidenceResult::Status status;
        const char* key;
    } cases[] = {
        {Step::Clip, Step::None, EvidenceResult::Status::Failed, "IDS_ERR_EVIDENCE_CLIP"},
        {Step::Report, Step::None, EvidenceResult::Status::Failed, "IDS_ERR_EVIDENCE_REPORT"},
        {Step::None, Step::Clip, EvidenceResult::Status::Canceled, ""},
        {Step::None, Step::Report, EvidenceResult::Status::Canceled, ""},
    };
    const std::set<std::string> before = namesIn(home.path());
    for (const auto& c : cases) {
        FakeMedia media;
        media.failAt = c.failAt;
        media.cancelAt = c.cancelAt;
        progress.canceled = false;
        const EvidenceResult result = make(media);
        EXPECT_EQ(result.status, c.status) << c.key;
        EXPECT_EQ(result.messageKey, c.key);
        EXPECT_EQ(namesIn(home.path()), before) << c.key;
    }
    FakeMedia media;
    progress.canceled = true;  // Cancel pressed while the originals are copied
    EXPECT_EQ(make(media).status, EvidenceResult::Status::Canceled);
    EXPECT_EQ(namesIn(home.path()), before);
}

TEST_F(EvidencePackageRules, AnExistingTargetAndAMomentOutsideTheRecordingAreRefusedAndNothingIsTouched) {
    FakeMedia media;
    for (int moment : {-1, 15, 99}) {
        const EvidenceResult result = make(media, moment);
        EXPECT_EQ(result.messageKey, "IDS_ERR_EVIDENCE_MOMENT") << moment;
        EXPECT_EQ(pmEvidenceMessage(result), "Second " + std::to_string(moment) +
                                                 " is not in the recording. No evidence package was made.");
    }
    EXPECT_FALSE(fs::exists(home.path() + "/package"));
    const std::string target = home.path() + "/package";
    for (const char* kind : {"empty folder", "folder", "file", "dangling link"}) {
        fs::remove_all(target);
        if (kind == std::string("file")) writeFile(target, "kept");
        else if (kind == std::string("dangling link")) fs::create_symlink("nowhere", target);
        else fs::create_directory(target);
        if (kind == std::string("folder")) writeFile(target + "/note.txt", "kept");
        const std::set<std::string> before = namesIn(home.path());
        const EvidenceResult result = make(media);
        EXPECT_EQ(result.messageKey, "IDS_ERR_EVIDENCE_EXISTS") << kind;
        EXPECT_EQ(namesIn(home.path()), before) << kind;
        if (kind == std::string("folder")) { EXPECT_EQ(namesIn(target), std::set<std::string>{"note.txt"}); }
    }
}

// A disk that fills up while the originals are copied, then the same disk read-only: each says why
// in its own message and leaves nothing there.
TEST_F(EvidencePackageRules, AFullOrReadOnlyTargetSaysSoAndLeavesNothing) {
    const std::string out = home.path() + "/out";
    fs::create_directories(out);
    const int code = runInPrivateTmpfs(out, "256k", [&] {
        FakeMedia media;
        EvidenceRequest request;
        request.recording = sampleCardPath(sampleCardEntry("EVEN0001F.MP4"));  // 400 kB
        request.target = out + "/package";
        if (pmMakeEvidencePackage(request, media, progress).messageKey != "IDS_ERR_NO_DISK_SPACE") return 1;
        if (!namesIn(out).empty()) return 2;
        if (::mount(nullptr, out.c_str(), nullptr, MS_REMOUNT | MS_RDONLY, nullptr) != 0) return 5;
        if (pmMakeEvidencePackage(request, media, progress).messageKey != "IDS_ERR_FOLDER_READ_ONLY") return 3;
        return namesIn(out).empty() ? 0 : 4;
    });
    if (code == kNoNamespace) GTEST_SKIP() << "no private mount namespace with a tmpfs here (needs root)";
    EXPECT_EQ(code, 0) << "1: a full disk's message, 2: what it left, 3: a read-only disk's message, 4: what "
                          "that left, 5: no read-only remount";
}

TEST(EvidenceSums, LinesAreSortedByPathInTheFormSha256sumChecksWithOddNamesEscaped) {
    const std::string a(64, 'a'), b(64, 'b'), c(64, 'c');
    EXPECT_EQ(pmSha256SumsText({{"report.pdf", a}, {"originals/EVEN0001F.MP4", b}, {"clip.mp4", c}}),
              c + "  clip.mp4\n" + b + "  originals/EVEN0001F.MP4\n" + a + "  report.pdf\n");
    EXPECT_EQ(pmSha256SumsText({{"originals/a\\b\nc.MP4", a}}), "\\" + a + "  originals/a\\\\b\\nc.MP4\n");
}

}  // namespace
