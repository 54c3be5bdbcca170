#pragma once
#include "Utility/ServicesConfig.h"
#include "interfaces/HttpClient.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

// One recording of an upload batch, as the user left it in the editor.
struct UploadEntry {
    std::string path;
    std::string title;
    std::string description;
};

// Video site codes of the sign-in and the upload.
inline constexpr std::int16_t kVideoWebsiteFacebook = 1;
inline constexpr std::int16_t kVideoWebsiteYouTube = 3;

// The upload of the recordings the user chose, one after the other, to Facebook (one multipart
// POST each) or YouTube (the authorisation code exchanged once, then a session and its bytes per
// recording). The exchange and the session requests wait for their answer; the bytes go as a
// started request whose reports drive the batch. Any answer counts as uploaded; a dropped
// connection or a time-out before the last byte ends the batch; a time-out after it counts as
// uploaded. Main thread only.
class UploadBatch {
public:
    struct Account {
        std::int16_t videoWebsite = kVideoWebsiteFacebook;
        std::string fbKey;       // the Facebook access token
        std::string youTubeKey;  // the YouTube authorisation code
    };

    UploadBatch(HttpClient& http, SharingServices services, Account account, double idleTimeoutSeconds = 120.0);
    // Cancels a running request.
    ~UploadBatch();
    UploadBatch(const UploadBatch&) = delete;
    UploadBatch& operator=(const UploadBatch&) = delete;

    // Starts with the first entry; `ended` hears once that every entry was uploaded (true) or that
    // one failed (false) and none after it was sent. Not after a cancel.
    void upload(std::vector<UploadEntry> entries, std::function<void(bool uploaded)> ended);
    // Stops the running request; nothing more is sent or reported.
    void cancel();

    // The current request's body bytes sent and its length, and the percentage shown for them.
    std::int64_t totalBytesWritten() const { return mTotalBytesWritten; }
    std::int64_t totalBytesExpected() const { return mTotalBytesExpected; }
    std::int32_t percent() const { return m_nPercent; }

private:
    void uploadThreadFunctionMain();
    bool exchangeAuthToAccessToken();
    void facebookUpload(const UploadEntry& entry);
    std::string getV3UploadUrl(std::uint64_t fileSize, const std::string& contentType, const UploadEntry& entry);
    void youtubeV3Upload(const UploadEntry& entry);
    void send(HttpRequest request, std::int64_t bodyLength);
    void didSendBodyData(std::int64_t sent, std::int64_t expected);
    void didReceiveData(const std::string& data);
    void didFinish(const HttpResponse& response);
    void end(bool uploaded);

    HttpClient& http_;
    SharingServices services_;
    Account account_;
    double idleTimeoutSeconds_;
    std::string mYouTubeDevKey;  // the refresh token of the exchange, kept and not used
    std::vector<UploadEntry> entries_;
    std::function<void(bool)> ended_;
    std::int32_t m_nCurrentlyUploadCount = 0;
    std::int64_t mTotalBytesWritten = 0;
    std::int64_t mTotalBytesExpected = 0;
    std::int32_t m_nPercent = 0;
    bool percentLogged_ = false;
    std::optional<HttpClient::RequestId> connection;
};
