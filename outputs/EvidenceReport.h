#pragma once
#include "outputs/EvidenceMoment.h"
#include "telemetry/GpsList.h"

#include <ctime>
#include <cstdint>
#include <string>
#include <vector>

struct stat;

// What the report page of an evidence package says, gathered by the core; the page itself is drawn
// outside it (with the frames of the clip).

struct EvidenceOriginal {
    enum class Kind { Recording, Partner, Log };
    Kind kind = Kind::Recording;
    std::string name;        // its name in originals/
    std::string sourcePath;
    std::string sha256;
    std::uint64_t size = 0;
    std::string storedTime;  // the modification time as the file system holds it, in UTC
    std::string shownTime;   // as the program shows it: local time, a FAT card's date corrected
    double length = -1.0;    // seconds, recordings only
};

struct EvidenceReport {
    std::vector<EvidenceOriginal> originals;
    EvidenceMoment moment;
    EvidenceBandText momentText;  // what the band shows during the moment's second
    float peakValue = 0.0f;
    int peakSecond = -1;          // -1: no G-sensor values
    const GpsList* track = nullptr;
    double length = 0.0;          // of the recording, seconds
    bool telemetry = false;       // a source gave telemetry
    EvidenceClock::Source clockSource = EvidenceClock::Source::FileTime;
    EvidenceSpan span;
    bool pair = false;
    std::int16_t speedUnit = 0;
    std::string timeZone;         // "+01:00 CET (Europe/Berlin)"
    std::string packagedUtc;      // "2024-05-01 08:15:02 UTC"
    std::string version;
    std::string commandLine;
};

// "2024-02-27 07:00:05.123456789 UTC" of a status's modification time, as stored.
std::string pmStoredTimeText(const struct stat& status);
// "2024-05-01 08:15:02 UTC".
std::string pmUtcTimeText(std::time_t time);
// The local time zone at a moment: its offset from UTC, its abbreviation and, where the system names
// it (TZ, /etc/timezone, the /etc/localtime link), its name: "+01:00 CET (Europe/Berlin)".
std::string pmTimeZoneText(std::time_t at);
// "1:02:03.4" or "2:03.4" of a length in seconds.
std::string pmLengthText(double seconds);
// Fills the "%s" of a message, one argument per "%s" in order.
std::string pmFillMessage(std::string text, const std::vector<std::string>& arguments);
