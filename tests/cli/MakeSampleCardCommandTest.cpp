#include "support/RunCommand.h"
#include "support/TempHome.h"

#include <gtest/gtest.h>

#include <filesystem>

// Making a card is exercised by every test that reads the shared card; here the refusals.
TEST(MakeSampleCardCommand, RefusesAFolderThatIsNotEmptyAndRejectsABadDay) {
    TempHome home;
    const std::string cartena = builtProgram("cli/cartena");
    const std::string busy = home.path() + "/busy";
    std::filesystem::create_directories(busy);
    ASSERT_TRUE(writeFile(busy + "/keep.txt", "mine"));

    const CommandResult refused = runCommand({cartena, "make-sample-card", busy});
    EXPECT_EQ(refused.exitCode, 1);
    EXPECT_EQ(refused.out, "");
    EXPECT_EQ(refused.err, "cartena make-sample-card: " + busy + " exists and is not empty\n");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(busy), std::filesystem::directory_iterator()), 1);
    EXPECT_EQ(readFile(busy + "/keep.txt"), "mine");

    for (const char* day : {"2024-13-01", "2024-02-30x", "24-02-27", "2024-00-10"}) {
        const CommandResult bad = runCommand({cartena, "make-sample-card", home.path() + "/new", "--first-day", day});
        EXPECT_EQ(bad.exitCode, 2) << day;
        EXPECT_FALSE(std::filesystem::exists(home.path() + "/new")) << day;
    }
}
