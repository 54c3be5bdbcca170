#include "Utility/DiagnosticLog.h"
#include "support/RunCommand.h"
#include "support/TempHome.h"

#include <gtest/gtest.h>

#include <filesystem>

TEST(CartenaCommand, HelpVersionAndRefusalsWithTheirExitCodesAndOneLineEach) {
    TempHome home;
    const std::string busy = home.path() + "/busy", card = home.path() + "/card", made = home.path() + "/new";
    std::filesystem::create_directories(busy);
    std::filesystem::create_directories(card);
    ASSERT_TRUE(writeFile(busy + "/keep.txt", "mine"));
    const struct {
        std::vector<std::string> args;
        int exitCode;
        std::string output;  // standard output when it succeeds, the start of standard error when not
    } cases[] = {
        {{"--help"}, 0, "cartena: the command line"},
        {{"--version"}, 0, "cartena "},
        {{"--no-such-option"}, 2, "cartena: "},
        {{"no-such-command"}, 2, "cartena: "},
        {{"scan", home.path() + "/no card"}, 1, "cartena scan: no such folder: " + home.path() + "/no card\n"},
        {{"scan", busy + "/keep.txt"}, 1, "cartena scan: not a folder: " + busy + "/keep.txt\n"},
        {{"scan", card, "--day", "2024-13-01"}, 2, "cartena: "},
        {{"scan", card, "--day", "2023-02-29"}, 2, "cartena: "},
        {{"make-sample-card", busy}, 1, "cartena make-sample-card: " + busy + " exists and is not empty\n"},
        {{"make-sample-card", made, "--first-day", "2024-13-01"}, 2, "cartena: "},
        {{"make-sample-card", made, "--first-day", "2024-02-30x"}, 2, "cartena: "},
        {{"make-sample-card", made, "--first-day", "24-02-27"}, 2, "cartena: "},
        {{"make-sample-card", made, "--first-day", "2024-00-10"}, 2, "cartena: "},
    };
    for (const auto& c : cases) {
        std::vector<std::string> argv = {builtProgram("cli/cartena")};
        argv.insert(argv.end(), c.args.begin(), c.args.end());
        const CommandResult r = runCommand(argv);
        const std::string what = c.args.back();
        EXPECT_EQ(r.exitCode, c.exitCode) << what << "\n" << r.err;
        EXPECT_TRUE((c.exitCode == 0 ? r.out : r.err).starts_with(c.output)) << what << "\n" << r.out << r.err;
        if (c.exitCode != 0) {
            EXPECT_EQ(r.out, "") << what;
            EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << what << "\n" << r.err;
        }
    }
    EXPECT_EQ(readFile(busy + "/keep.txt"), "mine");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(busy), {}), 1);
    EXPECT_FALSE(std::filesystem::exists(made));

    // A scan appends to the log of earlier runs.
    pmOutputDebugMsg("earlier line");
    ASSERT_EQ(runCommand({builtProgram("cli/cartena"), "scan", card}).exitCode, 0);
    const auto messages = logMessages();
    ASSERT_GE(messages.size(), 2u);
    EXPECT_EQ(messages.front(), "earlier line");
    EXPECT_EQ(messages.back(), "AppDelegate::buildVideoLibrary - End !");
}
