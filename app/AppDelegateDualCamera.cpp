// Dual-camera playback: the second player, pairs, stepping, swapping the views and keeping the
// two players' rates and positions together.
#include "app/AppDelegate.h"

#include "Utility/DiagnosticLog.h"

#include <cstdio>

bool AppDelegate::checkDualCameraFolder() {
    pmOutputDebugMsg("AppDelegate::checkDualCameraFolder");
    bool dual = false;
    const auto count = static_cast<std::int32_t>(playlist().size());
    for (std::int32_t i = 0; i < count && !dual; ++i)
        dual = mLibrary.checkDualCameraFileType(i) != 0 && mLibrary.getAnotherCameraFile(i) != -1;
    enable2VideoWindow(dual);
    return dual;
}

void AppDelegate::enable2VideoWindow(bool enable) {
    pmOutputDebugMsgF("AppDelegate::enable2VideoWindow = %d", enable ? 1 : 0);
    if (m_bSwitchVideo) switchVideoWindow(false);
    const bool changed = enable != m_b2VideoWindowEnable;
    m_b2VideoWindowEnable = enable;
    views_.toolbar->setWindowSwitchVisible(enable);
    views_.movieView2->setHidden(!enable);
    if (changed && static_cast<int>(newFrameWidth) != 0 && static_cast<int>(newFrameHeight) != 0 && views_.layout)
        views_.layout->relayout(newFrameWidth, newFrameHeight);
}

void AppDelegate::switchVideoWindow(bool swap) {
    m_bSwitchVideo = swap;
    MovieView& first = *views_.movieView;
    MovieView& second = *views_.movieView2;
    const ViewFrame frame1 = first.frame();
    const ViewFrame frame2 = second.frame();
    const bool exchange = swap ? frame1.width > frame2.width : frame2.width > frame1.width;
    if (exchange) {
        first.setFrame(frame2);
        second.setFrame(frame1);
        // The view that became small gets the grey fill, the large one black.
        first.setFillGray(swap ? 55 : 0);
        second.setFillGray(swap ? 0 : 55);
    }
    first.setHidden(m_nScreenMode > 1);
    second.setHidden(!m_b2VideoWindowEnable);
}

void AppDelegate::onButtonWindowSwitch() {
    if (playlist().empty() || !has2Videos()) return;
    switchVideoWindow(!m_bSwitchVideo);
}

int AppDelegate::getSwitchButtonPosition(double listLeft, double listWidth, bool hasList) const {
    if (!hasList) return 668;
    return static_cast<int>((bR2L ? listLeft + listWidth : listLeft) - 22);
}

void AppDelegate::dualSelectFile(std::int32_t index) {
    const std::int32_t partner = mLibrary.getAnotherCameraFile(index);
    if (partner == -1) {
        rearLock_.disengage();
        switchVideoWindow(false);
        if (mSelectedMovie2) setCurPlaylistIndex2(-1, false);
        setCurPlaylistIndex(index, true);
        return;
    }
    // The pair starts together and stays in step; the lock only holds and trims the players, so
    // nothing of it reaches the rate notifications below.
    rearLock_.engage();
    if (mLibrary.checkDualCameraFileType(index) == 1) {
        if (m_bSwitchVideo) switchVideoWindow(false);
        setCurPlaylistIndex(index, true);
        setCurPlaylistIndex2(partner, true);
    } else {
        if (!m_bSwitchVideo) switchVideoWindow(true);
        views_.fileList->setCurSel(partner, true);
        setCurPlaylistIndex(partner, true);
        setCurPlaylistIndex2(index, true);
    }
}

bool AppDelegate::dualNextFile(bool forward, bool wrap) {
    const std::int32_t k = m_nCurPlayIndex;
    const auto n = static_cast<std::int32_t>(playlist().size());
    std::int32_t target = k;
    if (forward) {
        target = k + (mSelectedMovie2 ? 2 : 1);
        if (target >= n) target = wrap ? 0 : k;
    } else if (k >= 1) {
        target = k - 1;
        if (mLibrary.checkDualCameraFileType(target) == 2) {
            const std::int32_t partner = mLibrary.getAnotherCameraFile(target);
            if (partner != -1) target = partner;
        }
    } else {
        target = wrap ? n - 1 : k;
    }
    if (target == k) {
        onStop();
        return false;
    }
    dualSelectFile(target);
    return true;
}

