#include "Utility/Reachability.h"
#include "support/TempHome.h"

#include <gtest/gtest.h>

TEST(Reachability, ADefaultRouteThatIsUpOnARealDeviceMakesTheInternetReachable) {
    TempHome home;
    auto ipv4 = [](const char* device, const char* destination, const char* flags, const char* mask) {
        return std::string("Iface\tDestination\tGateway\tFlags\tRefCnt\tUse\tMetric\tMask\n") + device + "\t" +
               destination + "\t0100A8C0\t" + flags + "\t0\t0\t100\t" + mask + "\n";
    };
    auto ipv6 = [](const char* destination, const char* flags, const char* device) {
        return std::string(destination) + " 00 00000000000000000000000000000000 00 fe800000000000000000000000000001 "
                                          "00000400 00000001 00000000 " + flags + " " + device + "\n";
    };
    const char* anywhere = "00000000000000000000000000000000";
    const std::string unreachable = ipv6(anywhere, "00200200", "lo");  // the kernel's own reject route
    const struct {
        const char* name;
        std::string ipv4, ipv6;
        NetworkStatus status;
    } cases[] = {
        {"IPv4 only", ipv4("eth0", "00000000", "0003", "00000000"), unreachable, ReachableViaNetwork},
        {"IPv6 only", ipv4("eth0", "0000A8C0", "0001", "00FFFFFF"), unreachable + ipv6(anywhere, "00450003", "wlan0"),
         ReachableViaNetwork},
        {"reject routes", ipv4("eth0", "00000000", "0201", "00000000"), unreachable, NotReachable},
        {"loopback only", ipv4("lo", "00000000", "0001", "00000000"), ipv6(anywhere, "00000001", "lo"), NotReachable},
        {"default route down", ipv4("eth0", "00000000", "0002", "00000000"), "", NotReachable},
    };
    const RouteTables tables{home.path() + "/route", home.path() + "/ipv6_route"};
    for (const auto& c : cases) {
        ASSERT_TRUE(writeFile(tables.ipv4, c.ipv4) && writeFile(tables.ipv6, c.ipv6));
        EXPECT_EQ(Reachability::reachabilityForInternetConnection(tables).currentReachabilityStatus(), c.status) << c.name;
    }
    const auto unreadable = Reachability::reachabilityForInternetConnection({home.path() + "/no", home.path() + "/no"});
    EXPECT_EQ(unreadable.currentReachabilityStatus(), NotReachable);
}

TEST(Reachability, FlagsGiveTheStatusAndTheirConsoleLine) {
    using namespace reachability;
    const ReachabilityFlags required = kReachable | kConnectionRequired;
    const struct {
        ReachabilityFlags flags;
        NetworkStatus status;
        const char* letters;
    } cases[] = {
        {kReachable | kTransientConnection | kIsLocalAddress | kIsDirect, ReachableViaNetwork, "-R t----ld "},
        {required, NotReachable, "-R -c----- "},
        {required | kConnectionOnDemand, ReachableViaNetwork, "-R -c--D-- "},
        {required | kConnectionOnTraffic | kInterventionRequired, NotReachable, "-R -cCi--- "},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Reachability::networkStatusForFlags(c.flags), c.status) << c.letters;
        EXPECT_EQ(pmReachabilityFlagsLine(c.flags, "f"), std::string("Reachability Flag Status: ") + c.letters + "f\n");
    }
}
