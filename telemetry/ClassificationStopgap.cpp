#include "telemetry/ClassificationStopgap.h"

#include "telemetry/NumberText.h"

#include <unistd.h>

namespace {

std::string upperTitle(const std::string& path, std::string* extension) {
    const std::size_t slash = path.rfind('/');
    std::string name = path.substr(slash == std::string::npos ? 0 : slash + 1);
    const std::size_t dot = name.rfind('.');
    std::string ext = dot == std::string::npos || dot == 0 ? "" : name.substr(dot + 1);
    if (dot != std::string::npos && dot != 0) name.resize(dot);
    for (char& c : name) c = pmAsciiUpper(c);
    for (char& c : ext) c = pmAsciiUpper(c);
    if (extension) *extension = ext;
    return name;
}

bool fourDigits(const std::string& text, std::size_t at) {
    if (text.size() < at + 4) return false;
    for (std::size_t i = at; i < at + 4; ++i)
        if (text[i] < '0' || text[i] > '9') return false;
    return true;
}

}  // namespace

std::int32_t pmGetVideoFileType(const std::string& path) {
    std::string ext;
    upperTitle(path, &ext);
    if (ext == "AVI") return 1;
    if (ext == "MOV") return 3;
    if (ext == "MP4") return 5;
    return -1;
}

std::uint16_t pmGetRecordFileType(const std::string& path) {
    if (path.empty()) return 0;
    const std::string title = upperTitle(path, nullptr);
    const std::string prefix = title.substr(0, title.size() >= 5 ? 4 : 2);
    struct Rule { const char* prefix; std::size_t digitsAt; std::uint16_t type; };
    static const Rule rules[] = {{"FILE", 4, 0}, {"EMER", 4, 1}, {"EVEN", 4, 1}, {"PARK", 4, 0},
                                 {"BN", 2, 0},   {"BE", 2, 1},   {"BP", 2, 0}};
    for (const Rule& rule : rules)
        if (title.compare(0, std::string(rule.prefix).size(), rule.prefix) == 0 &&
            (prefix == rule.prefix || std::string(rule.prefix).size() == 2)) {
            if (fourDigits(title, rule.digitsAt)) return rule.type;
            break;
        }
    if (::access(path.c_str(), W_OK) != 0) return 1;
    return path.find("EMER") != std::string::npos ? 1 : 0;
}

std::int16_t pmGetMotorTypeFile(const std::string& path) {
    if (path.empty()) return 0;
    const std::string title = upperTitle(path, nullptr);
    if (fourDigits(title, 2) && (title.rfind("BN", 0) == 0 || title.rfind("BE", 0) == 0 || title.rfind("BP", 0) == 0))
        return 2;
    return 1;
}
