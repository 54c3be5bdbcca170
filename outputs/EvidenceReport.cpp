#include "outputs/EvidenceReport.h"

#include <sys/stat.h>
#include <unistd.h>

#include <charconv>
#include <cstdio>
#include <cstdlib>
#include <fstream>

namespace {

// "2024-05-01 08:15:02" in UTC.
std::string utcFields(std::time_t time) {
    struct tm fields {};
    ::gmtime_r(&time, &fields);
    char text[64];
    std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S", &fields);
    return text;
}

// The name of the local time zone as the system configures it; empty when it does not say.
std::string zoneName() {
    if (const char* tz = std::getenv("TZ"); tz && *tz) return *tz == ':' ? tz + 1 : tz;
    std::ifstream file("/etc/timezone");
    std::string name;
    if (std::getline(file, name) && !name.empty()) return name;
    char link[256];
    const ssize_t length = ::readlink("/etc/localtime", link, sizeof link - 1);
    if (length <= 0) return {};
    const std::string target(link, std::size_t(length));
    const std::size_t at = target.find("zoneinfo/");
    return at == std::string::npos ? target : target.substr(at + 9);
}

}  // namespace

std::string pmStoredTimeText(const struct stat& status) {
    char nanoseconds[16];
    std::snprintf(nanoseconds, sizeof nanoseconds, ".%09ld", static_cast<long>(status.st_mtim.tv_nsec));
    return utcFields(status.st_mtim.tv_sec) + nanoseconds + " UTC";
}

std::string pmUtcTimeText(std::time_t time) { return utcFields(time) + " UTC"; }

std::string pmTimeZoneText(std::time_t at) {
    struct tm fields {};
    ::localtime_r(&at, &fields);
    const long offset = fields.tm_gmtoff;
    char text[32];
    std::snprintf(text, sizeof text, "%c%02ld:%02ld", offset < 0 ? '-' : '+', std::labs(offset) / 3600,
                  std::labs(offset) / 60 % 60);
    std::string zone = text;
    if (fields.tm_zone && *fields.tm_zone) zone += std::string(" ") + fields.tm_zone;
    if (const std::string name = zoneName(); !name.empty()) zone += " (" + name + ")";
    return zone;
}

std::string pmLengthText(double seconds) {
    const long tenths = static_cast<long>(seconds * 10.0 + 0.5);
    const long whole = tenths / 10;
    char text[32];
    if (whole >= 3600)
        std::snprintf(text, sizeof text, "%ld:%02ld:%02ld.%ld", whole / 3600, whole / 60 % 60, whole % 60, tenths % 10);
    else
        std::snprintf(text, sizeof text, "%ld:%02ld.%ld", whole / 60, whole % 60, tenths % 10);
    return text;
}

std::string pmFillMessage(std::string text, const std::vector<std::string>& arguments) {
    std::size_t from = 0;
    for (const std::string& argument : arguments) {
        const std::size_t at = text.find("%s", from);
        if (at == std::string::npos) break;
        text.replace(at, 2, argument);
        from = at + argument.size();
    }
    return text;
}
