#include "sharing/UploadBatch.h"

#include "Utility/DiagnosticLog.h"
#include "Utility/WaitingIndicator.h"
#include "outputs/Backup.h"
#include "sharing/Redaction.h"
#include "sharing/UploadRequests.h"

#include <nlohmann/json.hpp>

namespace {

// The platform's code for a request that timed out, which the log has always shown.
constexpr long kTimedOutCode = -1001;
constexpr long kFailedCode = -1;

}  // namespace

UploadBatch::UploadBatch(HttpClient& http, SharingServices services, Account account, double idleTimeoutSeconds)
    : http_(http), services_(std::move(services)), account_(std::move(account)), idleTimeoutSeconds_(idleTimeoutSeconds) {}

UploadBatch::~UploadBatch() { cancel(); }

void UploadBatch::upload(std::vector<UploadEntry> entries, std::function<void(bool)> ended) {
    cancel();
    entries_ = std::move(entries);
    ended_ = std::move(ended);
    m_nCurrentlyUploadCount = 0;
    pmStartWait();
    pmOutputDebugMsgF("EditUploadDlg::upload() - Start upload thread for %ld videos", long(entries_.size()));
    uploadThreadFunctionMain();
    pmEndWait();
}

void UploadBatch::cancel() {
    if (connection) http_.cancel(*connection);
    connection.reset();
    ended_ = nullptr;
    mTotalBytesWritten = mTotalBytesExpected = 0;
    m_nPercent = 0;
}

void UploadBatch::uploadThreadFunctionMain() {
    if (m_nCurrentlyUploadCount >= std::int32_t(entries_.size())) {
        end(true);
        return;
    }
    if (account_.videoWebsite == kVideoWebsiteYouTube && m_nCurrentlyUploadCount == 0 && !exchangeAuthToAccessToken())
        pmOutputDebugMsg("EditUploadDlg - exchangeAuthToAccessToken failed !");
    const UploadEntry& entry = entries_[std::size_t(m_nCurrentlyUploadCount)];
    pmOutputDebugMsg("EditUploadDlg::uploadThreadFunctionMain - upload video : " + entry.path);
    if (account_.videoWebsite == kVideoWebsiteYouTube)
        youtubeV3Upload(entry);
    else
        facebookUpload(entry);
    ++m_nCurrentlyUploadCount;
}

void UploadBatch::facebookUpload(const UploadEntry& entry) {
    const std::uint64_t size = pmGetFileSize(entry.path);
    HttpRequest request =
        pmFacebookUploadRequest(services_.facebook, account_.fbKey, entry.path, size, entry.title, entry.description);
    pmPrintRedacted("URL : " + request.url);
    pmOutputDebugMsgF("EditUploadDlg::facebookUpload - video size: %ld", long(size));
    const auto length = std::int64_t(request.fileBody->length(size));
    send(std::move(request), length);
}

bool UploadBatch::exchangeAuthToAccessToken() {
    HttpRequest request = pmTokenExchangeRequest(services_.youtube, account_.youTubeKey);
    request.idleTimeoutSeconds = idleTimeoutSeconds_;
    const HttpResponse response = http_.send(request);
    bool result = false;
    if (response.answered) {
        const auto reply = nlohmann::json::parse(response.body, nullptr, false);
        if (reply.is_object() && reply.contains("access_token") && reply["access_token"].is_string()) {
            account_.youTubeKey = reply["access_token"].get<std::string>();
            if (reply.contains("refresh_token") && reply["refresh_token"].is_string()) {
                mYouTubeDevKey = reply["refresh_token"].get<std::string>();
                pmLogRedacted("EditUploadDlg::exchangeAuthToAccessToken - refresh_token=" + mYouTubeDevKey);
            }
            result = true;
        }
    }
    pmOutputDebugMsgF("EditUploadDlg::exchangeAuthToAccessToken - End, result : %d", int(result));
    return result;
}

std::string UploadBatch::getV3UploadUrl(std::uint64_t fileSize, const std::string& contentType,
                                        const UploadEntry& entry) {
    HttpRequest request = pmUploadSessionRequest(services_.youtube, account_.youTubeKey, fileSize, contentType,
                                                 entry.title, entry.description);
    request.idleTimeoutSeconds = idleTimeoutSeconds_;
    const HttpResponse response = http_.send(request);
    if (!response.answered) {
        pmLogRedacted("EditUploadDlg::getV3UploadUrl error - " + response.error + " " + response.body);
        return {};
    }
    // The session's address, whatever the status: without one the upload fails at the empty address.
    const std::string location = response.header("Location");
    pmLogRedacted("EditUploadDlg::getV3UploadUrl - " + location);
    return location;
}

void UploadBatch::youtubeV3Upload(const UploadEntry& entry) {
    const std::uint64_t size = pmGetFileSize(entry.path);
    const std::string contentType = pmYouTubeVideoType(entry.path);
    pmOutputDebugMsg("EditUploadDlg::youtubeV3Upload - Start");
    const std::string session = getV3UploadUrl(size, contentType, entry);
    send(pmSessionUploadRequest(session, account_.youTubeKey, entry.path, size, contentType), std::int64_t(size));
}

void UploadBatch::send(HttpRequest request, std::int64_t bodyLength) {
    request.idleTimeoutSeconds = idleTimeoutSeconds_;
    mTotalBytesWritten = 0;
    mTotalBytesExpected = bodyLength;
    m_nPercent = 0;
    percentLogged_ = false;
    connection = http_.start(request, {[this](std::int64_t sent, std::int64_t expected) { didSendBodyData(sent, expected); },
                                       [this](const std::string& data) { didReceiveData(data); },
                                       [this](const HttpResponse& response) { didFinish(response); }});
}

void UploadBatch::didSendBodyData(std::int64_t sent, std::int64_t expected) {
    mTotalBytesWritten = sent;
    mTotalBytesExpected = expected;
    m_nPercent = expected > 0 ? std::int32_t((double(sent) / 1024.0) / (double(expected) / 1024.0) * 100.0) : 0;
    if (m_nPercent >= 100 && !percentLogged_) {
        percentLogged_ = true;
        pmOutputDebugMsgF("EditUploadDlg connection Upload percent = %d", m_nPercent);
    }
}

void UploadBatch::didReceiveData(const std::string& data) {
    const std::string line = "EditUploadDlg::didReceiveData - Data : " + data;
    pmPrintRedacted(line);
    pmLogRedacted(line);
}

void UploadBatch::didFinish(const HttpResponse& response) {
    connection.reset();
    if (!response.answered) {
        pmLogRedacted(pmFormat("EditUploadDlg connection error code = %ld, ", response.timedOut ? kTimedOutCode : kFailedCode) +
                    response.error);
        // Every byte went out: the service has the recording, only its answer is late.
        if (!(response.timedOut && m_nPercent >= 100)) {
            end(false);
            return;
        }
    }
    uploadThreadFunctionMain();
}

void UploadBatch::end(bool uploaded) {
    const auto ended = std::move(ended_);
    ended_ = nullptr;
    if (ended) ended(uploaded);
}
