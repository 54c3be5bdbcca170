#include "Utility/DiagnosticLog.h"
#include "platform/QtHttpClient.h"
#include "sharing/UploadBatch.h"
#include "support/LocalHttpServer.h"
#include "support/QtWait.h"
#include "support/RunCommand.h"
#include "support/TempHome.h"

#include <QCryptographicHash>
#include <QSslConfiguration>

#include <algorithm>

namespace {

constexpr const char* kCode = "4/0AdQt8qSECRETCODE";
constexpr const char* kToken = "EAAGSECRETTOKEN";
constexpr const char* kSecret = "GOCSPX_SECRET_abcdefghij";
const std::string kFraming = "\r\n------------V2ymHFg03ehbqgZCaKO6jy";

// The one part of a Facebook upload, spelt out here rather than taken from the code under test.
std::string facebookBody(const std::string& name, const std::string& type, const std::string& file) {
    return kFraming + "\r\nContent-Disposition: form-data; name=\"upload_field\"; filename=\"" + name +
           "\"\r\nContent-Type: " + type + "\r\n\r\n" + file + kFraming + "--\r\n";
}

std::string sha256(const std::string& bytes) {
    return QCryptographicHash::hash(QByteArray::fromStdString(bytes), QCryptographicHash::Sha256).toHex().toStdString();
}

class UploadTest : public QtTestCase {
protected:
    void SetUp() override {
        ASSERT_TRUE(server_.isRunning()) << server_.error();
        services_.facebook.graph = server_.url("");
        services_.youtube.accounts = services_.youtube.api = server_.url("");
        services_.youtube.redirectHost = "localhost:8080";
        services_.youtube.clientId = "123456789012-abcdefghijklmnopqrstuvwxyz012345.apps.googleusercontent.com";
        services_.youtube.clientSecret = kSecret;
    }

    // A recording of `size` bytes that differ from one recording to the next.
    std::string recording(const std::string& name, std::size_t size, char seed = 1) {
        std::string bytes(size, '\0');
        for (std::size_t i = 0; i < size; ++i) bytes[i] = char((i * 31 + std::size_t(seed)) % 253);
        writeFile(home_.path() + "/" + name, bytes);
        return bytes;
    }

    // Uploads the recordings of the home folder and waits for the end.
    std::optional<bool> run(std::int16_t website, std::vector<UploadEntry> entries, const std::string& code = kCode,
                            double idleTimeout = 120.0) {
        for (auto& entry : entries) entry.path = home_.path() + "/" + entry.path;
        UploadBatch batch(http_, services_, {website, kToken, code}, idleTimeout);
        std::optional<bool> ended;
        batch.upload(entries, [&](bool uploaded) { ended = uploaded; });
        spinUntil([&] { return ended.has_value(); });
        return ended;
    }

    TempHome home_;
    LocalHttpServer server_;
    QtHttpClient http_;
    SharingServices services_;
};

using Headers = std::vector<std::pair<std::string, std::string>>;

// The request's headers but those Qt adds to every connection.
Headers headers(const nlohmann::json& request) {
    Headers kept;
    for (const auto& pair : request["headers"])
        if (pair[0] != "Connection" && pair[0] != "Accept-Encoding") kept.emplace_back(pair[0], pair[1]);
    return kept;
}

}  // namespace

