#include "platform/NetworkConnectivity.h"
#include "platform/QtHttpClient.h"
#include "support/LocalHttpServer.h"
#include "support/QtWait.h"
#include "support/TempHome.h"

#include <gtest/gtest.h>

#include <QCoreApplication>

namespace {

class NetworkConnectivityTest : public ::testing::Test {
public:
    // Route tables with a default route, or with the local network's route only.
    RouteTables routes(bool defaultRoute) {
        const std::string route = defaultRoute ? "00000000\t0100A8C0\t0003\t0\t0\t100\t00000000"
                                               : "0000A8C0\t00000000\t0001\t0\t0\t100\t00FFFFFF";
        writeFile(home.path() + "/route", "Iface\tDestination\tGateway\tFlags\tRefCnt\tUse\tMetric\tMask\neth0\t" + route + "\n");
        writeFile(home.path() + "/ipv6_route", "");
        return {home.path() + "/route", home.path() + "/ipv6_route"};
    }

    TempHome home;
    int argc = 1;
    char name[16] = "network_tests";
    char* argv[2] = {name, nullptr};
    QCoreApplication application{argc, argv};
    LocalHttpServer server;
    QtHttpClient http;
};

}  // namespace

TEST_F(NetworkConnectivityTest, AnyAnswerWithinTheTimeOutCountsAndNothingIsSentWithoutADefaultRoute) {
    ASSERT_TRUE(server.isRunning()) << server.error();
    const struct {
        const char* name;
        bool defaultRoute;
        std::string probe;
        bool connected;
        std::size_t requests;  // reaching the server, so far
    } cases[] = {
        {"answered", true, server.url("/probe"), true, 1},
        {"an error status with a body", true, server.url("/status/500"), true, 2},
        {"no default route", false, server.url("/probe"), false, 2},
        {"refused", true, std::string(kClosedLocalAddress) + "/probe", false, 2},
        {"no answer within 2 s", true, server.url("/slow/4"), false, 3},
    };
    for (const auto& c : cases) {
        NetworkConnectivity connectivity(http, c.probe, routes(c.defaultRoute));
        EXPECT_EQ(connectivity.isInternetConnected(), c.connected) << c.name;
        EXPECT_EQ(server.requests().size(), c.requests) << c.name;
    }
    const HttpResponse missing = http.send({.url = server.url("/nothing"), .timeoutSeconds = 2.0});
    EXPECT_TRUE(missing.answered);
    EXPECT_EQ(std::to_string(missing.status) + " " + missing.body, "404 not found");
}

TEST_F(NetworkConnectivityTest, ABackgroundCheckAnswersLaterOnTheMainThread) {
    ASSERT_TRUE(server.isRunning()) << server.error();
    NetworkConnectivity connectivity(http, server.url("/probe"), routes(true));
    std::optional<bool> answer;
    connectivity.checkInBackground([&](bool connected) { answer = connected; });
    EXPECT_FALSE(answer.has_value());
    ASSERT_TRUE(spinUntil([&] { return answer.has_value(); }, 10.0));
    EXPECT_TRUE(*answer);
}
