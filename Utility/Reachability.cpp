#include "Utility/Reachability.h"


#include <charconv>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <vector>

namespace {

constexpr std::uint32_t kRouteUp = 0x0001;       // RTF_UP
constexpr std::uint32_t kRouteReject = 0x0200;   // RTF_REJECT

std::vector<std::string_view> fieldsOf(std::string_view line) {
    std::vector<std::string_view> fields;
    std::size_t at = 0;
    while (at < line.size()) {
        while (at < line.size() && (line[at] == ' ' || line[at] == '\t')) ++at;
        const std::size_t start = at;
        while (at < line.size() && line[at] != ' ' && line[at] != '\t') ++at;
        if (at > start) fields.push_back(line.substr(start, at - start));
    }
    return fields;
}

std::optional<std::uint32_t> hexField(std::string_view text) {
    std::uint32_t value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value, 16);
    if (error != std::errc() || end != text.data() + text.size()) return std::nullopt;
    return value;
}

bool allZeros(std::string_view text) { return !text.empty() && text.find_first_not_of('0') == std::string_view::npos; }

bool usableRoute(std::string_view flagsText, std::string_view device) {
    const auto flags = hexField(flagsText);
    return flags && (*flags & kRouteUp) && !(*flags & kRouteReject) && device != "lo";
}

// Calls `test` with the fields of each line until it says yes.
template <typename Test>
bool anyLine(std::string_view table, Test test) {
    std::size_t start = 0;
    while (start < table.size()) {
        std::size_t end = table.find('\n', start);
        if (end == std::string_view::npos) end = table.size();
        if (test(fieldsOf(table.substr(start, end - start)))) return true;
        start = end + 1;
    }
    return false;
}

std::optional<std::string> readTable(const std::string& path) {
    std::ifstream in(path);
    if (!in) return std::nullopt;
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

}  // namespace

bool pmHasIPv4DefaultRoute(std::string_view table) {
    // Iface Destination Gateway Flags RefCnt Use Metric Mask ...; the first line names the columns.
    return anyLine(table, [](const std::vector<std::string_view>& f) {
        return f.size() >= 8 && allZeros(f[1]) && allZeros(f[7]) && usableRoute(f[3], f[0]);
    });
}

bool pmHasIPv6DefaultRoute(std::string_view table) {
    // Destination, its prefix length, source, its prefix length, next hop, metric, reference count,
    // use, flags, device.
    return anyLine(table, [](const std::vector<std::string_view>& f) {
        return f.size() >= 10 && allZeros(f[0]) && allZeros(f[1]) && usableRoute(f[8], f[9]);
    });
}

std::string pmReachabilityFlagsLine(ReachabilityFlags flags, std::string_view caller) {
    using namespace reachability;
    auto letter = [flags](ReachabilityFlags flag, char shown) { return (flags & flag) ? shown : '-'; };
    std::string line = "Reachability Flag Status: -";
    line += letter(kReachable, 'R');
    line += ' ';
    line += letter(kTransientConnection, 't');
    line += letter(kConnectionRequired, 'c');
    line += letter(kConnectionOnTraffic, 'C');
    line += letter(kInterventionRequired, 'i');
    line += letter(kConnectionOnDemand, 'D');
    line += letter(kIsLocalAddress, 'l');
    line += letter(kIsDirect, 'd');
    line += ' ';
    line += caller;
    line += '\n';
    return line;
}

Reachability Reachability::reachabilityForInternetConnection(RouteTables tables) {
    return Reachability(std::move(tables));
}

std::optional<ReachabilityFlags> Reachability::flags() const {
    const auto ipv4 = readTable(tables_.ipv4);
    const auto ipv6 = readTable(tables_.ipv6);
    if (!ipv4 && !ipv6) return std::nullopt;
    const bool route = (ipv4 && pmHasIPv4DefaultRoute(*ipv4)) || (ipv6 && pmHasIPv6DefaultRoute(*ipv6));
    return route ? reachability::kReachable : ReachabilityFlags{0};
}

NetworkStatus Reachability::currentReachabilityStatus() const {
    const auto read = flags();
    return read ? networkStatusForFlags(*read) : NotReachable;
}

bool Reachability::connectionRequired() const {
    const auto read = flags();
    return read && (*read & reachability::kConnectionRequired);
}

NetworkStatus Reachability::networkStatusForFlags(ReachabilityFlags flags) {
    using namespace reachability;
    std::fputs(pmReachabilityFlagsLine(flags, "networkStatusForFlags").c_str(), stderr);
    if (!(flags & kReachable)) return NotReachable;
    NetworkStatus status = (flags & kConnectionRequired) ? NotReachable : ReachableViaNetwork;
    if ((flags & (kConnectionOnDemand | kConnectionOnTraffic)) && !(flags & kInterventionRequired))
        status = ReachableViaNetwork;
    return status;
}
