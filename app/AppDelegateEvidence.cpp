// The evidence package of the open recording at the current second: the folder choice, the package
// made on a thread of its own behind the progress panel, and its outcome.
#include "app/AppDelegate.h"

#include "Utility/DiagnosticLog.h"
#include "Utility/MessageBox.h"
#include "Utility/Preferences.h"
#include "Utility/UserFolders.h"
#include "library/RecordingName.h"

void AppDelegate::onButtonEvidence() {
    if (!mSelectedMovie || getState() == 0 || !views_.dialogs || !services_.makeEvidenceMedia || isEvidenceRunning())
        return;
    const auto recording = mLibrary.getFilePathInPlaylist(m_nCurPlayIndex);
    if (!recording) return;
    onButtonPause();
    // The whole second being shown, taken before the dialog: the user chose this moment.
    const int second = static_cast<int>(mSelectedMovie->currentTime());
    const std::string title = pmGetFileTitle(*recording, true);
    const auto folder = views_.dialogs->chooseEvidenceFolder(pmGetDocumentsFolder(),
                                                             title + "-evidence-" + std::to_string(second));
    if (!folder) return;

    EvidenceRequest request;
    request.recording = *recording;
    request.target = *folder;
    request.moment = second;
    request.length = mSelectedMovieDuration;
    request.speedUnit = static_cast<std::int16_t>(pmGetProfileInt(kKeySpeedUnit, kDefaultSpeedUnit) != 0 ? 1 : 0);
    request.commandLine = "Cartena Manager window: " + title + ", second " + std::to_string(second);
    evidenceMedia_ = services_.makeEvidenceMedia();
    evidenceJob_ = std::make_unique<EvidenceJob>(std::move(request), *evidenceMedia_);
    views_.toolbar->setButtonEnabled(ToolbarView::Evidence, false);
    views_.dialogs->showProgressPanel(1000, [this] {
        if (evidenceJob_) evidenceJob_->cancel();
    });
    evidenceJob_->start();
    mEvidenceProgressTimer = services_.scheduler.startRepeating(0.5, [this] { updateEvidenceProgress(); });
}

void AppDelegate::updateEvidenceProgress() {
    if (!evidenceJob_) return;
    views_.dialogs->updateProgressPanel(static_cast<std::uint64_t>(evidenceJob_->progress().permille.load()));
    if (evidenceJob_->isFinished()) finishEvidence(true);
}

void AppDelegate::finishEvidence(bool reportOutcome) {
    if (!evidenceJob_) return;
    services_.scheduler.cancel(mEvidenceProgressTimer);
    mEvidenceProgressTimer = 0;
    evidenceJob_->join();
    const EvidenceResult result = evidenceJob_->result();
    const std::string target = evidenceJob_->request().target;
    views_.dialogs->closeProgressPanel();
    evidenceJob_.reset();
    evidenceMedia_.reset();
    views_.toolbar->setButtonEnabled(ToolbarView::Evidence, getState() != 0);
    if (!reportOutcome) return;
    if (result.status == EvidenceResult::Status::Done) pmMessageBox(pmEvidenceDoneMessage(result, target));
    else if (result.status == EvidenceResult::Status::Failed) pmMessageBox(pmEvidenceMessage(result), "", 16);
}
