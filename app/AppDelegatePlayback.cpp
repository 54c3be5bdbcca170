// Playback of the first player: opening playlist entries, play, pause, stop, stepping, speed,
// volume and mute, and the movie's notifications.
#include "app/AppDelegate.h"

#include "Utility/DiagnosticLog.h"
#include "Utility/Language.h"
#include "Utility/MessageBox.h"
#include "Utility/Preferences.h"
#include "Utility/StringTables.h"
#include "Utility/WaitingIndicator.h"

#include <cstdio>

namespace {

enum PlayBarCode { kPlay = 1, kPause = 2, kNext = 3, kPrevious = 4, kMute = 7, kSpeed = 9, kFullScreen = 10 };

}  // namespace

float AppDelegate::rateForSpeedIndex(int index) {
    switch (index) {
        case 1: return 1.5f;
        case 2: return 2.0f;
        case 3: return 0.25f;
        case 4: return 0.5f;
        default: return 1.0f;
    }
}

void AppDelegate::setCurPlaylistIndex(std::int32_t index, bool /*autoPlay*/) {
    if (index == m_nCurPlayIndex) return;
    pmOutputDebugMsgF("setCurPlaylistIndex() - index = %d", index);
    m_nCurPlayIndex = index;

    MoviePlayer* newMovie = nullptr;
    bool replaced = false;
    if (const auto path = mLibrary.getFilePathInPlaylist(index)) {
        if (mSelectedMovie && mSelectedMovie->path() == *path) {
            newMovie = mSelectedMovie;
        } else {
            pmOutputDebugMsgF("AppDelegate - ready to open video : %s", path->c_str());
            m_bVideoLoading = true;
            if (mSelectedMovie) mSelectedMovie->stop();
            pmStartWait();
            replaced = true;
            if (services_.player1.open(*path)) {
                newMovie = &services_.player1;
            } else {
                m_bVideoLoading = false;
                presentError(services_.player1.loadError());
            }
        }
    }

    if (newMovie != mSelectedMovie || replaced) {
        services_.player1.removeObserver(this);
        if (mSelectedMovie && !newMovie) mSelectedMovie->close();
        mSelectedMovie = newMovie;
        if (mSelectedMovie) {
            mSelectedMovie->addObserver(this);
            startPlaybackTimer();
        } else {
            stopPlaybackTimer();
        }
        mSelectedMovieDuration = 0.0;
        handleLoadStateChanged();
        updateSelectedMovieCurrentTime();
        updateSelectedMovieIsPlaying();
    }

    setVolume(m_nVolume);
    checkMute();
    pmOutputDebugMsg("Set movie to movie view !");
    // In the swapped dual view the large (first) view shows the rear player.
    views_.movieView->showPlayer(mSelectedMovie ? 0 : -1);
    pmOutputDebugMsg("setCurPlaylistIndex() - end !");
}

int AppDelegate::getState() {
    if (!mSelectedMovie) m_nPlayState = 0;
    else m_nPlayState = mSelectedMovie->rate() != 0.0f ? 2 : 3;
    return m_nPlayState;
}

int AppDelegate::getState2() const {
    if (!mSelectedMovie2) return 0;
    return mSelectedMovie2->rate() != 0.0f ? 2 : 3;
}

void AppDelegate::movieLoadStateChanged(MoviePlayer& player) {
    if (&player == mSelectedMovie) handleLoadStateChanged();
    else if (&player == mSelectedMovie2) movieLoadStateChanged2();
}

void AppDelegate::movieRateChanged(MoviePlayer& player) {
    if (&player == mSelectedMovie) movieRateChanged1();
    else if (&player == mSelectedMovie2) movieRateChanged2();
}

void AppDelegate::movieDidEnd(MoviePlayer& player) {
    // The second movie's end is not observed: the first one drives the playlist.
    if (&player != mSelectedMovie) return;
    pmOutputDebugMsg("AppDelegate::movieDidEnd");
    if (m_nCurPlayIndex + 1 >= static_cast<std::int32_t>(playlist().size())) onStop();
    else onButtonNext(false);
}

