// The upload editor over the chosen recordings.
#include "app/AppDelegate.h"

#include "Utility/DiagnosticLog.h"
#include "sharing/UploadBatch.h"

void AppDelegate::editUploadVideos(const std::set<std::int32_t>& rows) {
    pmOutputDebugMsg(m_nVideoWebsite == kVideoWebsiteFacebook ? "editUploadVideos start - upload to facebook !"
                                                              : "editUploadVideos start - upload to YouTube V3 !");
    if (!views_.dialogs) return;
    // The paths are taken now: the folder watch may rebuild the playlist while the editor is open.
    UploadEditorRequest request{m_nVideoWebsite, mFBKey, mYouTubeKey, {}};
    for (const std::int32_t row : rows)
        if (const auto path = mLibrary.getFilePathInPlaylist(row)) request.paths.push_back(*path);
    views_.dialogs->showUploadEditor(request);
}
