#pragma once
#include "library/FileDate.h"
#include "telemetry/GpsList.h"

#include <array>
#include <cstdint>
#include <string>
#include <vector>

// The moment an evidence package is about, the span of its clip, and what the clip's band shows for
// each second of the recording.

// Where the moment came from: given by the user (or the window's current second), the event
// second of an event recording, the G-sensor peak, or the middle of the recording.
enum class EvidenceMomentSource { Given, Event, Peak, Middle };

struct EvidenceMoment {
    int second = 0;
    EvidenceMomentSource source = EvidenceMomentSource::Middle;
};

// Whether the whole second lies in a recording of `lengthSeconds`: 0 <= second < length.
bool pmIsMomentInRecording(int second, double lengthSeconds);

// The moment when none is given: the event second (an event recording whose peak exceeds 0.5 g),
// else the peak (the larger magnitude of the track's maximum and minimum, whatever the recording
// type and size), else the middle; a second outside the recording is passed over.
EvidenceMoment pmDefaultEvidenceMoment(int eventSecond, int peakSecond, double lengthSeconds);

// [moment - before, moment + after + 1 s) clamped to [0, length].
struct EvidenceSpan {
    double start = 0.0;
    double end = 0.0;
    double length() const { return end - start; }
};
EvidenceSpan pmEvidenceSpan(int moment, double before, double after, double lengthSeconds);

// The clock of the recording's seconds: UTC milliseconds of second 0, from the log's GPS time where
// any sample has one (counted back from the first that has), else the file's date as the library
// shows it (a FAT card's date corrected).
struct EvidenceClock {
    enum class Source { GpsTime, FileTime };
    Source source = Source::FileTime;
    std::int64_t startMillis = 0;
    std::int64_t millisAt(int second) const { return startMillis + std::int64_t(second) * 1000; }
};
EvidenceClock pmEvidenceClock(const std::vector<std::int64_t>& sampleTimes, FileDate fileDate);
FileDate pmFileDateFromMillis(std::int64_t utcMillis);

// What the clip's band shows during one second: "-" for what the second does not know. Speed,
// heading and position read as on the dashboard; the G values as the graph's indicator shows
// them. `mark` is set during the moment's second.
struct EvidenceBandText {
    std::string dateTime;  // local "YYYY/MM/DD HH:MM:SS"
    std::string speed;     // "57 km/h"
    std::string heading;
    std::string latitude;
    std::string longitude;
    std::array<std::string, 3> g;  // X, Y, Z
    bool mark = false;
};
EvidenceBandText pmEvidenceBandText(const GpsList& list, int second, const EvidenceClock& clock, int moment,
                                    std::int16_t speedUnit);
