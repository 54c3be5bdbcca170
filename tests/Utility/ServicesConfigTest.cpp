#include "Utility/ServicesConfig.h"
#include "support/TempHome.h"

#include <gtest/gtest.h>

TEST(ServicesConfig, ValuesComeFromTheFileAndWhatCannotBeUsedFallsBackAndIsNamed) {
    TempHome home;
    const ServicesConfig defaults;
    const std::string path = home.path() + "/services.json";
    const struct {
        const char* text;  // nullptr: no file
        std::string tiles, probe, problem;
    } cases[] = {
        {nullptr, defaults.map.tiles, defaults.probe, ""},
        {R"({"map": {"tiles": "http://127.0.0.1:8/{z}/{x}/{y}.png"}, "connectivity": {"probe": "http://h/p"}})",
         "http://127.0.0.1:8/{z}/{x}/{y}.png", "http://h/p", ""},
        {"{\"map\": ", defaults.map.tiles, defaults.probe, path + " is not a JSON object; using the default services"},
        {"[1, 2]", defaults.map.tiles, defaults.probe, path + " is not a JSON object; using the default services"},
        {R"({"map": {"tiles": 7, "page": "no address"}, "connectivity": {"probe": "http://h/p"}})",
         defaults.map.tiles, "http://h/p", path + ": map.page, map.tiles are not valid; using the default"},
        {R"({"connectivity": "http://h/p"})", defaults.map.tiles, defaults.probe,
         path + ": connectivity.probe is not valid; using the default"},
    };
    for (const auto& c : cases) {
        std::remove(path.c_str());
        if (c.text) ASSERT_TRUE(writeFile(path, c.text));
        const ServicesConfigLoad load = pmLoadServicesConfig(path);
        EXPECT_EQ(load.config.map.tiles, c.tiles) << (c.text ? c.text : "no file");
        EXPECT_EQ(load.config.probe, c.probe) << (c.text ? c.text : "no file");
        EXPECT_EQ(load.problem, c.problem) << (c.text ? c.text : "no file");
    }
    EXPECT_EQ(pmMapUserAgent(defaults.map).rfind("CartenaManager/", 0), 0u);
}
