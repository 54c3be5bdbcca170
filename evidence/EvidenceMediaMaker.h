#pragma once
#include "evidence/ClipEncoder.h"
#include "outputs/EvidencePackage.h"

#include <vector>

// The clip and the report of one evidence package, made with FFmpeg's libraries and Qt: the clip's
// band drawn by EvidenceBandPainter, the report by pmWriteEvidenceReportPdf with the frames of both
// cameras the clip met at the moment and one second either side.
class EvidenceMediaMaker : public EvidenceMedia {
public:
    ClipOutcome writeClip(const Clip& clip, const std::function<bool(double share)>& progress) override;
    bool writeReport(const EvidenceReport& report, const std::string& path, std::string& error) override;

    const std::vector<ClipStill>& stills() const { return stills_; }

private:
    std::vector<ClipStill> stills_;
};
