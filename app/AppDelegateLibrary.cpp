// The controller's side of the library: scans, playlist rebuilds and their effects on the views.
#include "app/AppDelegate.h"

#include "Utility/DiagnosticLog.h"
#include "Utility/Preferences.h"
#include "Utility/WaitingIndicator.h"

bool AppDelegate::buildVideoLibrary(const std::string& folder) {
    return mLibrary.buildVideoLibrary(folder, *this);
}

void AppDelegate::rebuildPlaylist() { mLibrary.rebuildPlaylist(*this); }

void AppDelegate::checkLastVideoDate() { mLibrary.checkLastVideoDate(*this); }

void AppDelegate::runScan(const std::function<void()>& walk) {
    if (services_.runInBackground) services_.runInBackground(walk);
    else walk();
}

void AppDelegate::startMonitorFolder(const std::string& folder) {
    if (!services_.folderWatch) return;
    if (!folderMonitor_) {
        FolderMonitorHost& host = *this;
        folderMonitor_ = std::make_unique<FolderMonitor>(host, *services_.folderWatch, services_.scheduler);
    }
    folderMonitor_->startMonitorFolder(folder);
}

void AppDelegate::stopMonitorFolder() {
    if (folderMonitor_) folderMonitor_->stopMonitorFolder();
}

void AppDelegate::startWait() { pmStartWait(); }
void AppDelegate::endWait() { pmEndWait(); }

void AppDelegate::videoLibIsReady() { views_.calendar->videoLibIsReady(); }

void AppDelegate::setActivateDay(int year, int month, int day) { views_.calendar->setActivateDay(year, month, day); }

void AppDelegate::closePlayers() {
    setCurPlaylistIndex(-1, false);
    if (m_b2VideoWindowEnable) setCurPlaylistIndex2(-1, false);
}

PlaylistFilter AppDelegate::playlistFilter() {
    PlaylistFilter filter;
    filter.allFile = m_bAllFile;
    filter.showNormal = views_.fileList->isShowNormalFile();
    filter.showEvent = views_.fileList->isShowEventFile();
    filter.showParking = views_.fileList->isShowParkingFile();
    int year = 0, month = 0, day = 0;
    views_.calendar->getSelectDay(year, month, day);
    filter.selectedDay = CalendarDay{year, month, day};
    return filter;
}

void AppDelegate::playlistRebuilt(const std::vector<AMediaFile>& playlist) {
    views_.fileList->buildFileList(playlist);
    checkDualCameraFolder();
    views_.map->setPosition(0.0f, 0.0f, 0.0f, 65535.0f, -1.0f);
    m_poGpsList.ClearAllData();
    m_poGpsTempData.ResetData();
    resetCtrl();
    drawTime();
    m_nMotorType = 0;
    m_oSensorBitmap = SensorGraphic{};
    views_.gsensor->setGensorGraphic(nullptr, 0, 0.0);
    enableMediaButton(!playlist.empty());
    views_.playBar->setTimeSliderEnabled(false);
}

void AppDelegate::onButtonBrowse() {
    pmOutputDebugMsg("AppDelegate - onButtonBrowse()");
    if (!services_.chooseFolder) return;
    const auto chosen = services_.chooseFolder(pmGetStorageFolder());
    if (!chosen) return;
    mCurFolder = *chosen;
    buildVideoLibrary(mCurFolder);
    pmSaveStorageFolder(mCurFolder);
}

void AppDelegate::showCalendar(bool show) {
    m_bAllFile = !show;
    if (views_.layout) views_.layout->showCalendar(show);
    rebuildPlaylist();
}
