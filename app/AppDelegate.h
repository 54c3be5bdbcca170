#pragma once
#include "app/ControllerDialogs.h"
#include "app/ControllerViews.h"
#include "app/FolderMonitor.h"
#include "app/NotificationCenter.h"
#include "app/RearCameraLock.h"
#include "app/SensorGraphic.h"
#include "interfaces/Connectivity.h"
#include "interfaces/MoviePlayer.h"
#include "interfaces/Scheduler.h"
#include "library/VideoLibrary.h"
#include "outputs/Backup.h"
#include "outputs/EvidencePackage.h"
#include "telemetry/GpsData.h"
#include "telemetry/GpsList.h"

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

// What the controller reaches outside itself, besides the views: the players, the run loop and a
// few system services. The window wires the real ones; tests wire fakes and a manual clock.
struct AppServices {
    NotificationCenter& notifications;
    Scheduler& scheduler;
    MoviePlayer& player1;
    MoviePlayer& player2;
    // Watches the scanned folder; none: the playlist is not checked when files vanish.
    FolderWatch* folderWatch = nullptr;
    // Whether the internet can be reached; at start only logged. None: not known, logged as false.
    Connectivity* connectivity = nullptr;
    // Opens an address in the user's browser (the update menu).
    std::function<void(const std::string&)> openAddress{};
    // Lets the user choose one folder, starting in the given one; none when cancelled.
    std::function<std::optional<std::string>(const std::string&)> chooseFolder{};
    // Runs long work (the folder walk) and returns when it is done; the window runs it on a worker
    // thread while the waiting indicator turns. Empty: run it here.
    std::function<void(const std::function<void()>&)> runInBackground{};
    // Encodes a frame as JPEG at the encoder's default quality, scaled to `size` when it differs;
    // empty when it cannot. Empty function: captures are not saved.
    std::function<std::string(const MovieFrameImage&, MovieSize size)> encodeJpeg{};
    // The clip and report maker of one evidence package. Empty: the Evidence button stays disabled.
    std::function<std::unique_ptr<EvidenceMedia>()> makeEvidenceMedia{};
    // The wall clock that names captures. Empty: the system's.
    std::function<std::chrono::system_clock::time_point()> now{};
};

// The application controller: owns the library and the playlist, the two player slots, the current
// telemetry track and the references to the views, and carries out what the user asks through
// the notifications of the views. Main thread only.
class AppDelegate : public MovieObserver, private VideoLibraryClient, private FolderMonitorHost {
public:
    AppDelegate(AppServices services, ControllerViews views);
    ~AppDelegate() override;
    AppDelegate(const AppDelegate&) = delete;
    AppDelegate& operator=(const AppDelegate&) = delete;

    // Start-up, activation and shutdown.
    void applicationWillFinishLaunching();
    // Deletes the previous log, logs the start, sets the fields, registers the observers and scans
    // `folder` (the stored folder when empty; a folder given for one run is never stored).
    void applicationDidFinishLaunching(const std::string& folder = {});
    void applicationDidBecomeActive(double contentWidth, double contentHeight);
    void initialData();
    void makeSleep();
    void makeWake();
    void windowWillClose();
    void applicationWillTerminate();
    void updateMenuItemClicked();
    // The settings menu's language entry: stores the id and has every view re-read its texts.
    void languageMenuItemClicked(std::int32_t languageId);
    void relayoutContents();

    static std::int32_t getSkinId();
    static void saveSkinId(std::int32_t skinId);
    // Stores the skin at once, then every view reloads its images, toolbar first and the G-sensor
    // graph last; a track with G-sensor values gets its curves drawn again.
    void skinMenuItemClicked(std::int32_t skinId);

    // Library and playlist.
    bool buildVideoLibrary(const std::string& folder);
    void rebuildPlaylist() override;
    void checkLastVideoDate() override;
    void onButtonBrowse();
    void showCalendar(bool show);
    const VideoLibrary& library() const { return mLibrary; }
    const std::vector<AMediaFile>& playlist() const { return mLibrary.playlist(); }
    const std::vector<AMediaFile>& videoLib() const { return mLibrary.videoLib(); }
    std::int32_t getCurPlayIndex() const { return m_nCurPlayIndex; }
    bool isAllMediaExist() const override { return mLibrary.isAllMediaExist(); }
    void stopMonitorFolder();
    FolderMonitor* folderMonitor() { return folderMonitor_.get(); }

