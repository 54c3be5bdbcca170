// Backup of recordings the user picks from the playlist: the selection dialog (shared with the
// uploads), the folder choice, the copy on a thread of its own and the progress panel.
#include "app/AppDelegate.h"

#include "Utility/DiagnosticLog.h"
#include "Utility/MessageBox.h"
#include "Utility/StringTables.h"
#include "Utility/UserFolders.h"

#include <cinttypes>
#include <cstdio>

void AppDelegate::onButtonBackup() {
    if (playlist().empty() || isBackupRunning() || !views_.dialogs) return;
    pausePlayback();
    observeUploadVideoChanged();
    openBackupDlg(pmGetString("IDS_BACKUP"), true);
}

void AppDelegate::openBackupDlg(const std::string& title, bool backupMode) {
    m_bBackupButton = backupMode;
    views_.dialogs->openBackupDlg(title, backupMode ? -1 : 10, playlist());
}

void AppDelegate::observeUploadVideoChanged() {
    if (!uploadObserver_)
        uploadObserver_ = services_.notifications.addObserver(NotificationCenter::fullName(notify::kUploadVideoChanged),
                                                              [this](const Notification& n) { UploadVideoChanged(n); });
}

void AppDelegate::stopObservingUploadVideoChanged() {
    if (uploadObserver_) services_.notifications.removeObserver(*uploadObserver_);
    uploadObserver_.reset();
}

void AppDelegate::UploadVideoChanged(const Notification& notification) {
    const int type = pmUploadType(notification);
    if (type == 1) {
        loginFinished(notification);
        return;
    }
    if (type != 0 && type != 2) return;
    m_bLoginOpen = false;
    stopObservingUploadVideoChanged();
    if (type != 2) return;
    if (m_bBackupButton) doBackup(pmSelectedRows(notification));
    else editUploadVideos(pmSelectedRows(notification));
}

void AppDelegate::doBackup(const std::set<std::int32_t>& indexes) {
    mSelFileIndexSet = indexes;
    if (mSelFileIndexSet.empty() || isBackupRunning()) return;
    const auto folder = views_.dialogs->chooseBackupFolder(pmGetDocumentsFolder());
    if (!folder) return;
    if (pmIsReadOnlyFolder(*folder)) {
        pmMessageBox(pmGetString("IDS_ERR_FOLDER_READ_ONLY"), "", 16);
        return;
    }
    // The paths are taken now: the folder watch may rebuild the playlist while the copy runs.
    std::vector<std::string> recordings;
    for (const std::int32_t index : mSelFileIndexSet)
        if (const auto path = mLibrary.getFilePathInPlaylist(index)) recordings.push_back(*path);
    backupJob_ = std::make_unique<BackupJob>(std::move(recordings), *folder);
    mCurrentlyTotalBytesWritten = 0;
    views_.toolbar->setButtonEnabled(ToolbarView::Backup, false);
    views_.dialogs->showProgressPanel(backupJob_->totalSize(), [this] {
        if (backupJob_) backupJob_->cancel();
    });
    backupJob_->start();
    mBackupProgressTimer = services_.scheduler.startRepeating(0.5, [this] { updateBackupProgress(); });
}

void AppDelegate::updateBackupProgress() {
    if (!backupJob_) return;
    const std::uint64_t current = backupJob_->currentSize();
    if (current != mCurrentlyTotalBytesWritten) {
        mCurrentlyTotalBytesWritten = current;
        std::fprintf(stderr, "m_lCurrentSize : %" PRIu64 "  lTotalSize : %" PRIu64 "\n", current,
                     backupJob_->totalSize());
        views_.dialogs->updateProgressPanel(current);
    }
    if (backupJob_->isFinished()) finishBackup(true);
}

void AppDelegate::finishBackup(bool reportFailure) {
    if (!backupJob_) return;
    services_.scheduler.cancel(mBackupProgressTimer);
    mBackupProgressTimer = 0;
    backupJob_->join();
    const BackupResult result = backupJob_->result();
    views_.dialogs->updateProgressPanel(backupJob_->currentSize());
    views_.dialogs->closeProgressPanel();
    backupJob_.reset();
    views_.toolbar->setButtonEnabled(ToolbarView::Backup, !playlist().empty());
    pmOutputDebugMsgF("AppDelegate::finishBackup - %d recordings and %d logs copied", result.recordingsCopied,
                      result.logsCopied);
    if (reportFailure && result.status == BackupResult::Status::Failed)
        pmMessageBox(pmBackupMessage(result), "", 16);
}
