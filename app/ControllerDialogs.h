#pragma once
#include "app/NotificationCenter.h"
#include "interfaces/MoviePlayer.h"
#include "sharing/AccountLogin.h"
#include "telemetry/GpsData.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <set>
#include <string>
#include <vector>

class AMediaFile;

// The dialogs the controller opens. The window implements them with Qt dialogs
// (views/QtControllerDialogs); controller tests use a fake. Modal ones return once closed.
//
// The selection dialog tells its outcome through UploadVideoChangedNotification, as every dialog
// of the backup and upload flows does. Its user information holds "UPLOAD_TYPE", the type as
// decimal text (0 given up, 1 signed in, 2 files chosen); with type 2, "SELECTED_ROWS" holds the
// chosen rows (playlist indexes) as decimal numbers in ascending order separated by commas ("0,3,4";
// empty when none), and the notification's number is how many they are. pmSelectionNotification
// makes one and pmSelectedRows reads it back.

// The frames of the cameras at this moment, each from its own player at its natural size.
struct CameraFrames {
    MovieFrameImage camera1;  // the main player's
    MovieSize size1;
    MovieFrameImage camera2;  // empty outside dual-camera playback with both players open
    MovieSize size2;
    bool hasCamera2() const { return !camera2.empty(); }
};

// A save dialog: where it opens, the name it proposes and the extension of the file type.
struct SaveFileRequest {
    std::string folder;
    std::string proposedName;
    std::string extension;  // "kml", "jpg"
};

// What the print preview shows: the frames, the current second's sample (none when no second is
// current) and the speed unit (0 km/h, 1 mph).
struct PrintRequest {
    CameraFrames frames;
    std::optional<GpsData> sample;
    std::int16_t speedUnit = 0;
};

// What the upload editor uploads, and to which site with which sign-in.
struct UploadEditorRequest {
    std::int16_t videoWebsite = 0;  // 1 Facebook, 3 YouTube
    std::string fbKey;              // the Facebook access token
    std::string youTubeKey;         // the YouTube authorisation code
    std::vector<std::string> paths;  // the chosen recordings, in playlist order
};

class ControllerDialogs {
public:
    virtual ~ControllerDialogs() = default;

    // The chosen path, or none when cancelled. The dialog asks before a file is replaced.
    virtual std::optional<std::string> chooseSaveFile(const SaveFileRequest& request) = 0;
    // The backup's target folder (the confirm button reads "Save"), or none when cancelled.
    virtual std::optional<std::string> chooseBackupFolder(const std::string& startFolder) = 0;
    // The name of a new folder for an evidence package, in `startFolder` with `proposedName`, or none
    // when cancelled. An existing name is given back as chosen: the package refuses it.
    virtual std::optional<std::string> chooseEvidenceFolder(const std::string& startFolder,
                                                            const std::string& proposedName) = 0;

    // The capture preview. Save As calls `saveAs` with the choice shown (0 single camera, 1 camera
    // 1, 2 camera 2, 3 both), then the dialog closes.
    virtual void runCapturePreview(const CameraFrames& frames, const std::function<void(int option)>& saveAs) = 0;
    // The print preview; it prints from there.
    virtual void runPrintPreview(const PrintRequest& request) = 0;

    // The selection dialog over the playlist (rows are playlist indexes), with at most
    // `maxSelFileCount` rows to choose (-1: no limit); it posts the notification described above.
    virtual void openBackupDlg(const std::string& title, int maxSelFileCount,
                               const std::vector<AMediaFile>& playlist) = 0;

    // The progress panel of a running backup or evidence package, not modal. Its Cancel calls `onCancel` and closes it.
    virtual void showProgressPanel(std::uint64_t totalSize, std::function<void()> onCancel) = 0;
    virtual void updateProgressPanel(std::uint64_t currentSize) = 0;
    virtual void closeProgressPanel() = 0;

    // The upload editor, not modal: a title and a description for each recording, then the upload
    // one recording after the other with its progress, and the closing message.
    virtual void showUploadEditor(const UploadEditorRequest& request) = 0;

    // The about box: the program's name, logo and version.
    virtual void runAboutBox() = 0;

    // The sign-in to the video site (1 Facebook, 3 YouTube), modal. Once it has closed it posts
    // UploadVideoChangedNotification with the outcome (pmLoginNotification); closed by the user
    // before the sign-in ended, it posts nothing.
    virtual void runLoginDialog(std::int16_t videoWebsite) = 0;
};

// The outcome notification of the selection dialog (type 0 or 2) as described above.
Notification pmSelectionNotification(int uploadType, const std::set<std::int32_t>& rows = {});
// Its "UPLOAD_TYPE"; -1 when missing or not a number.
int pmUploadType(const Notification& notification);
// Its "SELECTED_ROWS"; empty when missing. Text that is not a number is left out.
std::set<std::int32_t> pmSelectedRows(const Notification& notification);
// The login dialog's outcome: "UPLOAD_TYPE" with "FBKey" and "YouTubeKey", each absent when empty.
Notification pmLoginNotification(const LoginOutcome& outcome);
// Its "FBKey" and "YouTubeKey"; empty when absent.
std::string pmFacebookKey(const Notification& notification);
std::string pmYouTubeKey(const Notification& notification);
