// The toolbar's outputs of the open recording: frame capture, the printed page and the KML export;
// and the about box.
#include "app/AppDelegate.h"

#include "Utility/DiagnosticLog.h"
#include "Utility/MessageBox.h"
#include "Utility/Preferences.h"
#include "Utility/StringTables.h"
#include "Utility/WaitingIndicator.h"
#include "library/RecordingName.h"
#include "outputs/CaptureName.h"
#include "outputs/ExportFile.h"
#include "outputs/KmlSave.h"


namespace {

std::string folderOf(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? std::string(".") : slash == 0 ? std::string("/") : path.substr(0, slash);
}

}  // namespace

MovieFrameImage AppDelegate::captureCurFrameImage(bool camera1) {
    MoviePlayer* player = camera1 ? mSelectedMovie : mSelectedMovie2;
    if (!player || getState() == 0) return {};
    return player->frameImage();
}

CameraFrames AppDelegate::captureCurFrames() {
    CameraFrames frames;
    frames.camera1 = captureCurFrameImage(true);
    frames.size1 = mSelectedMovie ? mSelectedMovie->naturalSize() : MovieSize{};
    if (has2Videos()) {
        frames.camera2 = captureCurFrameImage(false);
        frames.size2 = mSelectedMovie2->naturalSize();
    }
    return frames;
}

void AppDelegate::onButtonCapture() {
    if (!mSelectedMovie || getState() == 0 || !views_.dialogs) return;
    const int state = getState();
    onButtonPause();
    const CameraFrames frames = captureCurFrames();
    m_bOK = false;
    views_.dialogs->runCapturePreview(frames, [this, &frames](int option) { saveCaptureImages(option, frames); });
    if (state == 2 && !m_bOK) onButtonPlay();
}

void AppDelegate::saveCaptureImages(int option, const CameraFrames& frames) {
    const auto now = services_.now ? services_.now() : std::chrono::system_clock::now();
    const LocalDateTime when = pmGetLocalDateTime(now);
    if (option == 3) {
        saveCaptureImage(1, when, frames);
        saveCaptureImage(2, when, frames);
    } else {
        saveCaptureImage(option, when, frames);
    }
}

void AppDelegate::saveCaptureImage(int camera, const LocalDateTime& when, const CameraFrames& frames) {
    const bool second = camera == 2;
    const auto path =
        views_.dialogs->chooseSaveFile({pmGetCaptureFolder(), pmCaptureFileName(when, camera), "jpg"});
    if (!path) return;
    m_bOK = true;
    pmStartWait();
    pmSaveCaptureFolder(folderOf(*path));
    const std::string jpeg = services_.encodeJpeg ? services_.encodeJpeg(second ? frames.camera2 : frames.camera1,
                                                                         second ? frames.size2 : frames.size1)
                                                  : std::string();
    const ExportResult result = jpeg.empty() ? ExportResult{ExportStatus::NothingToWrite, 0}
                                             : pmExportBytes(*path, true, jpeg);
    if (result.status != ExportStatus::Written)
        pmOutputDebugMsgF("AppDelegate::saveCaptureImage - %s not written: %s", path->c_str(),
                          pmExportStatusText(result).c_str());
    pmEndWait();
}

void AppDelegate::onButtonPrint() {
    if (getState() == 0 || !views_.dialogs) return;
    pmOutputDebugMsg("printPreview Start");
    onButtonPause();
    PrintRequest request;
    request.frames = captureCurFrames();
    if (const GpsData* sample = getCurGpsData()) request.sample = *sample;
    if (views_.map) request.speedUnit = views_.map->getSpeedUnit();
    views_.dialogs->runPrintPreview(request);
}

void AppDelegate::onButtonExport() {
    if (getState() == 0 || !m_poGpsList.IsGPSReady() || !views_.dialogs) return;
    const auto recording = mLibrary.getFilePathInPlaylist(m_nCurPlayIndex);
    if (!recording) return;
    onButtonPause();
    const auto path =
        views_.dialogs->chooseSaveFile({pmGetExportFolder(), pmGetFileTitle(*recording, true) + ".kml", "kml"});
    if (!path) return;
    pmSaveExportFolder(folderOf(*path));
    pmStartWait();
    ExportResult result;
    const auto write = [&] { result = outputKML(*path, &m_poGpsList); };
    if (services_.runInBackground) services_.runInBackground(write);
    else write();
    pmEndWait();
    if (result.status != ExportStatus::Written) {
        pmOutputDebugMsgF("AppDelegate::onButtonExport - %s: %s", path->c_str(), pmExportStatusText(result).c_str());
        pmMessageBox(pmGetString("IDS_ERR_EXPORT_FAILED"), "", 16);
    }
}

void AppDelegate::aboutMenuItemClicked() {
    pmOutputDebugMsg("onMenuAbout !");
    if (views_.dialogs) views_.dialogs->runAboutBox();
}
