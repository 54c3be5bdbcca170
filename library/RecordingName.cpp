#include "library/RecordingName.h"

#include "Utility/AsciiText.h"

#include <sys/stat.h>

#include <array>
#include <optional>
#include <vector>

namespace {

std::string_view lastComponent(std::string_view path) {
    const auto slash = path.rfind('/');
    return slash == std::string_view::npos ? path : path.substr(slash + 1);
}

// Position of the dot that starts the extension of a name, npos when there is none.
std::size_t extensionDot(std::string_view name) {
    const auto dot = name.rfind('.');
    return (dot == std::string_view::npos || dot == 0) ? std::string_view::npos : dot;
}

// The name without its extension.
std::string_view titleOf(std::string_view path) {
    const std::string_view name = lastComponent(path);
    return name.substr(0, extensionDot(name));
}

bool equalsIgnoringCase(std::string_view text, std::string_view upper) {
    if (text.size() != upper.size()) return false;
    for (std::size_t i = 0; i < text.size(); ++i)
        if (pmToUpperAscii(text[i]) != upper[i]) return false;
    return true;
}

// The length of the UTF-8 character that starts at `at`: a lead byte takes up to three
// continuation bytes with it; any other byte stands alone.
std::size_t characterLength(std::string_view text, std::size_t at) {
    const auto lead = static_cast<unsigned char>(text[at]);
    const std::size_t length = lead < 0xC0 ? 1 : lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : 2;
    std::size_t end = at + 1;
    while (end < text.size() && end < at + length && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80) ++end;
    return end - at;
}

// Byte offsets at which the UTF-8 characters of the text start.
std::vector<std::size_t> characterStarts(std::string_view text) {
    std::vector<std::size_t> starts;
    for (std::size_t i = 0; i < text.size(); i += characterLength(text, i)) starts.push_back(i);
    return starts;
}

// Where the character `back` places from the end starts (1: the last one), and how long it is;
// none when the text has fewer characters. Characters are only found from the front, so the last
// few are kept while walking.
struct CharacterSpan {
    std::size_t start = 0, length = 0;
};
std::optional<CharacterSpan> characterFromEnd(std::string_view text, std::size_t back) {
    constexpr std::size_t kKept = 8;
    std::size_t starts[kKept];
    std::size_t count = 0;
    for (std::size_t i = 0; i < text.size(); i += characterLength(text, i)) starts[count++ % kKept] = i;
    if (back == 0 || back > kKept || back > count) return std::nullopt;
    const std::size_t start = starts[(count - back) % kKept];
    return CharacterSpan{start, characterLength(text, start)};
}

struct NamingRule {
    std::string_view prefix;
    int digitsAt;
    std::uint16_t type;
};

constexpr std::array<NamingRule, 4> kLongPrefixRules{{
    {"FILE", 4, kRecordNormal},
    {"EMER", 4, kRecordEvent},
    {"EVEN", 4, kRecordEvent},
    {"PARK", 4, kRecordNormal},
}};
constexpr std::array<NamingRule, 3> kShortPrefixRules{{
    {"BN", 2, kRecordNormal},
    {"BE", 2, kRecordEvent},
    {"BP", 2, kRecordNormal},
}};

template <std::size_t N>
const NamingRule* findRule(const std::array<NamingRule, N>& rules, std::string_view prefix) {
    for (const auto& rule : rules)
        if (equalsIgnoringCase(prefix, rule.prefix)) return &rule;
    return nullptr;
}

}  // namespace

std::string pmGetFileTitle(const std::string& path, bool withoutExtension) {
    const std::string_view name = lastComponent(path);
    if (!withoutExtension) return std::string(name);
    return std::string(name.substr(0, extensionDot(name)));
}

std::string pmGetFileExtension(const std::string& path) {
    const std::string_view name = lastComponent(path);
    const auto dot = extensionDot(name);
    return dot == std::string_view::npos ? std::string() : std::string(name.substr(dot + 1));
}

