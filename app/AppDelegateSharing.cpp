// The way to an upload: the toolbar's two buttons, the connectivity check, the sign-in and, once
// signed in, the choice of recordings in the selection dialog (its outcome is routed with the
// backup's, in AppDelegateBackup.cpp).
#include "app/AppDelegate.h"

#include "Utility/DiagnosticLog.h"
#include "Utility/MessageBox.h"
#include "Utility/StringTables.h"
#include "outputs/EvidenceReport.h"

void AppDelegate::onButtonUploadYouTube() { doVideoUpload(kVideoWebsiteYouTube); }

void AppDelegate::onButtonUploadFacebook() { doVideoUpload(kVideoWebsiteFacebook); }

void AppDelegate::doVideoUpload(std::int16_t videoWebsite) {
    m_nVideoWebsite = videoWebsite;
    const bool facebook = videoWebsite == kVideoWebsiteFacebook;
    // The program ships without a registration with the services: say what to set and where.
    if (facebook ? !services_.sharing.facebook.configured() : !services_.sharing.youtube.configured()) {
        pmOutputDebugMsgF("AppDelegate::doVideoUpload - %s is not configured", facebook ? "Facebook" : "YouTube");
        pmMessageBox(pmFillMessage(pmGetString("IDS_ERR_UPLOAD_NOT_CONFIGURED"),
                                   {facebook ? "Facebook" : "YouTube",
                                    facebook ? "facebook.appId" : "youtube.clientId, youtube.clientSecret",
                                    pmServicesConfigPath()}),
                     "", 16);
        return;
    }
    if (playlist().empty() || !views_.dialogs) return;
    if (!services_.connectivity || !services_.connectivity->isInternetConnected()) {
        pmMessageBox(pmGetString("IDS_ERR_NO_INTERNET"), "", 16);
        return;
    }
    pausePlayback();
    doLogin();
}

void AppDelegate::doLogin() {
    observeUploadVideoChanged();
    m_bLoginOpen = true;
    views_.dialogs->runLoginDialog(m_nVideoWebsite);
    // Closed before the sign-in ended: nothing was told, and the next sign-in must not find this
    // one still listening.
    if (m_bLoginOpen) {
        m_bLoginOpen = false;
        stopObservingUploadVideoChanged();
        pmOutputDebugMsg("AppDelegate::doLogin - the login window was closed");
    }
}

void AppDelegate::loginFinished(const Notification& notification) {
    if (!m_bLoginOpen) return;
    m_bLoginOpen = false;
    mFBKey = pmFacebookKey(notification);
    mYouTubeKey = pmYouTubeKey(notification);
    openBackupDlg(pmGetString(m_nVideoWebsite == kVideoWebsiteFacebook ? "IDS_UPLOAD_FACEBOOK" : "IDS_UPLOAD_YOUTUBE"),
                  false);
}