    // Playback of the first player.
    void setCurPlaylistIndex(std::int32_t index, bool autoPlay);
    int getState();
    int getState2() const;
    void onButtonPlay();
    void onPlay();
    void onButtonPause();
    void onPause();
    void onStop();
    bool pausePlayback() override;
    void showFirstFrame();
    void onStopMessage();
    void onButtonNext(bool userAsked);
    void onButtonPrev();
    void dblClickFile(std::int32_t index);
    void onButtonSpeed();
    void setPlaySpeed(float rate);
    void setVolume(std::int32_t level);
    void onButtonMute();
    void checkMute();
    void checkPlayButtonState(bool paused);
    void resetCtrl();
    void enableMediaButton(bool enable);
    bool presentError(const MovieError& error);
    void drawTime();
    void onUpdateTitle(int flag);
    void onButtonPlayFullScreen();
    // The map's full-map button: the map fills the window, or the window comes back.
    void onButtonMapFullScreen();

    // Dual-camera playback.
    bool isDualCameraMode() const { return m_b2VideoWindowEnable; }
    bool isMovie2Playing() const { return mSelectedMovie2 != nullptr; }
    bool has2Videos() const { return m_b2VideoWindowEnable && mSelectedMovie2 != nullptr; }
    bool checkDualCameraFolder();
    void enable2VideoWindow(bool enable);
    void switchVideoWindow(bool swap);
    void onButtonWindowSwitch();
    int getSwitchButtonPosition(double listLeft, double listWidth, bool hasList) const;
    void dualSelectFile(std::int32_t index);
    bool dualNextFile(bool forward, bool wrap);
    void setCurPlaylistIndex2(std::int32_t index, bool autoPlay);
    void syncVideoPlayback();

    // Telemetry in step with playback.
    void onOpenGPSFile();
    void checkMovieTime();
    void onPlayTimerChange();
    const GpsData* getCurGpsData() const;
    void mapGoTo();
    void setCurrentMovieTime(int seconds);
    void onMapViewReady();
    void onCenterMap();
    float xCreateSensorGraphic(std::int16_t eventSecond);

    // Outputs: frame capture, print, KML export, backup, and the about box.
    void onButtonCapture();
    MovieFrameImage captureCurFrameImage(bool camera1);
    void onButtonPrint();
    void onButtonExport();
    void onButtonBackup();
    void openBackupDlg(const std::string& title, bool backupMode);
    void doBackup(const std::set<std::int32_t>& indexes);
    bool isBackupRunning() const { return backupJob_ != nullptr; }
    void onButtonEvidence();
    bool isEvidenceRunning() const { return evidenceJob_ != nullptr; }
    void aboutMenuItemClicked();

    // The upload editor over the chosen playlist rows.
    void editUploadVideos(const std::set<std::int32_t>& rows);

    // State, for the views and for tests.
    bool isVideoLoading() const { return m_bVideoLoading; }
    float playSpeed() const { return m_fPlaySpeed; }
    std::int32_t volume() const { return m_nVolume; }
    bool isMuted() const { return m_bMute; }
    double selectedMovieDuration() const { return mSelectedMovieDuration; }
    double selectedMovieCurrentTime() const { return mSelectedMovieCurrentTime; }
    bool selectedMovieIsPlaying() const { return mSelectedMovieIsPlaying; }
    std::int32_t curPlayIndex2() const { return m_nCurPlayIndex2; }
    bool isSwitchVideo() const { return m_bSwitchVideo; }
    std::int32_t eventTime() const { return m_nEventTime; }
    std::int16_t motorType() const { return m_nMotorType; }
    const GpsList& gpsList() const { return m_poGpsList; }
    const SensorGraphic& sensorGraphic() const { return m_oSensorBitmap; }
    int sensorX() const { return m_nSensorX; }
    int sensorY() const { return m_nSensorY; }
    int sensorZ() const { return m_nSensorZ; }
    int screenMode() const { return m_nScreenMode; }
    bool isR2L() const { return bR2L; }
    const std::string& currentFolder() const { return mCurFolder; }
    bool isPlaybackTimerRunning() const { return mCheckMovieTimeTimer != 0; }
    MoviePlayer* selectedMovie() const { return mSelectedMovie; }
    MoviePlayer* selectedMovie2() const { return mSelectedMovie2; }
    bool isRearLocked() const { return rearLock_.isEngaged(); }

private:
    // MovieObserver: both slots report here; the slot tells which player changed.
    void movieLoadStateChanged(MoviePlayer& player) override;
    void movieRateChanged(MoviePlayer& player) override;
    void movieDidEnd(MoviePlayer& player) override;
    void handleLoadStateChanged();
    void movieLoadStateChanged2();
    void movieRateChanged1();
    void movieRateChanged2();
    void updateSelectedMovieCurrentTime();
    void updateSelectedMovieIsPlaying();