void AppDelegate::handleLoadStateChanged() {
    if (!mSelectedMovie) return;
    switch (mSelectedMovie->loadState()) {
        case kMovieLoadStatePlayable:
            if (m_bVideoLoading) {
                m_bVideoLoading = false;
                pmOutputDebugMsg("AppDelegate::handleLoadStateChanged - open video OK!");
                mSelectedMovieDuration = mSelectedMovie->duration();
                onOpenGPSFile();
                onButtonPlay();
                pmEndWait();
            } else {
                pmOutputDebugMsg("AppDelegate::handleLoadStateChanged - twice open video OK, then pass it.");
            }
            break;
        case kMovieLoadStateLoaded:
            if (mSelectedMovie->duration() < 0.1) std::fputs("Video is too short !\n", stderr);
            break;
        case kMovieLoadStateError:
            m_bVideoLoading = false;
            presentError(mSelectedMovie->loadError());
            break;
        default:
            break;
    }
}

bool AppDelegate::presentError(const MovieError& error) {
    pmEndWait();
    pmOutputDebugMsgF("AppDelegate - open video error code = %ld : %s", error.code, error.description.c_str());
    pmMessageBox(pmGetString("IDS_ERR_INSTALL_CODEC"), pmGetString("IDR_MAINFRAME"), 16);
    return true;
}

void AppDelegate::onButtonPlay() {
    pmOutputDebugMsg("AppDelegate - onButtonPlay()");
    if (getState() == 0 && !playlist().empty()) {
        const int row = views_.fileList->getCurSel();
        if (row >= 0 && row < static_cast<int>(playlist().size())) {
            dblClickFile(row);
            return;
        }
    }
    checkPlayButtonState(false);
    onPlay();
}

void AppDelegate::onPlay() {
    if (getState() == 2) return;
    if (mSelectedMovie) mSelectedMovie->setRate(m_fPlaySpeed);
    if (has2Videos()) mSelectedMovie2->setRate(m_fPlaySpeed);
}

void AppDelegate::onButtonPause() {
    pmOutputDebugMsg("AppDelegate - onButtonPause()");
    onPause();
}

void AppDelegate::onPause() {
    const int state = getState();
    if (state == 2 || state == 3) mSelectedMovie->setRate(0.0f);
    if (has2Videos()) {
        mSelectedMovie2->setRate(0.0f);
        syncVideoPlayback();
    }
}

bool AppDelegate::pausePlayback() {
    if (getState() != 2) return false;
    onButtonPause();
    return true;
}

void AppDelegate::onStop() {
    if (mSelectedMovie) mSelectedMovie->stop();
    if (has2Videos()) mSelectedMovie2->stop();
    showFirstFrame();
    mSelectedMovieCurrentTime = 0.0;
    onStopMessage();
}

void AppDelegate::showFirstFrame() {
    if (mSelectedMovie) mSelectedMovie->setCurrentTime(0.0);
    if (has2Videos()) mSelectedMovie2->setCurrentTime(0.0);
}

void AppDelegate::onStopMessage() {
    views_.playBar->resetPlayButtons();
    views_.playBar->setTimeSliderValue(0);
    drawTime();
    mapGoTo();
    drawIndicatorAtSlider();
}

void AppDelegate::onButtonNext(bool userAsked) {
    const auto count = static_cast<std::int32_t>(playlist().size());
    if (count < 2) return;
    resetCtrl();
    if (m_b2VideoWindowEnable) {
        // Pairs step over the rear partner; wrapping only when the user asked.
        dualNextFile(true, userAsked);
    } else {
        const std::int32_t current = m_nCurPlayIndex != -1 ? m_nCurPlayIndex : views_.fileList->getCurSel();
        setCurPlaylistIndex(current + 1 >= count ? 0 : current + 1, true);
    }
    onUpdateTitle(0);
}

void AppDelegate::onButtonPrev() {
    const auto count = static_cast<std::int32_t>(playlist().size());
    if (count < 2) return;
    resetCtrl();
    if (m_b2VideoWindowEnable) {
        dualNextFile(false, true);
    } else {
        const std::int32_t current = m_nCurPlayIndex != -1 ? m_nCurPlayIndex : views_.fileList->getCurSel();
        setCurPlaylistIndex(current <= 0 ? count - 1 : current - 1, true);
    }
    onUpdateTitle(0);
}

