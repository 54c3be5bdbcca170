#include "support/RunCommand.h"
#include "support/TempHome.h"

#include <gtest/gtest.h>

TEST(CartenaCommand, HelpVersionAndBadUsageExitCodes) {
    TempHome home;
    const std::string cartena = builtProgram("cli/cartena");

    const auto help = runCommand({cartena, "--help"});
    EXPECT_EQ(help.exitCode, 0);
    EXPECT_NE(help.out.find("Usage"), std::string::npos) << help.out;

    const auto version = runCommand({cartena, "--version"});
    EXPECT_EQ(version.exitCode, 0);
    EXPECT_EQ(version.out.rfind("cartena ", 0), 0u) << version.out;

    for (const std::vector<std::string>& bad : {std::vector<std::string>{cartena, "--no-such-option"},
                                                std::vector<std::string>{cartena, "no-such-command"}}) {
        const auto result = runCommand(bad);
        EXPECT_EQ(result.exitCode, 2) << bad[1];
        EXPECT_EQ(result.err.rfind("cartena: ", 0), 0u) << result.err;
        EXPECT_EQ(std::count(result.err.begin(), result.err.end(), '\n'), 1) << result.err;
    }
}
