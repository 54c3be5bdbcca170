#include "Utility/ServicesConfig.h"

#include "Utility/UserFolders.h"
#include "Utility/Version.h"

#include <nlohmann/json.hpp>

#include <fstream>
#include <sstream>
#include <vector>

namespace {

bool isAddress(const std::string& text) {
    const auto colon = text.find("://");
    return colon != std::string::npos && colon > 0 && colon + 3 < text.size();
}

// Copies the string at `section`.`key` into `target` when it is present and of the right form;
// names it in `wrong` when it is present but not.
void readValue(const nlohmann::json& root, const char* section, const char* key, bool address, std::string& target,
               std::vector<std::string>& wrong) {
    const auto part = root.find(section);
    if (part == root.end()) return;
    if (!part->is_object()) {
        wrong.push_back(std::string(section) + "." + key);
        return;
    }
    const auto value = part->find(key);
    if (value == part->end()) return;
    if (!value->is_string() || (address && !isAddress(value->get<std::string>()))) {
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
    readValue(root, "map", "page", true, c.map.page, wrong);
    readValue(root, "map", "tiles", true, c.map.tiles, wrong);
    readValue(root, "map", "tileAttribution", false, c.map.tileAttribution, wrong);
    readValue(root, "map", "userAgent", false, c.map.userAgent, wrong);
    readValue(root, "connectivity", "probe", true, c.probe, wrong);
    if (!wrong.empty()) {
        std::string names;
        for (const std::string& name : wrong) names += (names.empty() ? "" : ", ") + name;
        load.problem = path + ": " + names + (wrong.size() == 1 ? " is" : " are") + " not valid; using the default";
    }
    return load;
}

std::string pmMapUserAgent(const MapServices& map) {
    return map.userAgent.empty() ? "CartenaManager/" + pmGetVersionInfo() : map.userAgent;
}