    // Notification handlers.
    void onPlayBarButtonClicked(const Notification& notification);
    void onSliderChanged(const Notification& notification);
    void UploadVideoChanged(const Notification& notification);
    void observeNotifications();
    void stopObservingUploadVideoChanged();

    // Outputs.
    CameraFrames captureCurFrames();
    void saveCaptureImages(int option, const CameraFrames& frames);
    void saveCaptureImage(int camera, const LocalDateTime& when, const CameraFrames& frames);
    void updateBackupProgress();
    void finishBackup(bool reportFailure);
    void updateEvidenceProgress();
    void finishEvidence(bool reportOutcome);

    // VideoLibraryClient: the side effects of a scan and a playlist rebuild.
    void runScan(const std::function<void()>& walk) override;
    void startMonitorFolder(const std::string& folder) override;
    void videoLibIsReady() override;
    void setActivateDay(int year, int month, int day) override;
    void closePlayers() override;
    PlaylistFilter playlistFilter() override;
    void playlistRebuilt(const std::vector<AMediaFile>& playlist) override;

    // FolderMonitorHost: what the folder watch asks of the controller.
    bool isPlaylistEmpty() const override { return playlist().empty(); }
    void startWait() override;
    void endWait() override;

    void setSelectedMovieCurrentTime(double seconds);
    void startPlaybackTimer();
    void stopPlaybackTimer();
    void drawIndicatorAtSlider();
    // Draws the G-sensor graph again for the loaded track, when it has G-sensor data.
    void redrawSensorGraph();
    static float rateForSpeedIndex(int index);
    std::int32_t clampedVolume(std::int32_t level) const;

    AppServices services_;
    ControllerViews views_;
    std::unique_ptr<FolderMonitor> folderMonitor_;
    // Keeps the rear player within a frame of the front one while a pair plays.
    RearCameraLock rearLock_;
    std::vector<NotificationCenter::Token> observerTokens_;

    // Library and playlist.
    VideoLibrary mLibrary;
    std::int32_t m_nCurPlayIndex = -1;
    std::int32_t m_nCurPlayIndex2 = -1;
    std::string mCurFolder;
    bool m_bAllFile = false;

    // Playback.
    MoviePlayer* mSelectedMovie = nullptr;
    MoviePlayer* mSelectedMovie2 = nullptr;
    int m_nPlayState = 0;
    bool m_bMute = false;
    float m_fPlaySpeed = 1.0f;
    std::int32_t m_nVolume = 8;
    bool mSelectedMovieIsPlaying = false;
    double mSelectedMovieDuration = 0.0;
    double mSelectedMovieCurrentTime = 0.0;
    Scheduler::TimerId mCheckMovieTimeTimer = 0;
    bool m_bVideoLoading = false;

    // Dual camera.
    bool m_b2VideoWindowEnable = false;
    bool m_bSwitchVideo = false;
    bool m_bSyncStateFromVideo1 = false;
    bool m_bSyncStateFromVideo2 = false;

    // Telemetry.
    GpsData m_poGpsTempData;
    GpsList m_poGpsList;
    std::int32_t m_nEventTime = -1;
    int m_nSensorX = 0;
    int m_nSensorY = 0;
    int m_nSensorZ = 0;
    std::int16_t m_nMotorType = 0;
    SensorGraphic m_oSensorBitmap;
    float m_fSensorRange = 0.0f;

    // Outputs.
    bool m_bOK = false;  // the capture dialog saved something
    bool m_bBackupButton = false;
    std::set<std::int32_t> mSelFileIndexSet;
    std::unique_ptr<BackupJob> backupJob_;
    Scheduler::TimerId mBackupProgressTimer = 0;
    std::uint64_t mCurrentlyTotalBytesWritten = 0;
    std::optional<NotificationCenter::Token> uploadObserver_;
    std::unique_ptr<EvidenceMedia> evidenceMedia_;  // before the job, which uses it until it ends
    std::unique_ptr<EvidenceJob> evidenceJob_;
    Scheduler::TimerId mEvidenceProgressTimer = 0;

    // Sharing.
    std::int16_t m_nVideoWebsite = 0;  // 1 Facebook, 3 YouTube
    std::string mFBKey;                // the social network's token, from the sign-in
    std::string mYouTubeKey;           // the video service's authorisation code, from the sign-in

    // Window layout.
    int m_nScreenMode = 0;
    Scheduler::TimerId mCenterMapTimer = 0;  // the map's re-centre after a map full-screen change
    ViewFrame m_rectNormalScreen;
    bool bR2L = false;
    bool bFirstTimeActive = true;
    double newFrameWidth = 0.0;
    double newFrameHeight = 0.0;
};
