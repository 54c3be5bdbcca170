#include "library/RecordingName.h"

#include "Utility/AsciiText.h"

#include <sys/stat.h>

#include <array>
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

// Byte offsets at which the UTF-8 characters of the text start. A lead byte takes up to three
// continuation bytes with it; any other byte stands alone.
std::vector<std::size_t> characterStarts(std::string_view text) {
    std::vector<std::size_t> starts;
    std::size_t i = 0;
    while (i < text.size()) {
        starts.push_back(i);
        const auto lead = static_cast<unsigned char>(text[i]);
        std::size_t length = 1;
        if (lead >= 0xC0) length = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : 2;
        std::size_t end = i + 1;
        while (end < text.size() && end < i + length && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80)
            ++end;
        i = end;
    }
    return starts;
}

// Replaces the character that starts at byte offset `start` by one ASCII letter.
void replaceCharacterAt(std::string& text, const std::vector<std::size_t>& starts, std::size_t index, char letter) {
    const std::size_t begin = starts[index];
    const std::size_t end = index + 1 < starts.size() ? starts[index + 1] : text.size();
    text.replace(begin, end - begin, 1, letter);
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
        if (rule.prefix == prefix) return &rule;
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
    const std::string extension = pmToUpperAscii(pmGetFileExtension(path));
    if (extension == "AVI") return kVideoFileAvi;
    if (extension == "MOV") return kVideoFileMov;
    if (extension == "MP4") return kVideoFileMp4;
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
    const std::string title = pmToUpperAscii(pmGetFileTitle(path, true));
    const NamingRule* rule = nullptr;
    if (title.size() >= 5) rule = findRule(kLongPrefixRules, std::string_view(title).substr(0, 4));
    if (!rule) rule = findRule(kShortPrefixRules, std::string_view(title).substr(0, 2));
    if (rule && pmIs4Numbers(title, rule->digitsAt)) return rule->type;
    return pmIsEventFile(path) ? kRecordEvent : kRecordNormal;
}

std::int16_t pmGetMotorTypeFile(const std::string& path) {
    if (path.empty()) return kMotorNoName;
    const std::string title = pmGetFileTitle(path, true);
    if (pmIs4Numbers(title, 2)) {
        const std::string family = pmToUpperAscii(std::string_view(title).substr(0, 2));
        if (family == "BN" || family == "BE" || family == "BP") return kMotorBFamily;
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
    const std::string title = pmGetFileTitle(path, true);
    if (characterStarts(title).size() < 5) return kCameraNone;
    const std::string reversed = pmReverseString(title);
    if (!pmIs4Numbers(reversed, 1)) return kCameraNone;
    switch (reversed[0]) {
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
    std::string folder = slash == std::string::npos ? std::string() : path.substr(0, slash);
    std::string name = slash == std::string::npos ? path : path.substr(slash + 1);

    // The camera letter in front of a three-letter extension; the title's five last characters
    // guarantee that the name has at least five.
    const auto nameStarts = characterStarts(name);
    if (nameStarts.size() < 5) return std::nullopt;
    replaceCharacterAt(name, nameStarts, nameStarts.size() - 5, letter);

    // The sibling folder: the last character of the folder part names the camera too.
    if (!folder.empty()) {
        const auto folderStarts = characterStarts(folder);
        replaceCharacterAt(folder, folderStarts, folderStarts.size() - 1, letter);
    }
    return slash == std::string::npos ? name : folder + "/" + name;
}