void AppDelegate::onUpdateTitle(int flag) {
    if (m_nCurPlayIndex == -1) return;
    switch (getState()) {
        case 2:
            views_.fileList->setCurSel(m_nCurPlayIndex, true);
            checkPlayButtonState(false);
            break;
        case 3:
            views_.fileList->setCurSel(m_nCurPlayIndex, true);
            drawTime();
            checkPlayButtonState(true);
            break;
        default:
            views_.fileList->setCurSel(m_nCurPlayIndex, flag == 1);
            checkPlayButtonState(true);
            break;
    }
}

void AppDelegate::dblClickFile(std::int32_t index) {
    if (m_b2VideoWindowEnable) dualSelectFile(index);
    else setCurPlaylistIndex(index, true);
    views_.fileList->showPlayMark(index);
    if (getState() == 2) checkPlayButtonState(false);
}

void AppDelegate::onPlayBarButtonClicked(const Notification& notification) {
    switch (notification.object) {
        case kPlay: onButtonPlay(); break;
        case kPause: onButtonPause(); break;
        case kNext: onButtonNext(true); break;
        case kPrevious: onButtonPrev(); break;
        case kMute: onButtonMute(); break;
        case kSpeed: onButtonSpeed(); break;
        case kFullScreen: onButtonPlayFullScreen(); break;
        default: break;
    }
}

void AppDelegate::onSliderChanged(const Notification& notification) {
    const auto type = notification.userInfo.find("SLIDER_TYPE");
    if (type == notification.userInfo.end()) return;
    const int value = static_cast<int>(notification.object);
    if (type->second == "volume") {
        pmWriteProfileInt(kKeyVolume, clampedVolume(value));
        setVolume(value);
    } else if (type->second == "time") {
        if (mSelectedMovie) setCurrentMovieTime(value);
        drawIndicatorAtSlider();
        drawTime();
        mapGoTo();
    }
}

void AppDelegate::onButtonPlayFullScreen() {
    m_nScreenMode = m_nScreenMode == 0 ? 1 : 0;
    if (views_.layout) views_.layout->showFullScreen(m_nScreenMode);
}

void AppDelegate::onButtonMapFullScreen() {
    m_nScreenMode = m_nScreenMode == 0 ? 2 : 0;
    if (views_.layout) views_.layout->showFullScreen(m_nScreenMode);
    const int state = getState();
    // The movie keeps playing behind the map; its sound is the user's choice.
    if (m_nScreenMode == 2 && state == 2) checkMute();
    // A paused map does not move by itself: centre it on the car once its new size has settled.
    if (state == 3) {
        services_.scheduler.cancel(mCenterMapTimer);
        mCenterMapTimer = services_.scheduler.startOneShot(0.2, [this] {
            mCenterMapTimer = 0;
            onCenterMap();
        });
    }
}

void AppDelegate::onButtonSpeed() { setPlaySpeed(rateForSpeedIndex(views_.playBar->speedButtonIndex())); }

void AppDelegate::setPlaySpeed(float rate) {
    m_fPlaySpeed = rate;
    if (m_bVideoLoading) {
        pmOutputDebugMsg("AppDelegate - setPlaySpeed() - Video is loading, then pass it.");
        return;
    }
    if (!mSelectedMovie) return;
    pmOutputDebugMsgF("AppDelegate - setPlaySpeed() %.2f - start !", rate);
    if (getState() == 2) {
        mSelectedMovie->setRate(rate);
        if (has2Videos()) mSelectedMovie2->setRate(rate);
    }
    pmOutputDebugMsg("AppDelegate - setPlaySpeed() - end !");
}

void AppDelegate::setVolume(std::int32_t level) {
    static constexpr float kGain[11] = {0.0f, 0.1f, 0.2f, 0.3f, 0.4f, 0.5f, 0.6f, 0.7f, 0.8f, 0.9f, 1.0f};
    m_nVolume = clampedVolume(level);
    if (mSelectedMovie) mSelectedMovie->setVolume(kGain[m_nVolume]);
}

