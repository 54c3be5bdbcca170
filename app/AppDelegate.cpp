#include "app/AppDelegate.h"

#include "Utility/DiagnosticLog.h"
#include "Utility/Language.h"
#include "Utility/Preferences.h"
#include "Utility/Skin.h"
#include "Utility/Version.h"
#include "Utility/WaitingIndicator.h"

#include <cassert>
#include <cmath>
#include <cstdio>

namespace {
// The address the update menu opens.
constexpr const char* kUpdateAddress = "https://cartena-manager.example/update";
}  // namespace

AppDelegate::AppDelegate(AppServices services, ControllerViews views)
    : services_(std::move(services)),
      views_(views),
      rearLock_(services_.player1, services_.player2, services_.scheduler) {
    assert(views_.playBar && views_.toolbar && views_.fileList && views_.calendar && views_.map &&
           views_.gsensor && views_.movieView && views_.movieView2);
}

AppDelegate::~AppDelegate() {
    // A backup still running is cancelled and waited for (the views may be gone already).
    if (mBackupProgressTimer != 0) services_.scheduler.cancel(mBackupProgressTimer);
    backupJob_.reset();
    stopObservingUploadVideoChanged();
    for (auto token : observerTokens_) services_.notifications.removeObserver(token);
    stopPlaybackTimer();
    services_.scheduler.cancel(mCenterMapTimer);
    services_.player1.removeObserver(this);
    services_.player2.removeObserver(this);
}

std::int32_t AppDelegate::getSkinId() { return pmGetSkinID(); }

void AppDelegate::saveSkinId(std::int32_t skinId) { pmSaveSkinID(skinId); }

void AppDelegate::applicationWillFinishLaunching() { getSkinId(); }

void AppDelegate::applicationDidFinishLaunching(const std::string& folder) {
    pmDeleteOutputDebugMsg();
    pmOutputDebugMsg("-- Start Video Player! - AppDelegate.");
    pmOutputDebugMsgF("Version : %s", pmGetVersionInfo().c_str());
    // Only logged, so the start does not wait for it: the line comes when the answer does.
    auto logAnswer = [](bool online) {
        pmOutputDebugMsg(online ? "applicationDidFinishLaunching - pmIsInternetConnected() - TRUE"
                                : "applicationDidFinishLaunching - pmIsInternetConnected() - FALSE");
    };
    if (services_.connectivity) services_.connectivity->checkInBackground(logAnswer);
    else logAnswer(false);
    initialData();
    // A folder given for this run is scanned instead of the stored one, and not remembered.
    if (!folder.empty()) mCurFolder = folder;
    buildVideoLibrary(mCurFolder);
}

void AppDelegate::initialData() {
    m_bAllFile = false;
    m_nCurPlayIndex = -1;
    m_nPlayState = 0;
    m_bMute = false;
    m_nVolume = clampedVolume(pmGetProfileInt(kKeyVolume, kDefaultVolume));
    m_fPlaySpeed = 1.0f;
    mCurFolder = pmGetStorageFolder();
    mSelectedMovieCurrentTime = 0.0;
    mSelectedMovieDuration = 0.0;
    m_nEventTime = -1;
    m_nMotorType = 0;
    m_nScreenMode = 0;
    m_nSensorX = m_nSensorY = m_nSensorZ = 0;
    m_rectNormalScreen = ViewFrame{};
    m_bVideoLoading = false;
    m_b2VideoWindowEnable = false;
    m_bSwitchVideo = false;
    newFrameWidth = newFrameHeight = 0.0;
    m_bSyncStateFromVideo1 = false;
    m_bSyncStateFromVideo2 = false;
    m_poGpsTempData.ResetData();
    m_poGpsList.ClearAllData();
    observeNotifications();
}

void AppDelegate::observeNotifications() {
    if (!observerTokens_.empty()) return;
    auto& center = services_.notifications;
    auto observe = [&](const char* name, NotificationCenter::Handler handler) {
        observerTokens_.push_back(center.addObserver(NotificationCenter::fullName(name), std::move(handler)));
    };
    observe(notify::kPlayBarButtonClicked, [this](const Notification& n) { onPlayBarButtonClicked(n); });
    observe(notify::kDoSliderChanged, [this](const Notification& n) { onSliderChanged(n); });
    observe(notify::kFileListViewDoubleClick, [this](const Notification& n) { dblClickFile(std::int32_t(n.object)); });
    observe(notify::kFileListViewCheckBox, [this](const Notification&) { rebuildPlaylist(); });
    observe(notify::kMapViewReady, [this](const Notification&) { onMapViewReady(); });
    observe(notify::kCalendarSelChanged, [this](const Notification&) { rebuildPlaylist(); });
}

