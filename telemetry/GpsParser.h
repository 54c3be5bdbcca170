#pragma once
#include "telemetry/GpsList.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// Where a log went wrong: the first problem met, its line (1-based; 0 = the file as a whole) and
// how many lines had one. A problem never stops the reading; it only explains odd results.
struct GpsParseIssue {
    int line = 0;
    const char* message = nullptr;  // static text
};

// Reads a dash camera's text log (NMEA sentences plus the G-sensor sentences "$GSENSOR" and
// "$GSENSORD") into a track, one sample per RMC fix, i.e. per second. RMC and GGA sentences are
// read from the talkers GP, GN, GL, GA, GB, BD, GQ and GI; the RMC sentences of one fix sent by
// several talkers (same time, talkers not yet seen for it) make one sample, which a combined (GN)
// fix replaces. Nothing is allocated per sentence.
class GpsParser {
public:
    static constexpr int kSentenceBuffer = 1024;
    static constexpr int kMaxSentence = 200;  // characters kept of one sentence, '$' included
    static constexpr int kMaxWordLength = 20;
    static constexpr int kWordSlots = 24;     // a sentence yields at most 23 fields
    static constexpr double kMPHPerKnot = 1.150779;

    // True when the file was read; the track is not cleared here.
    bool ParseFile(const std::string& path, GpsList* list);
    // The same over bytes already in memory (never fails); for callers that hold the text.
    void ParseBuffer(const char* data, std::size_t length, GpsList* list);

    // A run over bytes that arrive piecewise: reset, then any mix of ProcessChar (one byte) and
    // ProcessBytes (a block, read in bulk with the same result as byte by byte), then finish.
    void reset(GpsList* list);
    void ProcessChar(unsigned char byte);
    void ProcessBytes(const char* data, std::size_t length);
    void finish();

    void setLastValidLocation(float latitude, float longitude);
    bool getLastValidLocation(float& latitude, float& longitude) const;

    // Hexadecimal text (1 to 8 digits, either case) to its value; false when not valid.
    static bool wxtoi(std::string_view text, std::uint32_t& result);

    // When set, one UTC time (milliseconds since 1970, or -1 when the sentence had no time and
    // date) per sample the parser appends; samples appended otherwise get -1.
    void setSampleTimes(std::vector<std::int64_t>* times) { m_pSampleTimes = times; }

    // Why the last ParseFile failed: the system error number (0 when it was not a system error)
    // and a short text; empty when it did not fail.
    int errorCode() const { return m_run.nErrorCode; }
    const std::string& errorText() const { return m_run.szError; }
    const GpsParseIssue& firstIssue() const { return m_run.firstIssue; }
    int issueCount() const { return m_run.nIssueCount; }
    // Lines seen so far (a last line without a line feed counts).
    int lineCount() const { return m_run.nLine - (m_run.bLineHasText ? 0 : 1); }

private:
    // The RMC sentences the talkers of a receiver send for one fix: the epoch of the RMC that made
    // the last sample.
    struct Epoch {
        bool open = false;  // an RMC made the last sample
        std::uint8_t talkersSeen = 0;
        std::uint8_t sampleTalker = 0;
        bool sampleValid = false;  // the sample's RMC had status "A"
        bool altitudeFromGn = false;
        char time[kMaxWordLength] = {};
        std::uint8_t timeLength = 0;
        float latitudeBefore = 0.0f, longitudeBefore = 0.0f;  // the last fix before the epoch
        std::string_view timeText() const { return {time, timeLength}; }
    };
    // What one log changes; a new run starts from a value-initialised one.
    struct Run {
        bool bStartOfLine = false;  // a sentence is being collected
        char szGpsData[kSentenceBuffer] = {};
        std::int16_t nGpsDataCount = 0;
        bool bTruncated = false;
        int nLine = 1;
        int nSentenceLine = 0;
        bool bLineHasText = false;
        std::string_view words[kWordSlots];
        std::int16_t nWordCount = 0;
        float fLastValidLatitude = 0.0f;
        float fLastValidLongitude = 0.0f;
        Epoch epoch;
        GpsParseIssue firstIssue;
        int nIssueCount = 0;
        int nLastIssueLine = 0;
        int nErrorCode = 0;
        std::string szError;
    };
    struct RmcFix {
        float latitude, longitude, speed, direction;
    };

    void startSentence();
    void appendToSentence(const char* from, const char* to);
    void collectLinePart(const char* from, const char* to);
    bool parseLineInPlace(const char* from, const char* lineFeed);
    void endLine();
    bool ParseSentence(std::string_view sentence);
    bool ParseGpsWords(std::string_view sentence);
    std::string_view word(int index) const;
    void ParseGPRMC(int talker);
    RmcFix readRmcFix(bool valid);
    void ParseGPGGA(int talker);
    void ParseGSENSOR();
    void ParseGSENSORD();
    void noteIssue(const char* message);
    void noteTime(bool replaceLast);
    float counts(std::string_view text, const char* invalid);
    float gValue(std::string_view text, const char* invalid);
    void storeGSensor(float x, float y, float z, bool rawCounts);

    GpsList* m_poGpsList = nullptr;
    std::vector<std::int64_t>* m_pSampleTimes = nullptr;
    Run m_run;
};

// Unit conversions for the views.
float pmGetSpeedByMile(float kmh);
double pmMeter2Feet(double metres);
double pmFixFloatValue(double value);
std::size_t pmGetUnicharLength(const char16_t* text);