void AppDelegate::onButtonMute() {
    m_bMute = !m_bMute;
    checkMute();
}

void AppDelegate::checkMute() {
    if (mSelectedMovie) mSelectedMovie->setMuted(m_bMute);
}

void AppDelegate::checkPlayButtonState(bool paused) {
    const int wanted = paused ? 0 : 1;
    if (views_.playBar->playButtonIndex() != wanted) views_.playBar->setPlayButtonIndex(wanted);
}

void AppDelegate::resetCtrl() {
    views_.playBar->setTimeSliderValue(0);
    views_.playBar->setEventMarkPos(-1);
    views_.playBar->resetPlayButtons();
}

void AppDelegate::enableMediaButton(bool enable) {
    views_.playBar->enableMediaButtons(enable);
    using B = ToolbarView::Button;
    auto* toolbar = views_.toolbar;
    toolbar->setButtonEnabled(B::Backup, enable && !isBackupRunning());
    toolbar->setButtonEnabled(B::UploadYouTube, enable);
    toolbar->setButtonEnabled(B::UploadFacebook, enable);
    const bool open = enable && getState() != 0;
    toolbar->setButtonEnabled(B::Print, open);
    toolbar->setButtonEnabled(B::Capture, open);
    toolbar->setButtonEnabled(B::Export, enable && m_poGpsList.IsGPSReady());
    toolbar->setButtonEnabled(B::Evidence, open && !isEvidenceRunning() && services_.makeEvidenceMedia);
    views_.playBar->setTimeSliderEnabled(enable);
}

void AppDelegate::drawTime() {
    views_.playBar->setPlayTime(static_cast<int>(mSelectedMovieCurrentTime), static_cast<int>(mSelectedMovieDuration),
                                true);
}

void AppDelegate::movieRateChanged1() {
    const float rate = mSelectedMovie->rate();
    pmOutputDebugMsgF("Appdelegate -> movieRateChanged() - %f", rate);
    // Whether the play button already showed this change decides the mirroring below, so read it
    // before the button is brought in line with the movie.
    const int button = views_.playBar->playButtonIndex();
    updateSelectedMovieIsPlaying();
    checkPlayButtonState(getState() != 2);

    const int s1 = getState();
    const int s2 = getState2();
    if (m_bSyncStateFromVideo2) {
        m_bSyncStateFromVideo1 = m_bSyncStateFromVideo2 = false;
        return;
    }
    const bool mirror = s2 != 0 && s1 != s2 && ((s1 == 3 && button == 1) || (s1 == 2 && button == 0));
    m_bSyncStateFromVideo1 = mirror;
    if (!mirror) return;
    std::fprintf(stderr, "Appdelegate -> movieRateChanged() - state changed - %f\n", rate);
    if (s1 == 2) {
        mSelectedMovie2->setRate(m_fPlaySpeed);
    } else {
        mSelectedMovie2->setRate(0.0f);
        syncVideoPlayback();
    }
}

void AppDelegate::updateSelectedMovieCurrentTime() {
    setSelectedMovieCurrentTime(mSelectedMovie ? mSelectedMovie->currentTime() : 0.0);
}

void AppDelegate::setSelectedMovieCurrentTime(double seconds) { mSelectedMovieCurrentTime = seconds; }

void AppDelegate::updateSelectedMovieIsPlaying() {
    mSelectedMovieIsPlaying = mSelectedMovie && mSelectedMovie->rate() != 0.0f;
}

void AppDelegate::startPlaybackTimer() {
    if (mCheckMovieTimeTimer != 0) return;
    mCheckMovieTimeTimer = services_.scheduler.startRepeating(0.5, [this] { checkMovieTime(); });
}

void AppDelegate::stopPlaybackTimer() {
    if (mCheckMovieTimeTimer == 0) return;
    services_.scheduler.cancel(mCheckMovieTimeTimer);
    mCheckMovieTimeTimer = 0;
}