void AppDelegate::applicationDidBecomeActive(double contentWidth, double contentHeight) {
    pmOutputDebugMsg("Application DidBecomeActive !");
    pmOutputDebugMsgF("AppDelegate::applicationDidBecomeActive, bFirstTimeActive = %d, isDualCameraMode = %d",
                      bFirstTimeActive ? 1 : 0, m_b2VideoWindowEnable ? 1 : 0);
    if (bFirstTimeActive) {
        bR2L = pmIsRightLayout();
        newFrameWidth = contentWidth;
        newFrameHeight = contentHeight + 22;  // the title bar
        services_.scheduler.startOneShot(0.1, [this] { relayoutContents(); });
    }
    bFirstTimeActive = false;
}

void AppDelegate::relayoutContents() {
    if (newFrameWidth == 0 || newFrameHeight == 0) {
        pmOutputDebugMsg("AppDelegate::relayoutContents () frame size is 0");
        newFrameWidth = 977;
        newFrameHeight = 664;
    }
    if (views_.layout) views_.layout->relayout(newFrameWidth, newFrameHeight);
}

void AppDelegate::makeSleep() {
    pmOutputDebugMsg("AppDelegate::makeSleep - MAC will make sleep!");
    if (getState() != 0) {
        pausePlayback();
        pmOutputDebugMsg("AppDelegate::makeSleep - paused playback before sleep!");
    }
}

void AppDelegate::makeWake() { pmOutputDebugMsg("AppDelegate::makeWake - MAC will wake up!"); }

void AppDelegate::windowWillClose() {
    pmOutputDebugMsg("Window will be closed!!");
    pausePlayback();
    // A backup still running is cancelled; what it was copying is dropped.
    if (backupJob_) backupJob_->cancel();
    finishBackup(false);
    // So is an evidence package: nothing of it stays.
    if (evidenceJob_) evidenceJob_->cancel();
    finishEvidence(false);
}

void AppDelegate::applicationWillTerminate() {
    pmOutputDebugMsg("Application will be closed!");
    setCurPlaylistIndex(-1, false);
    stopMonitorFolder();
}

void AppDelegate::updateMenuItemClicked() {
    if (services_.openAddress) services_.openAddress(kUpdateAddress);
}

void AppDelegate::languageMenuItemClicked(std::int32_t languageId) {
    std::fprintf(stderr, "languageMenuItemClicked ! - %d\n", static_cast<int>(languageId));
    saveLanguageId(languageId);
    views_.calendar->changeLanguage();
    views_.toolbar->changeLanguage();
    views_.fileList->changeLanguage();
    views_.map->changeLanguage();
    views_.playBar->changeLanguage();
    // The graph's texts come with its images.
    views_.gsensor->loadSkinBitmap();
    redrawSensorGraph();
    const bool rightToLeft = pmIsRightLayout();
    if (rightToLeft != bR2L) {
        bR2L = rightToLeft;
        pmOutputDebugMsg("AppDelegate - ready to relayout for language changed.");
        services_.scheduler.startOneShot(0.5, [this] { relayoutContents(); });
    }
    if (views_.layout) views_.layout->changeLanguage();
}

void AppDelegate::skinMenuItemClicked(std::int32_t skinId) {
    saveSkinId(skinId);
    if (views_.layout) views_.layout->applySkinPalette();
    views_.toolbar->loadSkinBitmap();
    views_.playBar->loadSkinBitmap();
    views_.calendar->loadSkinBitmap();
    views_.fileList->loadSkinBitmap();
    views_.map->loadSkinBitmap();
    views_.gsensor->loadSkinBitmap();
    // The curves are drawn in the skin's axis colours over its plot picture.
    redrawSensorGraph();
}

std::int32_t AppDelegate::clampedVolume(std::int32_t level) const { return std::clamp(level, 0, 10); }
