#include "platform/QtHttpClient.h"
#include "support/LocalHttpServer.h"
#include "support/QtWait.h"

using HttpClientTest = QtTestCase;

namespace {

HttpRequest get(std::string url, double idleTimeoutSeconds = 0.0) {
    HttpRequest request;
    request.url = std::move(url);
    request.idleTimeoutSeconds = idleTimeoutSeconds;
    return request;
}

}  // namespace

TEST_F(HttpClientTest, AStartedRequestEndsWithItsAnswerOrWhyNoneCame) {
    LocalHttpServer server;
    ASSERT_TRUE(server.isRunning()) << server.error();
    QtHttpClient http;
    HttpRequest unreadable = get(server.url("/me/videos"));
    unreadable.method = "POST";
    unreadable.fileBody = HttpFileBody{"a", "/none", "b"};
    const struct {
        const char* name;
        HttpRequest request;
        bool answered;
        int status;
        std::string body;
        bool timedOut;
    } cases[] = {
        {"an error status is an answer", get(server.url("/status/503")), true, 503, "status 503", false},
        {"refused", get(std::string(kClosedLocalAddress) + "/probe"), false, 0, "", false},
        {"nothing for the idle time-out", get(server.url("/slow/3"), 1.0), false, 0, "", true},
        {"a body file that cannot be read", unreadable, false, 0, "", false},
    };
    for (const auto& c : cases) {
        std::optional<HttpResponse> response;
        std::string data;
        http.start(c.request, {{}, [&](const std::string& piece) { data += piece; },
                               [&](const HttpResponse& end) { response = end; }});
        ASSERT_TRUE(spinUntil([&] { return response.has_value(); })) << c.name;
        EXPECT_EQ(response->answered, c.answered) << c.name << ": " << response->error;
        EXPECT_EQ(response->status, c.status) << c.name;
        EXPECT_EQ(response->body, c.body) << c.name;
        EXPECT_EQ(data, c.body) << c.name;
        EXPECT_EQ(response->timedOut, c.timedOut) << c.name;
        EXPECT_EQ(response->error.empty(), c.answered) << c.name;
    }
}

// A timer firing while a synchronous call waits may not start a second wait inside it.
TEST_F(HttpClientTest, ANestedSynchronousCallIsRefused) {
    LocalHttpServer server;
    ASSERT_TRUE(server.isRunning()) << server.error();
    QtHttpClient http;
    std::optional<HttpResponse> nested;
    QTimer::singleShot(100, [&] { nested = http.send(get(server.url("/probe"))); });
    EXPECT_EQ(http.send(get(server.url("/slow/1"))).body, "slow");
    ASSERT_TRUE(nested.has_value());
    EXPECT_FALSE(nested->answered);
}
