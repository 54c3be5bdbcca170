#include "Utility/ServicesConfig.h"

#include "Utility/UserFolders.h"
#include "Utility/Version.h"

#include <nlohmann/json.hpp>

#include <fstream>
#include <sstream>
#include <vector>

namespace {

using FormCheck = bool (*)(const std::string&);

bool isAddress(const std::string& text) {
    const auto colon = text.find("://");
    return colon != std::string::npos && colon > 0 && colon + 3 < text.size();
}

bool allOf(const std::string& text, std::size_t from, std::size_t count, bool (*accepted)(char)) {
    if (from + count > text.size()) return false;
    for (std::size_t i = from; i < from + count; ++i)
        if (!accepted(text[i])) return false;
    return true;
}

bool isDigit(char c) { return c >= '0' && c <= '9'; }
bool isLowerAlnum(char c) { return isDigit(c) || (c >= 'a' && c <= 'z'); }
bool isWordChar(char c) { return isLowerAlnum(c) || (c >= 'A' && c <= 'Z') || c == '_'; }
bool isHostChar(char c) { return isLowerAlnum(c) || (c >= 'A' && c <= 'Z') || c == '.' || c == '-' || c == ':'; }

// "http(s)://host[:port]" with nothing after: the services' paths are appended to it.
bool isServiceAddress(const std::string& text) {
    const std::size_t start = text.rfind("https://", 0) == 0 ? 8 : text.rfind("http://", 0) == 0 ? 7 : 0;
    return start > 0 && text.size() > start && allOf(text, start, text.size() - start, isHostChar);
}
bool isHost(const std::string& text) { return !text.empty() && allOf(text, 0, text.size(), isHostChar); }
bool isAppId(const std::string& text) { return text.empty() || (text.size() == 16 && allOf(text, 0, 16, isDigit)); }
bool isClientId(const std::string& text) {
    static const std::string suffix = ".apps.googleusercontent.com";
    return text.empty() || (text.size() == 12 + 1 + 32 + suffix.size() && allOf(text, 0, 12, isDigit) && text[12] == '-' &&
                            allOf(text, 13, 32, isLowerAlnum) && text.compare(45, suffix.size(), suffix) == 0);
}
bool isClientSecret(const std::string& text) { return text.empty() || (text.size() == 24 && allOf(text, 0, 24, isWordChar)); }
bool isAnyText(const std::string&) { return true; }

// Copies the string at `section`.`key` into `target` when it is present and of the right form;
// names it in `wrong` when it is present but not.
void readValue(const nlohmann::json& root, const char* section, const char* key, FormCheck form, std::string& target,
               std::vector<std::string>& wrong) {
    const auto part = root.find(section);
    if (part == root.end()) return;
    const auto value = part->is_object() ? part->find(key) : part->end();
    if (part->is_object() && value == part->end()) return;
    if (!part->is_object() || !value->is_string() || !form(value->get<std::string>())) {
        wrong.push_back(std::string(section) + "." + key);
        return;
    }
    target = value->get<std::string>();
}

}  // namespace

std::string pmServicesConfigPath() { return pmUserFolders().configHome + "/cartena-manager/services.json"; }

ServicesConfigLoad pmLoadServicesConfig(const std::string& path) {
    ServicesConfigLoad load;
    std::ifstream in(path, std::ios::binary);
    if (!in) return load;
    std::ostringstream bytes;
    bytes << in.rdbuf();
    const auto root = nlohmann::json::parse(bytes.str(), nullptr, false);
    if (root.is_discarded() || !root.is_object()) {
        load.problem = path + " is not a JSON object; using the default services";
        return load;
    }
    std::vector<std::string> wrong;
    ServicesConfig& c = load.config;
    readValue(root, "map", "page", isAddress, c.map.page, wrong);
    readValue(root, "map", "tiles", isAddress, c.map.tiles, wrong);
    readValue(root, "map", "tileAttribution", isAnyText, c.map.tileAttribution, wrong);
    readValue(root, "map", "userAgent", isAnyText, c.map.userAgent, wrong);
    readValue(root, "connectivity", "probe", isAddress, c.probe, wrong);
    FacebookServices& facebook = c.sharing.facebook;
    std::size_t wrongBefore = wrong.size();
    readValue(root, "facebook", "web", isServiceAddress, facebook.web, wrong);
    readValue(root, "facebook", "graph", isServiceAddress, facebook.graph, wrong);
    readValue(root, "facebook", "appId", isAppId, facebook.appId, wrong);
    facebook.valid = wrong.size() == wrongBefore;
    YouTubeServices& youtube = c.sharing.youtube;
    wrongBefore = wrong.size();
    readValue(root, "youtube", "accounts", isServiceAddress, youtube.accounts, wrong);
    readValue(root, "youtube", "api", isServiceAddress, youtube.api, wrong);
    readValue(root, "youtube", "redirectHost", isHost, youtube.redirectHost, wrong);
    readValue(root, "youtube", "clientId", isClientId, youtube.clientId, wrong);
    readValue(root, "youtube", "clientSecret", isClientSecret, youtube.clientSecret, wrong);
    youtube.valid = wrong.size() == wrongBefore;
    if (!wrong.empty()) {
        std::string names;
        for (const std::string& name : wrong) names += (names.empty() ? "" : ", ") + name;
        std::string outcome;
        for (const std::string& name : wrong)
            if (name.rfind("map.", 0) == 0 || name.rfind("connectivity.", 0) == 0) outcome = "using the default";
        if (!facebook.valid) outcome += std::string(outcome.empty() ? "" : ", ") + "leaving facebook unconfigured";
        if (!youtube.valid) outcome += std::string(outcome.empty() ? "" : ", ") + "leaving youtube unconfigured";
        load.problem = path + ": " + names + (wrong.size() == 1 ? " is" : " are") + " not valid; " + outcome;
    }
    return load;
}

std::string pmAddressHost(const std::string& address) {
    const auto scheme = address.find("://");
    const std::size_t start = scheme == std::string::npos ? 0 : scheme + 3;
    return address.substr(start, address.find_first_of("/?#", start) - start);
}

std::string pmMapUserAgent(const MapServices& map) {
    return map.userAgent.empty() ? "CartenaManager/" + pmGetVersionInfo() : map.userAgent;
}
