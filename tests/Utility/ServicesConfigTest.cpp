#include "Utility/ServicesConfig.h"
#include "support/TempHome.h"

#include <gtest/gtest.h>

TEST(ServicesConfig, ValuesComeFromTheFileAndWhatCannotBeUsedFallsBackAndIsNamed) {
    TempHome home;
    const std::string path = home.path() + "/services.json", tiles = ServicesConfig().map.tiles;
    const struct {
        const char* text;
        std::string tiles, probe, problem;
    } cases[] = {
        {R"({"map": {"tiles": "http://h/{z}/{x}/{y}.png"}, "connectivity": {"probe": "http://h/p"}})",
         "http://h/{z}/{x}/{y}.png", "http://h/p", ""},
        {"{\"map\": ", tiles, ServicesConfig().probe, path + " is not a JSON object; using the default services"},
        {R"({"map": {"tiles": 7, "page": "no address"}, "connectivity": {"probe": "http://h/p"}})", tiles,
         "http://h/p", path + ": map.page, map.tiles are not valid; using the default"},
    };
    for (const auto& c : cases) {
        ASSERT_TRUE(writeFile(path, c.text));
        const ServicesConfigLoad load = pmLoadServicesConfig(path);
        EXPECT_EQ(load.config.map.tiles + " " + load.config.probe + " " + load.problem, c.tiles + " " + c.probe + " " + c.problem);
    }
    EXPECT_EQ(pmLoadServicesConfig(home.path() + "/none").problem, "");
}
