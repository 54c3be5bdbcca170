#include "sharing/UploadRequests.h"

#include "library/RecordingName.h"

#include <nlohmann/json.hpp>

namespace {

constexpr const char* kBoundary = "----------V2ymHFg03ehbqgZCaKO6jy";

bool isMovieContainer(const std::string& path) {
    const std::int32_t type = pmGetVideoFileType(path);
    return type == kVideoFileMov || type == kVideoFileMp4;
}

HttpRequest post(std::string url) {
    HttpRequest request;
    request.method = "POST";
    request.url = std::move(url);
    return request;
}

}  // namespace

std::string pmFacebookVideoType(const std::string& path) { return isMovieContainer(path) ? "video/mov" : "video/avi"; }

std::string pmYouTubeVideoType(const std::string& path) { return isMovieContainer(path) ? "video/mp4" : "video/avi"; }

std::string pmPercentEncode(std::string_view text, std::string_view plain, bool lowerCaseDigits) {
    const char* hex = lowerCaseDigits ? "0123456789abcdef" : "0123456789ABCDEF";
    std::string encoded;
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if ((byte >= 'A' && byte <= 'Z') || (byte >= 'a' && byte <= 'z') || (byte >= '0' && byte <= '9') ||
            plain.find(c) != std::string_view::npos) {
            encoded += c;
        } else {
            encoded += '%';
            encoded += hex[byte >> 4];
            encoded += hex[byte & 15];
        }
    }
    return encoded;
}

std::string pmPercentEncodeQueryValue(const std::string& text) { return pmPercentEncode(text, "-._~", false); }

std::string pmJsonStringContents(const std::string& text) {
    // Invalid UTF-8 becomes U+FFFD rather than an exception.
    const std::string quoted = nlohmann::json(text).dump(-1, ' ', false, nlohmann::json::error_handler_t::replace);
    return quoted.substr(1, quoted.size() - 2);
}

HttpRequest pmFacebookUploadRequest(const FacebookServices& facebook, const std::string& accessToken,
                                    const std::string& path, std::uint64_t fileSize, const std::string& title,
                                    const std::string& description) {
    HttpRequest request = post(facebook.graph + "/me/videos?access_token=" + accessToken +
                               "&title=" + pmPercentEncodeQueryValue(title) +
                               "&description=" + pmPercentEncodeQueryValue(description));
    HttpFileBody body;
    body.prefix = std::string("\r\n--") + kBoundary + "\r\n" +
                  "Content-Disposition: form-data; name=\"upload_field\"; filename=\"" + pmGetFileTitle(path, false) +
                  "\"\r\n" + "Content-Type: " + pmFacebookVideoType(path) + "\r\n\r\n";
    body.path = path;
    body.suffix = std::string("\r\n--") + kBoundary + "--\r\n";
    const std::uint64_t length = body.length(fileSize);
    request.headers = {{"Content-Type", std::string("multipart/form-data; boundary=") + kBoundary},
                       {"Content-Length", std::to_string(length)}};
    request.fileBody = std::move(body);
    return request;
}

HttpRequest pmTokenExchangeRequest(const YouTubeServices& youtube, const std::string& code) {
    HttpRequest request = post(youtube.accounts + "/o/oauth2/token");
    request.headers = {{"Content-Type", "application/x-www-form-urlencoded"}};
    request.body = "code=" + code + "&client_id=" + youtube.clientId + "&client_secret=" + youtube.clientSecret +
                   "&redirect_uri=http://" + youtube.redirectHost + "/&grant_type=authorization_code";
    return request;
}

HttpRequest pmUploadSessionRequest(const YouTubeServices& youtube, const std::string& accessToken,
                                   std::uint64_t fileSize, const std::string& contentType, const std::string& title,
                                   const std::string& description) {
    HttpRequest request =
        post(youtube.api + "/upload/youtube/v3/videos?uploadType=resumable&part=snippet%2cstatus%2ccontentDetails");
    request.body = "{\r\n\"snippet\": {\r\n\"title\": \"" + pmJsonStringContents(title) + "\",\r\n" +
                   "\"description\": \"" + pmJsonStringContents(description) + "\",\r\n" +
                   "\"tags\": [\"video\", \"autos\"],\r\n\"categoryId\": 2\r\n},\r\n" +
                   "\"status\": {\r\n\"privacyStatus\": \"public\",\r\n\"embeddable\": true\r\n}\r\n}\r\n";
    request.headers = {{"Authorization", "Bearer " + accessToken},
                       {"User-Agent", "Mozilla/4.0"},
                       {"Accept-Language", "en-us"},
                       {"Content-Type", "application/json; charset=UTF-8"},
                       {"X-Upload-Content-Length", std::to_string(fileSize)},
                       {"X-Upload-Content-Type", contentType},
                       {"Content-Length", std::to_string(request.body.size())}};
    return request;
}

HttpRequest pmSessionUploadRequest(const std::string& sessionAddress, const std::string& accessToken,
                                   const std::string& path, std::uint64_t fileSize, const std::string& contentType) {
    HttpRequest request = post(sessionAddress);
    request.headers = {{"Authorization", "Bearer " + accessToken},
                       {"Content-Length", std::to_string(fileSize)},
                       {"Content-Type", contentType}};
    request.fileBody = HttpFileBody{{}, path, {}};
    return request;
}