// Over HTTPS, with a certificate made here that the program is told to trust.
TEST_F(UploadTest, FacebookGetsEachRecordingInItsMultipartFramingWithTitleAndDescriptionEncoded) {
    const std::string certificate = home_.path() + "/cert.pem", key = home_.path() + "/key.pem";
    const CommandResult made = runCommand({"openssl", "req", "-x509", "-newkey", "rsa:2048", "-nodes", "-days", "1",
                                           "-subj", "/CN=127.0.0.1", "-addext", "subjectAltName=IP:127.0.0.1",
                                           "-keyout", key, "-out", certificate});
    ASSERT_EQ(made.exitCode, 0) << made.err;
    QSslConfiguration trusted = QSslConfiguration::defaultConfiguration();
    trusted.addCaCertificates(QString::fromStdString(certificate));
    QSslConfiguration::setDefaultConfiguration(trusted);
    LocalHttpServer server(certificate, key);
    ASSERT_TRUE(server.isRunning()) << server.error();
    services_.facebook.graph = server.url("");
    const std::string first = recording("FILE0001.MP4", 300000), second = recording("FILE0002.avi", 1000, 7);
    testing::internal::CaptureStderr();
    EXPECT_EQ(run(kVideoWebsiteFacebook, {{"FILE0001.MP4", "Park & ride=1", "Two\nlines"}, {"FILE0002.avi", "FILE0002.avi", ""}}),
              std::optional<bool>(true));
    const std::string console = testing::internal::GetCapturedStderr();

    const auto sent = server.requests();
    ASSERT_EQ(sent.size(), 2u);
    const struct {
        std::string path, file, name, type;
    } expected[] = {
        {"/me/videos?access_token=EAAGSECRETTOKEN&title=Park%20%26%20ride%3D1&description=Two%0Alines", first,
         "FILE0001.MP4", "video/mov"},
        {"/me/videos?access_token=EAAGSECRETTOKEN&title=FILE0002.avi&description=", second, "FILE0002.avi", "video/avi"},
    };
    for (std::size_t i = 0; i < 2; ++i) {
        const std::string body = facebookBody(expected[i].name, expected[i].type, expected[i].file);
        EXPECT_EQ(sent[i]["path"], expected[i].path);
        EXPECT_EQ(sent[i]["body_sha256"], sha256(body)) << expected[i].name;
        EXPECT_NE(sent[i]["headers"].dump().find("multipart/form-data; boundary=----------V2ymHFg03ehbqgZCaKO6jy"),
                  std::string::npos);
    }
    const std::string log = readFile(pmLogFilePath());
    EXPECT_NE(log.find("EditUploadDlg::facebookUpload - video size: 300000"), std::string::npos);
    EXPECT_NE(console.find("URL : " + server.url("/me/videos?access_token=<redacted>&title=Park")), std::string::npos);
    EXPECT_EQ((log + console).find(kToken), std::string::npos);
}

TEST_F(UploadTest, YouTubeExchangesTheCodeOnceThenOpensASessionAndSendsTheBytesPerRecording) {
    const std::string first = recording("FILE0001.MP4", 200000), second = recording("FILE0002.AVI", 5000, 3);
    testing::internal::CaptureStderr();
    EXPECT_EQ(run(kVideoWebsiteYouTube, {{"FILE0001.MP4", "A \"quoted\" & title", "Line 1\nLine 2\\"}, {"FILE0002.AVI", "B", ""}}),
              std::optional<bool>(true));
    const std::string console = testing::internal::GetCapturedStderr();

    const auto sent = server_.requests();
    ASSERT_EQ(sent.size(), 5u);
    EXPECT_EQ(sent[0]["path"], "/o/oauth2/token");
    EXPECT_EQ(sent[0]["body"], std::string("code=") + kCode + "&client_id=" + services_.youtube.clientId +
                                   "&client_secret=" + kSecret +
                                   "&redirect_uri=http://localhost:8080/&grant_type=authorization_code");
    const struct {
        std::string title, description, file, size, type;
    } expected[] = {{"A \\\"quoted\\\" & title", "Line 1\\nLine 2\\\\", first, "200000", "video/mp4"},
                    {"B", "", second, "5000", "video/avi"}};
    for (std::size_t i = 0; i < 2; ++i) {
        const auto& session = sent[1 + 2 * i];
        const auto& bytes = sent[2 + 2 * i];
        // Qt writes percent-escapes in capitals on the wire.
        EXPECT_EQ(session["path"], "/upload/youtube/v3/videos?uploadType=resumable&part=snippet%2Cstatus%2CcontentDetails");
        EXPECT_EQ(session["body"], "{\r\n\"snippet\": {\r\n\"title\": \"" + expected[i].title + "\",\r\n\"description\": \"" +
                                       expected[i].description +
                                       "\",\r\n\"tags\": [\"video\", \"autos\"],\r\n\"categoryId\": 2\r\n},\r\n"
                                       "\"status\": {\r\n\"privacyStatus\": \"public\",\r\n\"embeddable\": true\r\n}\r\n}\r\n");
        // In the order given, with only Qt's connection headers besides.
        EXPECT_EQ(headers(session), (Headers{{"Host", server_.url("").substr(7)}, {"Authorization", "Bearer ya29.access-ETCODE"},
                                             {"User-Agent", "Mozilla/4.0"}, {"Accept-Language", "en-us"},
                                             {"Content-Type", "application/json; charset=UTF-8"},
                                             {"X-Upload-Content-Length", expected[i].size},
                                             {"X-Upload-Content-Type", expected[i].type},
                                             {"Content-Length", std::to_string(session["body_length"].get<int>())}}));
        EXPECT_EQ(bytes["path"], "/upload/youtube/v3/session/" + std::to_string(i + 1));
        EXPECT_NE(bytes["headers"].dump().find("[\"Content-Type\",\"" + expected[i].type + "\"]"), std::string::npos);
        EXPECT_EQ(bytes["body_sha256"], sha256(expected[i].file));
    }
    const std::string log = readFile(pmLogFilePath());
    EXPECT_NE(log.find("EditUploadDlg::exchangeAuthToAccessToken - End, result : 1"), std::string::npos);
    EXPECT_NE(log.find("EditUploadDlg::exchangeAuthToAccessToken - refresh_token=<redacted>"), std::string::npos);
    for (const char* secret : {kCode, kSecret, "ya29.access-", "refresh-"})
        EXPECT_EQ((log + console).find(secret), std::string::npos) << secret;
}

