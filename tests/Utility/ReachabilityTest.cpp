#include "Utility/Reachability.h"
#include "support/TempHome.h"

#include <gtest/gtest.h>

namespace {

constexpr const char* kIPv4Header =
    "Iface\tDestination\tGateway \tFlags\tRefCnt\tUse\tMetric\tMask\t\tMTU\tWindow\tIRTT\n";
// The kernel's own IPv6 reject route for unreachable destinations, on the loopback device.
constexpr const char* kIPv6Unreachable = "00000000000000000000000000000000 00 00000000000000000000000000000000 00 "
                                         "00000000000000000000000000000000 ffffffff 00000001 00000000 00200200 lo\n";

std::string ipv4Route(const char* device, const char* destination, const char* flags, const char* mask) {
    return std::string(device) + "\t" + destination + "\t0100A8C0\t" + flags + "\t0\t0\t100\t" + mask + "\t0\t0\t0\n";
}

std::string ipv6Route(const char* destination, const char* prefix, const char* flags, const char* device) {
    return std::string(destination) + " " + prefix + " 00000000000000000000000000000000 00 "
           "fe800000000000000000000000000001 00000400 00000001 00000000 " + flags + " " + device + "\n";
}

}  // namespace

TEST(Reachability, ADefaultRouteThatIsUpOnARealDeviceMakesTheInternetReachable) {
    TempHome home;
    const std::string zeros = "00000000000000000000000000000000";
    const struct {
        const char* name;
        std::string ipv4, ipv6;
        NetworkStatus status;
    } cases[] = {
        {"IPv4 only", kIPv4Header + ipv4Route("eth0", "00000000", "0003", "00000000"), kIPv6Unreachable,
         ReachableViaNetwork},
        {"IPv6 only", kIPv4Header, kIPv6Unreachable + ipv6Route(zeros.c_str(), "00", "00450003", "wlan0"),
         ReachableViaNetwork},
        {"local networks only", kIPv4Header + ipv4Route("eth0", "0000A8C0", "0001", "00FFFFFF"),
         ipv6Route("fe800000000000000000000000000000", "40", "00000001", "eth0"), NotReachable},
        {"reject routes", kIPv4Header + ipv4Route("eth0", "00000000", "0201", "00000000"), kIPv6Unreachable,
         NotReachable},
        {"loopback only", kIPv4Header + ipv4Route("lo", "00000000", "0001", "00000000"),
         ipv6Route(zeros.c_str(), "00", "00000001", "lo"), NotReachable},
        {"default route down", kIPv4Header + ipv4Route("eth0", "00000000", "0002", "00000000"), "", NotReachable},
    };
    for (const auto& c : cases) {
        ASSERT_TRUE(writeFile(home.path() + "/route", c.ipv4));
        ASSERT_TRUE(writeFile(home.path() + "/ipv6_route", c.ipv6));
        const auto route = Reachability::reachabilityForInternetConnection({home.path() + "/route", home.path() + "/ipv6_route"});
        EXPECT_EQ(route.currentReachabilityStatus(), c.status) << c.name;
        EXPECT_FALSE(route.connectionRequired()) << c.name;
    }
    // Tables that cannot be read: no flags, not reachable.
    const auto none = Reachability::reachabilityForInternetConnection({home.path() + "/no", home.path() + "/none"});
    EXPECT_FALSE(none.flags().has_value());
    EXPECT_EQ(none.currentReachabilityStatus(), NotReachable);
}

TEST(Reachability, FlagsGiveTheStatusAndTheirConsoleLine) {
    using namespace reachability;
    const struct {
        ReachabilityFlags flags;
        NetworkStatus status;
        const char* line;
    } cases[] = {
        {0, NotReachable, "-- ------- "},
        {kConnectionRequired, NotReachable, "-- -c----- "},
        {kReachable | kIsDirect, ReachableViaNetwork, "-R ------d "},
        {kReachable | kConnectionRequired, NotReachable, "-R -c----- "},
        {kReachable | kConnectionRequired | kConnectionOnDemand, ReachableViaNetwork, "-R -c--D-- "},
        {kReachable | kConnectionRequired | kConnectionOnTraffic, ReachableViaNetwork, "-R -cC---- "},
        {kReachable | kConnectionRequired | kConnectionOnDemand | kInterventionRequired, NotReachable, "-R -c-iD-- "},
        {kReachable | kTransientConnection | kIsLocalAddress, ReachableViaNetwork, "-R t----l- "},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Reachability::networkStatusForFlags(c.flags), c.status) << c.line;
        EXPECT_EQ(pmReachabilityFlagsLine(c.flags, "caller"),
                  std::string("Reachability Flag Status: ") + c.line + "caller\n");
    }
}
