#pragma once
#include "tools/SampleCardTable.h"

#include <string>
#include <vector>

// Telemetry of the sample card, made the way cameras make it: text logs (NMEA sentences with the
// G-sensor sentences) beside the recordings, in a log folder "NMEA" or under the recording's whole
// name + ".txt", and AVI recordings with position ("SLLT") and G-sensor ("SGLT") chunks behind
// their index. The drives follow real streets of Munich and of Rio de Janeiro (south and west).

enum class SampleDrive { Munich, Rio, Parked };
enum class SampleLogPlace { None, Beside, LogFolder, WholeName };
enum class SampleSensorLines { Hex, HexWithTail, Decimal, None };
enum class SampleLineEnds { Lf, CrLf, CrOnly };
// The talkers of the position sentences: GPS alone, a combined (GN) receiver, a receiver that sends
// both for every fix, and one that sends its RMC as GPS and its GGA as combined.
enum class SampleTalkers { Gp, Gn, GpAndGn, GpRmcGnGga };
enum class SampleChunks { None, Both, SensorOnly, PositionsOnly, IndexOnly };
enum class SampleChunkFlaw { None, LowerCase, SizePastEnd, PartialRecords, MisalignedBehindIndex, UnknownBeforeIndex };

struct SampleTelemetrySpec {
    std::string recording;  // relative path of the recording on the card
    SampleDrive drive = SampleDrive::Munich;
    SampleLogPlace log = SampleLogPlace::None;
    std::string logName;    // relative path of the log, when there is one
    bool positions = true;  // the log has RMC and GGA lines
    SampleTalkers talkers = SampleTalkers::Gp;
    SampleSensorLines sensor = SampleSensorLines::Hex;
    SampleLineEnds lineEnds = SampleLineEnds::Lf;
    bool lastLineFeed = true;
    bool emptyLog = false;
    SampleChunks chunks = SampleChunks::None;
    SampleChunkFlaw chunkFlaw = SampleChunkFlaw::None;
    int noFixFrom = -1;  // seconds [noFixFrom, noFixFrom + noFixCount) have no fix
    int noFixCount = 0;
    int peakSecond = -1;  // a sharp G-sensor peak (over 0.5 g) at this second
};

// One second as the camera meant it.
struct SampleSecond {
    bool fix = true;
    double latitude = 0, longitude = 0;
    double speedKmh = 0;   // as written: in the log to 0.001 knot, in SLLT whole km/h
    double direction = 0;  // degrees, to 0.1
    double altitude = 0;   // metres, to 0.1
    double gx = 0, gy = 0, gz = 0;  // gravity removed, as written (to 0.016 g, 0.001 g or 0.00001 g)
};

const std::vector<SampleTelemetrySpec>& sampleTelemetrySpecs();
// The telemetry a recording is made with, or null when it has none.
const SampleTelemetrySpec* sampleTelemetrySpecOf(const SampleEntry& recording);
// Second `second` of the recording, rounded as the source writes it.
SampleSecond sampleTelemetrySecond(const SampleTelemetrySpec& spec, const SampleEntry& recording, int second);

// Adds to the card table: the recordings that only exist for their telemetry, the logs, and a
// ".AVI" that is no RIFF file.
void appendSampleTelemetryEntries(std::vector<SampleEntry>& table);
// The text of a log entry (made when the card is made, for its first day).
std::string sampleTelemetryLogText(const SampleEntry& log, const SampleCardDate& firstDay);
// The text of the log `spec` describes for `recording`, which need not be on the card (benchmarks
// make longer drives).
std::string sampleLogText(const SampleTelemetrySpec& spec, const SampleEntry& recording, const SampleCardDate& firstDay);
// Appends the telemetry chunks of an AVI recording behind its index (a recording without chunks is
// left alone); true when done.
bool addSampleTelemetryChunks(const SampleEntry& recording, const std::string& path, std::string& error);
