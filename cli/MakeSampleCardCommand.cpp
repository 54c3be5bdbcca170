#include "cli/Commands.h"
#include "tools/SampleCardTable.h"

#include <unistd.h>

#include <cerrno>
#include <charconv>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

namespace {

// "YYYY-MM-DD" with a real month and a day of 1 to 31.
bool parseDay(const std::string& text, SampleCardDate& date) {
    if (text.size() != 10 || text[4] != '-' || text[7] != '-') return false;
    auto number = [&](std::size_t at, std::size_t length, int& value) {
        const char* first = text.data() + at;
        const auto [end, ec] = std::from_chars(first, first + length, value);
        return ec == std::errc() && end == first + length;
    };
    return number(0, 4, date.year) && number(5, 2, date.month) && number(8, 2, date.day) && date.year >= 1970 &&
           date.month >= 1 && date.month <= 12 && date.day >= 1 && date.day <= 31;
}

// The card is made by a program of its own beside this one: only it loads FFmpeg's libraries, so
// that every other command starts quickly. It takes the checked arguments and replaces this process.
void runCardMaker(const std::string& folder, std::uint64_t seed, const SampleCardDate& day, int& exitCode) {
    std::error_code error;
    const std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", error);
    const std::string maker = (self.parent_path() / "cartena-make-sample-card").string();
    std::vector<std::string> arguments = {maker, folder, std::to_string(seed), std::to_string(day.year),
                                          std::to_string(day.month), std::to_string(day.day)};
    std::vector<char*> argv;
    for (std::string& argument : arguments) argv.push_back(argument.data());
    argv.push_back(nullptr);
    std::fflush(nullptr);
    ::execv(maker.c_str(), argv.data());
    std::fprintf(stderr, "cartena make-sample-card: cannot run %s: %s\n", maker.c_str(), std::strerror(errno));
    exitCode = 1;
}

}  // namespace

void addMakeSampleCardCommand(CLI::App& app, int& exitCode) {
    struct Arguments {
        std::string folder;
        std::uint64_t seed = 1;
        std::string firstDay;
    };
    auto args = std::make_shared<Arguments>();
    CLI::App* command = app.add_subcommand(
        "make-sample-card",
        "Make a sample memory card of short, real dash-camera recordings (front and rear, events, parking, "
        "damaged files) in DIR, which must be missing or empty");
    command->add_option("DIR", args->folder, "Folder to make the card in")->required();
    command->add_option("--seed", args->seed, "Varies the scenery; the same seed gives the same card (default 1)");
    command->add_option("--first-day", args->firstDay,
                        "Local day of the first recordings, YYYY-MM-DD (default 2024-02-27); the card spans "
                        "about three months around it")
        ->check([](const std::string& text) {
            SampleCardDate date;
            return parseDay(text, date) ? std::string() : std::string("expected a day as YYYY-MM-DD");
        });
    command->callback([args, &exitCode] {
        SampleCardDate day;
        if (!args->firstDay.empty()) parseDay(args->firstDay, day);
        runCardMaker(args->folder, args->seed, day, exitCode);
    });
}
