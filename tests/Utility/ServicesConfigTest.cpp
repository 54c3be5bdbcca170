#include "Utility/ServicesConfig.h"
#include "support/TempHome.h"

#include <gtest/gtest.h>

// Each value from the file, or its default and a line that names it when it cannot be used; a video
// service is configured only with registration values of their form.
TEST(ServicesConfig, ValuesComeFromTheFileAndWhatCannotBeUsedFallsBackAndIsNamed) {
    TempHome home;
    const std::string path = home.path() + "/services.json", tiles = ServicesConfig().map.tiles;
    const std::string clientId = "123456789012-abcdefghijklmnopqrstuvwxyz012345.apps.googleusercontent.com";
    const std::string secret = "Abc_def_ghi_jkl_mno_pqr_";
    const struct {
        std::string text;
        std::string tiles, probe;
        bool facebook, youtube;
        std::string problem;
    } cases[] = {
        {"{}", tiles, ServicesConfig().probe, false, false, ""},
        {R"({"map": {"tiles": "http://h/{z}/{x}/{y}.png"}, "connectivity": {"probe": "http://h/p"}})",
         "http://h/{z}/{x}/{y}.png", "http://h/p", false, false, ""},
        {"{\"map\": ", tiles, ServicesConfig().probe, false, false, " is not a JSON object; using the default services"},
        {R"({"map": {"tiles": 7, "page": "no address"}, "connectivity": {"probe": "http://h/p"}})", tiles,
         "http://h/p", false, false, ": map.page, map.tiles are not valid; using the default"},
        {R"({"facebook": {"appId": "1234567890123456", "web": "http://127.0.0.1:8080"},
             "youtube": {"clientId": ")" + clientId + R"(", "clientSecret": ")" + secret + R"(", "redirectHost": "127.0.0.1:9"}})",
         tiles, ServicesConfig().probe, true, true, ""},
        {R"({"facebook": {"appId": "123456789012345"}, "youtube": {"clientId": ")" + clientId + "\"}}", tiles,
         ServicesConfig().probe, false, false, ": facebook.appId is not valid; leaving facebook unconfigured"},
        {R"({"facebook": {"appId": "1234567890123456", "graph": "https://g/"},
             "youtube": {"clientId": ")" + clientId.substr(0, 44) + "Z" + clientId.substr(45) + R"(", "clientSecret": ")" + secret + R"("},
             "map": {"page": "none"}})",
         tiles, ServicesConfig().probe, false, false,
         ": map.page, facebook.graph, youtube.clientId are not valid; using the default, leaving facebook unconfigured, "
         "leaving youtube unconfigured"},
    };
    for (const auto& c : cases) {
        ASSERT_TRUE(writeFile(path, c.text));
        const ServicesConfigLoad load = pmLoadServicesConfig(path);
        EXPECT_EQ(load.config.map.tiles + " " + load.config.probe + " " + load.problem,
                  c.tiles + " " + c.probe + " " + (c.problem.empty() ? "" : path + c.problem)) << c.text;
        EXPECT_EQ(std::pair(load.config.sharing.facebook.configured(), load.config.sharing.youtube.configured()),
                  std::pair(c.facebook, c.youtube)) << c.text;
    }
    EXPECT_EQ(pmLoadServicesConfig(home.path() + "/none").problem, "");
    EXPECT_EQ(pmAddressHost("http://127.0.0.1:8080/o/oauth2/auth?x=1") + " " + pmAddressHost("https://www.googleapis.com"),
              "127.0.0.1:8080 www.googleapis.com");
}
