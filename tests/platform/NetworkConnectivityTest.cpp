#include "platform/NetworkConnectivity.h"
#include "platform/QtHttpClient.h"
#include "support/LocalHttpServer.h"
#include "support/QtWait.h"
#include "support/TempHome.h"

#include <gtest/gtest.h>

TEST(NetworkConnectivity, AnyAnswerWithinTwoSecondsCountsAndNothingIsSentWithoutADefaultRoute) {
    TempHome home;
    QCoreApplication application(qtArgc(), qtArgv());
    LocalHttpServer server;
    ASSERT_TRUE(server.isRunning()) << server.error();
    QtHttpClient http;
    const RouteTables routes{home.path() + "/route", home.path() + "/none"};
    const struct {
        const char* name;
        bool defaultRoute;
        std::string probe;
        bool connected;
        std::size_t requests;  // that reached the server, so far
    } cases[] = {
        {"answered", true, server.url("/probe"), true, 1},
        {"an error status with a body", true, server.url("/status/500"), true, 2},
        {"no default route", false, server.url("/probe"), false, 2},
        {"refused", true, std::string(kClosedLocalAddress) + "/probe", false, 2},
        {"no answer in time", true, server.url("/slow/4"), false, 3},
    };
    for (const auto& c : cases) {
        writeFile(routes.ipv4, std::string("Iface\tDestination\tGateway\tFlags\tRefCnt\tUse\tMetric\tMask\n") +
                                   (c.defaultRoute ? "eth0\t00000000\t0100A8C0\t0003\t0\t0\t100\t00000000\n"
                                                   : "eth0\t0000A8C0\t00000000\t0001\t0\t0\t100\t00FFFFFF\n"));
        EXPECT_EQ(NetworkConnectivity(http, c.probe, routes).isInternetConnected(), c.connected) << c.name;
        EXPECT_EQ(server.requests().size(), c.requests) << c.name;
    }
}
