// The upload editor over the chosen recordings.
#include "app/AppDelegate.h"

#include "Utility/DiagnosticLog.h"

void AppDelegate::editUploadVideos(const std::set<std::int32_t>&) {
    pmOutputDebugMsg(m_nVideoWebsite == kVideoSiteFacebook ? "editUploadVideos start - upload to facebook !"
                                                           : "editUploadVideos start - upload to YouTube V3 !");
}
