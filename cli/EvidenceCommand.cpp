#include "cli/Commands.h"
#include "cli/ProgramBeside.h"
#include "cli/TelemetryCommon.h"

#include <sys/stat.h>

#include <charconv>
#include <cmath>
#include <cstdio>
#include <memory>
#include <optional>

namespace {

template <class Number>
std::optional<Number> numberIn(const std::string& text, Number lowest, Number highest) {
    Number value{};
    const char* end = text.data() + text.size();
    const auto [stop, error] = std::from_chars(text.data(), end, value);
    if (error != std::errc() || stop != end || !std::isfinite(double(value)) || value < lowest || value > highest)
        return std::nullopt;
    return value;
}

CLI::Validator secondsValidator(double highest) {
    return CLI::Validator(
        [highest](std::string& text) {
            return numberIn(text, 0.0, highest) ? std::string()
                                                : "expected a number of seconds from 0 to " +
                                                      std::to_string(int(highest)) + ", not " + text;
        },
        "SECONDS");
}

}  // namespace

void addEvidenceCommand(CLI::App& app, int& exitCode) {
    struct Options {
        std::string recording;
        std::string output;
        std::string at;
        std::string before = "15";
        std::string after = "15";
    };
    auto options = std::make_shared<Options>();
    CLI::App* command = app.add_subcommand(
        "evidence",
        "Make an evidence package of a recording's moment in a new folder: the original files (with their partner "
        "camera's recording and the telemetry logs) copied and shown equal, a clip of the moment with the "
        "telemetry burned in, the track as GPX and KML, a one-page report and SHA256SUMS");
    command->add_option("RECORDING", options->recording, "the recording (AVI, MP4 or MOV)")->required();
    command->add_option("-o,--output", options->output, "the package's folder, which must not exist")->required();
    command
        ->add_option("--at", options->at,
                     "the moment, a whole second of the recording (default: the event second of an event recording, "
                     "else the G-sensor peak, else the middle)")
        ->check(CLI::Validator(
            [](std::string& text) {
                return numberIn(text, 0, 86400) ? std::string() : "expected a whole second from 0, not " + text;
            },
            "SECOND"));
    command->add_option("--before", options->before, "seconds of clip before the moment (default 15)")
        ->check(secondsValidator(3600));
    command->add_option("--after", options->after, "seconds of clip after the moment's second (default 15)")
        ->check(secondsValidator(3600));
    command->footer(
        "The SHA-256 of SHA256SUMS is printed last, to be noted down elsewhere. Exit codes: 0 made, 1 a failure "
        "(one line on standard error; nothing is left behind), 2 bad usage, 130 cancelled with Ctrl-C. A progress "
        "bar is drawn on standard error when it is a terminal.");
    command->callback([options, &exitCode] {
        exitCode = 1;
        if (const char* reason = pmWhyNotARecording(options->recording)) {
            std::fprintf(stderr, "cartena evidence: %s: %s\n", options->recording.c_str(), reason);
            return;
        }
        struct stat status {};
        if (::lstat(options->output.c_str(), &status) == 0) {
            std::fprintf(stderr, "cartena evidence: %s: already exists; the package is made in a new folder only\n",
                         options->output.c_str());
            return;
        }
        pmRunProgramBeside("cartena-evidence",
                           {options->recording, options->output, options->at.empty() ? "-1" : options->at,
                            options->before, options->after, pmInvocationText()},
                           "evidence", exitCode);
    });
}
