#include "cli/TelemetryCommand.h"
#include "cli/Commands.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <memory>
#include <optional>

namespace {

std::string shortest(double value) {
    char buffer[64];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    return {buffer, result.ptr};
}

std::string shortest(float value) {
    char buffer[64];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    return {buffer, result.ptr};
}

// A float as the double that prints the same shortest text, so JSON shows 48.1173, not
// 48.117298126220703.
double asPrinted(float value) {
    const std::string text = shortest(value);
    double out = 0.0;
    std::from_chars(text.data(), text.data() + text.size(), out);
    return out;
}

void printCsv(const LoadedTelemetry& t, const std::string& path) {
    std::string out =
        "# markers: latitude or longitude 0 = no position; speed_kmh -1 = no measured speed (position from another "
        "fix); direction -1 = unknown; altitude_m 65535 = no altitude\n"
        "second,latitude,longitude,speed_kmh,direction,altitude_m,gx,gy,gz\n";
    const auto& samples = t.list.gpslist();
    for (std::size_t i = 0; i < samples.size(); ++i) {
        const GpsData& s = samples[i];
        out += std::to_string(i) + ',' + shortest(s.fLatitude()) + ',' + shortest(s.fLongitude()) + ',' +
               shortest(s.fSpeed()) + ',' + shortest(s.fDirection()) + ',' + shortest(s.dAltitude()) + ',' +
               shortest(s.fGSensorX()) + ',' + shortest(s.fGSensorY()) + ',' + shortest(s.fGSensorZ()) + '\n';
    }
    const TelemetryLoad& load = t.load;
    out += "# recording: " + path + '\n';
    out += std::string("# source: ") + pmTelemetrySourceName(load.source);
    if (!load.logPath.empty()) out += " " + load.logPath;
    if (!load.found) out += " (no telemetry)";
    out += '\n';
    out += "# samples: " + std::to_string(samples.size()) + '\n';
    out += "# length_s: " + std::to_string(load.lengthSeconds) + '\n';
    out += "# peak_g: " + (load.peakIndex >= 0 ? shortest(load.peakValue) + " at second " + std::to_string(load.peakIndex)
                                                : std::string("none")) + '\n';
    out += "# event_second: " + (load.eventTime >= 0 ? std::to_string(load.eventTime) : std::string("none")) + '\n';
    std::fputs(out.c_str(), stdout);
}

// A length a player could report: a finite number of seconds above 0 and at most a day.
std::optional<double> lengthSeconds(const std::string& text) {
    double value = 0.0;
    const char* end = text.data() + text.size();
    const auto [stop, error] = std::from_chars(text.data(), end, value);
    if (error != std::errc() || stop != end || !std::isfinite(value) || value <= 0.0 || value > 86400.0)
        return std::nullopt;
    return value;
}

}  // namespace

nlohmann::json pmTelemetryJson(const LoadedTelemetry& t, const std::string& path) {
    using nlohmann::json;
    json rows = json::array();
    const auto& samples = t.list.gpslist();
    for (std::size_t i = 0; i < samples.size(); ++i) {
        const GpsData& s = samples[i];
        json row;
        row["second"] = i;
        row["latitude"] = !s.hasPosition() ? json(nullptr) : json(asPrinted(s.fLatitude()));
        row["longitude"] = !s.hasPosition() ? json(nullptr) : json(asPrinted(s.fLongitude()));
        row["speed_kmh"] = s.fSpeed() == GpsData::kNoSpeed ? json(nullptr) : json(asPrinted(s.fSpeed()));
        row["direction"] = s.fDirection() == GpsData::kNoDirection ? json(nullptr) : json(asPrinted(s.fDirection()));
        row["altitude_m"] = s.dAltitude() == GpsData::kNoAltitude ? json(nullptr) : json(s.dAltitude());
        row["gx"] = asPrinted(s.fGSensorX());
        row["gy"] = asPrinted(s.fGSensorY());
        row["gz"] = asPrinted(s.fGSensorZ());
        rows.push_back(std::move(row));
    }
    const TelemetryLoad& load = t.load;
    json summary;
    summary["recording"] = path;
    summary["source"] = pmTelemetrySourceName(load.source);
    summary["log"] = load.logPath.empty() ? json(nullptr) : json(load.logPath);
    summary["found"] = load.found;
    summary["sample_count"] = samples.size();
    summary["length_s"] = load.lengthSeconds;
    summary["peak_g"] = load.peakIndex >= 0 ? json(asPrinted(load.peakValue)) : json(nullptr);
    summary["peak_second"] = load.peakIndex >= 0 ? json(load.peakIndex) : json(nullptr);
    summary["event_second"] = load.eventTime >= 0 ? json(load.eventTime) : json(nullptr);
    return {{"samples", rows}, {"summary", summary}};
}

void addTelemetryCommand(CLI::App& app, int& exitCode) {
    struct Options {
        std::string file;
        std::string format = "csv";
        std::optional<std::string> length;
    };
    auto options = std::make_shared<Options>();
    CLI::App* command = app.add_subcommand(
        "telemetry", "Show a recording's telemetry: one row per second, then the source, length, peak and event second");
    command->add_option("FILE", options->file, "the recording (AVI, MP4 or MOV)")->required();
    command->add_option("--format", options->format, "csv or json")
        ->check(CLI::IsMember({"csv", "json"}))
        ->capture_default_str();
    command
        ->add_option("--length", options->length,
                     "the recording's length in seconds, as a player reports it: above 0 and at most 86400 "
                     "(default: read from the file)")
        ->check(CLI::Validator(
            [](std::string& text) {
                return lengthSeconds(text) ? std::string()
                                           : "expected a number of seconds above 0 and at most 86400, not " + text;
            },
            "SECONDS"));
    command->callback([options, &exitCode] {
        LoadedTelemetry telemetry;
        loadTelemetryForCommand("telemetry", options->file, options->length ? *lengthSeconds(*options->length) : -1.0,
                                telemetry);
        if (!telemetry.recording) {
            exitCode = 1;
            return;
        }
        if (options->format == "json")
            std::puts(pmTelemetryJson(telemetry, options->file).dump(2).c_str());
        else
            printCsv(telemetry, options->file);
        exitCode = telemetry.ok ? 0 : 1;
    });
}