std::int32_t pmGetVideoFileType(const std::string& path) {
    const std::string_view name = lastComponent(path);
    const auto dot = extensionDot(name);
    const std::string_view extension = dot == std::string_view::npos ? std::string_view() : name.substr(dot + 1);
    if (equalsIgnoringCase(extension, "AVI")) return kVideoFileAvi;
    if (equalsIgnoringCase(extension, "MOV")) return kVideoFileMov;
    if (equalsIgnoringCase(extension, "MP4")) return kVideoFileMp4;
    return kVideoFileOther;
}

bool pmIs4Numbers(std::string_view text, int position) {
    if (position < 0 || text.size() < static_cast<std::size_t>(position) + 4) return false;
    for (std::size_t i = 0; i < 4; ++i)
        if (!pmIsDigitAscii(text[static_cast<std::size_t>(position) + i])) return false;
    return true;
}

bool pmIsEventFile(const std::string& path) {
    if (path.empty()) return false;
    // Cameras protect event recordings with the card's read-only attribute, which vfat and exfat
    // show as a mode without any write bit. Asking access(W_OK) would be wrong both for root
    // (always writable) and for a card mounted read-only (nothing writable).
    struct stat st {};
    const bool writable = ::stat(path.c_str(), &st) == 0 && (st.st_mode & 0222) != 0;
    if (!writable) return true;
    return pmToUpperAscii(pmGetFileTitle(path, false)).find("EMER") != std::string::npos;
}

std::uint16_t pmGetRecordFileType(const std::string& path) {
    if (path.empty()) return kRecordNormal;
    const std::string_view title = titleOf(path);
    const NamingRule* rule = nullptr;
    if (title.size() >= 5) rule = findRule(kLongPrefixRules, title.substr(0, 4));
    if (!rule) rule = findRule(kShortPrefixRules, title.substr(0, 2));
    if (rule && pmIs4Numbers(title, rule->digitsAt)) return rule->type;
    return pmIsEventFile(path) ? kRecordEvent : kRecordNormal;
}

std::int16_t pmGetMotorTypeFile(const std::string& path) {
    if (path.empty()) return kMotorNoName;
    const std::string_view title = titleOf(path);
    if (pmIs4Numbers(title, 2)) {
        const std::string_view family = title.substr(0, 2);
        if (equalsIgnoringCase(family, "BN") || equalsIgnoringCase(family, "BE") || equalsIgnoringCase(family, "BP"))
            return kMotorBFamily;
    }
    return kMotorOrdinary;
}

std::string pmReverseString(std::string_view text) {
    const auto starts = characterStarts(text);
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = starts.size(); i-- > 0;) {
        const std::size_t end = i + 1 < starts.size() ? starts[i + 1] : text.size();
        out.append(text.substr(starts[i], end - starts[i]));
    }
    return out;
}

std::uint16_t pmCheckDualCameraFileType(const std::string& path) {
    if (path.empty()) return kCameraNone;
    // The title's last five characters: four digits, then F or R. Digits and letters are single
    // bytes, so the last five bytes tell.
    const std::string_view title = titleOf(path);
    if (title.size() < 5 || !pmIs4Numbers(title, static_cast<int>(title.size()) - 5)) return kCameraNone;
    switch (title.back()) {
        case 'F':
        case 'f':
            return kCameraFront;
        case 'R':
        case 'r':
            return kCameraRear;
        default:
            return kCameraNone;
    }
}

std::optional<std::string> pmGetAnotherCameraFile(const std::string& path) {
    const std::uint16_t camera = pmCheckDualCameraFileType(path);
    if (camera == kCameraNone) return std::nullopt;
    const char letter = camera == kCameraFront ? 'R' : 'F';

    const auto slash = path.rfind('/');
    const std::size_t nameStart = slash == std::string::npos ? 0 : slash + 1;
    // The camera letter in front of a three-letter extension: the name's fifth character from its
    // end (the title's five last characters guarantee that there are five).
    const auto inName = characterFromEnd(std::string_view(path).substr(nameStart), 5);
    if (!inName) return std::nullopt;
    std::string other = path;
    other.replace(nameStart + inName->start, inName->length, 1, letter);
    // The sibling folder: the last character of the folder part names the camera too.
    if (slash != std::string::npos && slash > 0) {
        const auto inFolder = characterFromEnd(std::string_view(path).substr(0, slash), 1);
        other.replace(inFolder->start, inFolder->length, 1, letter);
    }
    return other;
}