TEST_F(UploadTest, AnAnswerCountsAsUploadedAndADropOrATimeOutBeforeTheLastByteEndsTheBatch) {
    recording("FILE0001.MOV", 32 * 1024 * 1024);
    recording("FILE0002.MOV", 1000);
    const std::vector<UploadEntry> entries{{"FILE0001.MOV", "first", ""}, {"FILE0002.MOV", "second", ""}};
    const struct {
        const char* name;
        std::int16_t website;
        nlohmann::json fault;
        const char* code;
        bool uploaded;
        bool secondSent;
    } cases[] = {
        {"an error status", kVideoWebsiteFacebook, {{"path", "/me/videos"}, {"nth", 1}, {"status", 500}}, kCode, true, true},
        {"a time-out after the last byte", kVideoWebsiteFacebook, {{"path", "/me/videos"}, {"nth", 1}, {"slow", 5}}, kCode, true, true},
        {"a time-out before the last byte", kVideoWebsiteFacebook, {{"path", "/me/videos"}, {"nth", 1}, {"stall_after", 65536}}, kCode, false, false},
        // Every time, as Qt sends again after a connection closed before its answer.
        {"a dropped connection", kVideoWebsiteFacebook, {{"path", "/me/videos"}, {"drop_after", 65536}}, kCode, false, false},
        // The code stands in for the token: the service refuses the session, the bytes have nowhere to go.
        {"a refused token exchange", kVideoWebsiteYouTube, nlohmann::json::object(), "4/refused", false, false},
    };
    for (const auto& c : cases) {
        server_.setFaults(nlohmann::json::array({c.fault}));
        const std::size_t before = server_.requests().size();
        EXPECT_EQ(run(c.website, entries, c.code, 2.0), std::optional<bool>(c.uploaded)) << c.name;
        const auto sent = server_.requests();
        const bool secondSent = std::any_of(sent.begin() + long(before), sent.end(), [](const nlohmann::json& r) {
            return r["path"].get<std::string>().find("second") != std::string::npos;
        });
        EXPECT_EQ(secondSent, c.secondSent) << c.name;
    }
    EXPECT_NE(readFile(pmLogFilePath()).find("EditUploadDlg connection error code = -1001, "), std::string::npos);
}