void AppDelegate::setCurPlaylistIndex2(std::int32_t index, bool /*autoPlay*/) {
    if (index == m_nCurPlayIndex2) return;
    m_nCurPlayIndex2 = index;

    MoviePlayer* newMovie = nullptr;
    bool replaced = false;
    if (const auto path = mLibrary.getFilePathInPlaylist(index)) {
        if (mSelectedMovie2 && mSelectedMovie2->path() == *path) {
            newMovie = mSelectedMovie2;
        } else {
            pmOutputDebugMsgF("AppDelegate - ready to open video 2 : %s", path->c_str());
            if (mSelectedMovie2) mSelectedMovie2->stop();
            replaced = true;
            if (services_.player2.open(*path)) newMovie = &services_.player2;
            else presentError(services_.player2.loadError());
        }
    }
    if (newMovie != mSelectedMovie2 || replaced) {
        services_.player2.removeObserver(this);
        if (mSelectedMovie2 && !newMovie) {
            rearLock_.disengage();
            mSelectedMovie2->close();
        }
        mSelectedMovie2 = newMovie;
        if (mSelectedMovie2) mSelectedMovie2->addObserver(this);
    }
    views_.movieView2->showPlayer(mSelectedMovie2 ? 1 : -1);
}

void AppDelegate::movieLoadStateChanged2() {
    switch (mSelectedMovie2->loadState()) {
        case kMovieLoadStatePlayable:
            pmOutputDebugMsg("AppDelegate::movieLoadStateChanged2 - open video2 OK!");
            mSelectedMovieDuration = mSelectedMovie2->duration();
            mSelectedMovie2->setMuted(true);
            mSelectedMovie2->setRate(m_fPlaySpeed);
            break;
        case kMovieLoadStateError:
            presentError(mSelectedMovie2->loadError());
            break;
        default:
            break;
    }
}

void AppDelegate::movieRateChanged2() {
    const int s2 = getState2();
    if (m_bSyncStateFromVideo1) {
        m_bSyncStateFromVideo1 = m_bSyncStateFromVideo2 = false;
        return;
    }
    const int button = views_.playBar->playButtonIndex();
    if (s2 == 2 && button == 1) {
        m_bSyncStateFromVideo2 = false;
        return;
    }
    if (s2 == 3) {
        if (button == 0) {
            m_bSyncStateFromVideo2 = false;
            return;
        }
        const double left = mSelectedMovieDuration - mSelectedMovieCurrentTime;
        if (left < 1.0) {
            pmOutputDebugMsgF("Appdelegate -> movieRateChanged2() - Rear video is stopped firstly - %f", left);
            m_bSyncStateFromVideo2 = false;
            return;
        }
    }
    if (s2 == 0) {
        m_bSyncStateFromVideo2 = false;
        return;
    }
    m_bSyncStateFromVideo2 = true;
    std::fprintf(stderr, "Appdelegate -> movieRateChanged2() - state2 changed - %f\n", mSelectedMovie2->rate());
    if (!mSelectedMovie) return;  // the front recording could not be opened: nothing to mirror to
    if (s2 == 2) {
        checkPlayButtonState(false);
        mSelectedMovie->setRate(m_fPlaySpeed);
    } else {
        checkPlayButtonState(true);
        mSelectedMovie->setRate(0.0f);
        syncVideoPlayback();
    }
}

void AppDelegate::syncVideoPlayback() {
    if (!has2Videos()) return;
    const double t1 = mSelectedMovie ? mSelectedMovie->currentTime() : 0.0;
    const double t2 = mSelectedMovie2->currentTime();
    mSelectedMovie2->setCurrentTime(t1);
    if (t1 - t2 > 0.2 || t1 - t2 < -0.2)
        pmOutputDebugMsgF("AppDeledate::SyncVideoPlayback() - Synchronize 2 videos - %.f sec", t1 - t2);
}
