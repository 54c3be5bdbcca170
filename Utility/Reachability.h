#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// Whether the operating system has a way out to the internet: a default route that is up. Linux
// has no reachability flags of its own, so the route tables are read and a usable default route
// is given the "reachable" flag; the rule that turns flags into a network status is the one the
// flags were made for.

using ReachabilityFlags = std::uint32_t;
namespace reachability {
inline constexpr ReachabilityFlags kTransientConnection = 1;
inline constexpr ReachabilityFlags kReachable = 2;
inline constexpr ReachabilityFlags kConnectionRequired = 4;
inline constexpr ReachabilityFlags kConnectionOnTraffic = 8;
inline constexpr ReachabilityFlags kInterventionRequired = 16;
inline constexpr ReachabilityFlags kConnectionOnDemand = 32;
inline constexpr ReachabilityFlags kIsLocalAddress = 0x10000;
inline constexpr ReachabilityFlags kIsDirect = 0x20000;
}  // namespace reachability

enum NetworkStatus { NotReachable = 0, ReachableViaNetwork = 1 };

// The kernel's route tables; tests point them at tables of their own.
struct RouteTables {
    std::string ipv4 = "/proc/net/route";
    std::string ipv6 = "/proc/net/ipv6_route";
};

// Whether the text of a route table holds a default route that is up, is not a reject route and
// does not go through the loopback device.
bool pmHasIPv4DefaultRoute(std::string_view table);
bool pmHasIPv6DefaultRoute(std::string_view table);

// The console line that shows the flags: "Reachability Flag Status: -R tcCiDld caller\n", each
// letter "-" when its flag is clear.
std::string pmReachabilityFlagsLine(ReachabilityFlags flags, std::string_view caller);

class Reachability {
public:
    // The default route, IPv4 or IPv6.
    static Reachability reachabilityForInternetConnection(RouteTables tables = {});

    // None when neither table can be read.
    std::optional<ReachabilityFlags> flags() const;
    // NotReachable when the flags cannot be read.
    NetworkStatus currentReachabilityStatus() const;
    // False when the flags cannot be read.
    bool connectionRequired() const;
    // The status the flags give; writes their console line first.
    static NetworkStatus networkStatusForFlags(ReachabilityFlags flags);

    bool isLocalWiFi() const { return localWiFiRef_; }

private:
    explicit Reachability(RouteTables tables) : tables_(std::move(tables)) {}
    RouteTables tables_;
    bool localWiFiRef_ = false;  // the target is the local link, not the internet: never here
};
