#include "platform/QtHttpClient.h"
#include "support/LocalHttpServer.h"
#include "support/QtWait.h"
#include "support/TempHome.h"

#include <QCryptographicHash>
#include <QTimer>

#include <optional>

namespace {

class HttpClientTest : public QtTestCase {};

struct Reports {
    std::optional<HttpResponse> response;
    std::int64_t sent = 0;
    std::int64_t total = 0;
    std::string data;
};

HttpClient::RequestId startReporting(HttpClient& http, const HttpRequest& request, Reports& reports) {
    return http.start(request, {[&reports](std::int64_t sent, std::int64_t total) {
                                    reports.sent = sent;
                                    reports.total = total;
                                },
                                [&reports](const std::string& data) { reports.data += data; },
                                [&reports](const HttpResponse& response) { reports.response = response; }});
}

HttpRequest request(const std::string& method, const std::string& url, double idleTimeout = 0.0) {
    HttpRequest made;
    made.method = method;
    made.url = url;
    made.idleTimeoutSeconds = idleTimeout;
    return made;
}

HttpRequest withBody(HttpRequest made, std::string body, std::optional<HttpFileBody> fileBody = {}) {
    made.body = std::move(body);
    made.fileBody = std::move(fileBody);
    return made;
}

std::size_t headerIndex(const nlohmann::json& request, const std::string& name) {
    const auto& headers = request["headers"];
    for (std::size_t i = 0; i < headers.size(); ++i)
        if (headers[i][0] == name) return i;
    return headers.size();
}

}  // namespace

TEST_F(HttpClientTest, AStartedRequestEndsWithItsAnswerOrWhyNoneCame) {
    LocalHttpServer server;
    ASSERT_TRUE(server.isRunning()) << server.error();
    // Every time: Qt sends a request again, twice at most, when the connection closes before an answer.
    server.setFaults({{{"path", "/me/videos"}, {"drop_after", 10}}});
    QtHttpClient http;
    const struct {
        const char* name;
        HttpRequest request;
        bool answered;
        int status;
        std::string body;
        bool timedOut;
    } cases[] = {
        {"an error status is an answer", request("GET", server.url("/status/503")), true, 503, "status 503", false},
        {"refused", request("GET", std::string(kClosedLocalAddress) + "/probe"), false, 0, "", false},
        {"dropped while the body is sent", withBody(request("POST", server.url("/me/videos")), std::string(100, 'x')), false, 0, "", false},
        {"nothing for the idle time-out", request("GET", server.url("/slow/3"), 1.0), false, 0, "", true},
        {"slow but never idle that long", request("GET", server.url("/slow/1"), 3.0), true, 200, "slow", false},
        {"a missing file body", withBody(request("POST", server.url("/me/videos")), "", HttpFileBody{"a", "/nonexistent/file", "b"}), false, 0, "", false},
    };
    for (const auto& c : cases) {
        Reports reports;
        startReporting(http, c.request, reports);
        ASSERT_TRUE(spinUntil([&] { return reports.response.has_value(); })) << c.name;
        EXPECT_EQ(reports.response->answered, c.answered) << c.name << ": " << reports.response->error;
        EXPECT_EQ(reports.response->status, c.status) << c.name;
        EXPECT_EQ(reports.response->body, c.body) << c.name;
        EXPECT_EQ(reports.data, c.body) << c.name;
        EXPECT_EQ(reports.response->timedOut, c.timedOut) << c.name;
        EXPECT_EQ(reports.response->error.empty(), c.answered) << c.name;
    }
}

TEST_F(HttpClientTest, AFileBodyArrivesWholeAfterItsPrefixWithTheHeadersInTheirOrder) {
    TempHome home;
    LocalHttpServer server;
    ASSERT_TRUE(server.isRunning()) << server.error();
    std::string recording(3 * 1024 * 1024 + 17, '\0');
    for (std::size_t i = 0; i < recording.size(); ++i) recording[i] = char(i * 7919 % 251);
    const std::string path = home.path() + "/FILE0001.MP4";
    ASSERT_TRUE(writeFile(path, recording));
    const std::string prefix = "\r\n--boundary\r\n\r\n", suffix = "\r\n--boundary--\r\n";
    const std::string length = std::to_string(prefix.size() + recording.size() + suffix.size());

    HttpRequest upload = withBody(request("POST", server.url("/me/videos?title=a%26b")), "", HttpFileBody{prefix, path, suffix});
    upload.headers = {{"X-Second", "2"}, {"Content-Type", "video/mp4"}, {"X-First", "1"}, {"Content-Length", length}};
    Reports reports;
    QtHttpClient http;
    startReporting(http, upload, reports);
    ASSERT_TRUE(spinUntil([&] { return reports.response.has_value(); }));
    EXPECT_EQ(reports.response->status, 200) << reports.response->error;
    EXPECT_EQ(reports.response->header("content-type"), "application/json; charset=UTF-8");
    EXPECT_EQ(std::to_string(reports.sent), length);
    EXPECT_EQ(std::to_string(reports.total), length);

    const nlohmann::json received = server.requests().back();
    EXPECT_EQ(received["path"], "/me/videos?title=a%26b");
    EXPECT_EQ(std::to_string(received["body_length"].get<long long>()), length);
    const QByteArray whole = QByteArray::fromStdString(prefix + recording + suffix);
    EXPECT_EQ(received["body_sha256"], QCryptographicHash::hash(whole, QCryptographicHash::Sha256).toHex().toStdString());
    EXPECT_LT(headerIndex(received, "X-Second"), headerIndex(received, "Content-Type"));
    EXPECT_LT(headerIndex(received, "Content-Type"), headerIndex(received, "X-First"));
    EXPECT_EQ(headerIndex(received, "Cookie"), received["headers"].size());
}

TEST_F(HttpClientTest, ACancelledRequestReportsNothingAndANestedWaitIsRefused) {
    LocalHttpServer server;
    ASSERT_TRUE(server.isRunning()) << server.error();
    QtHttpClient http;
    Reports cancelled, next;
    http.cancel(startReporting(http, request("GET", server.url("/slow/1")), cancelled));
    // Started from the end of another, as the uploads start one after the other.
    Reports first;
    http.start(request("GET", server.url("/probe")), {{}, {}, [&](const HttpResponse&) {
                                                  first.response = HttpResponse{};
                                                  startReporting(http, request("GET", server.url("/slow/2")), next);
                                              }});
    ASSERT_TRUE(spinUntil([&] { return next.response.has_value(); }));
    EXPECT_TRUE(next.response->answered);
    EXPECT_FALSE(cancelled.response.has_value());
    EXPECT_EQ(cancelled.sent, 0);

    // A timer firing while a synchronous call waits may not start a second wait inside it.
    std::optional<HttpResponse> nested;
    QTimer::singleShot(100, [&] { nested = http.send(request("GET", server.url("/probe"))); });
    const HttpResponse outer = http.send(request("GET", server.url("/slow/1")));
    EXPECT_EQ(outer.body, "slow");
    ASSERT_TRUE(nested.has_value());
    EXPECT_FALSE(nested->answered);
}
