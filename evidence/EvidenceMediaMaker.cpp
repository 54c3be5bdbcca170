#include "evidence/EvidenceMediaMaker.h"

#include "evidence/EvidenceBand.h"
#include "evidence/EvidenceReportPage.h"

EvidenceMedia::ClipOutcome EvidenceMediaMaker::writeClip(const Clip& clip,
                                                         const std::function<bool(double share)>& progress) {
    const EvidenceBandPainter painter(clip.speedUnit);
    ClipRequest request;
    request.front = clip.front;
    request.rear = clip.rear;
    request.output = clip.output;
    request.span = clip.span;
    request.stillSeconds = {clip.moment - 1, clip.moment, clip.moment + 1};
    request.bandHeight = [&](int width) { return painter.height(width); };
    request.band = [&](int second, int width, int height) { return painter.draw(clip.bandText(second), width, height); };
    request.progress = progress;
    ClipResult result = pmEncodeEvidenceClip(request);
    stills_ = std::move(result.stills);
    return {result.ok, result.canceled, result.error, result.writeError, result.audio};
}

bool EvidenceMediaMaker::writeReport(const EvidenceReport& report, const std::string& path, std::string& error) {
    return pmWriteEvidenceReportPdf(report, stills_, path, error);
}
