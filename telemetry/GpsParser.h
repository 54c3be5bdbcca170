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
// "$GSENSORD") into a track, one sample per "$GPRMC", i.e. per second. Bytes are collected one by
// one into fixed buffers: nothing is allocated per sentence.
class GpsParser {
public:
    static constexpr int kSentenceBuffer = 1024;
    static constexpr int kMaxSentence = 200;  // characters kept of one sentence, '$' included
    static constexpr int kMaxWordLength = 20;
    static constexpr int kWordSlots = 24;     // a sentence yields at most 23 fields

    // True when the file was read; the track is not cleared here.
    bool ParseFile(const std::string& path, GpsList* list);
    // The same over bytes already in memory (never fails); for callers that hold the text.
    void ParseBuffer(const char* data, std::size_t length, GpsList* list);

    void setGpsList(GpsList* list) { m_poGpsList = list; }
    void ProcessChar(unsigned char byte);
    bool ParseSentence();
    bool ParseGpsWords();
    void ParseGPRMC();
    void ParseGPGGA();
    void ParseGSENSOR();
    void ParseGSENSORD();
    bool IsValid() const { return true; }

    void setLastValidLocation(float latitude, float longitude);
    bool getLastValidLocation(float& latitude, float& longitude) const;

    // Hexadecimal text (1 to 8 digits, either case) to its value; false when not valid.
    static bool wxtoi(std::string_view text, std::uint32_t& result);

    int wordCount() const { return m_nWordCount; }
    std::string_view word(int index) const;

    // When set, one UTC time (milliseconds since 1970, or -1 when the sentence had no time and
    // date) per sample the parser appends; samples appended otherwise get -1.
    void setSampleTimes(std::vector<std::int64_t>* times) { m_pSampleTimes = times; }

    // Why the last ParseFile failed: the system error number (0 when it was not a system error)
    // and a short text; empty when it did not fail.
    int errorCode() const { return m_nErrorCode; }
    const std::string& errorText() const { return m_szError; }
    const GpsParseIssue& firstIssue() const { return m_firstIssue; }
    int issueCount() const { return m_nIssueCount; }
    // Lines seen so far (a last line without a line feed counts).
    int lineCount() const { return m_nLine - (m_bLineHasText ? 0 : 1); }

private:
    void reset(GpsList* list);
    void finish();
    void noteIssue(const char* message);
    void noteTime(std::int64_t millis);
    float counts(std::string_view text, const char* invalid);
    float gValue(std::string_view text, const char* invalid);
    void storeGSensor(float x, float y, float z, bool rawCounts);

    GpsList* m_poGpsList = nullptr;
    bool m_bStartOfLine = false;
    char16_t m_szGpsData[kSentenceBuffer] = {};
    std::int16_t m_nGpsDataCount = 0;
    char m_Words[kWordSlots][kMaxWordLength + 1] = {};
    std::uint8_t m_nWordLength[kWordSlots] = {};
    std::int16_t m_nWordCount = 0;
    double m_MPHPerKnot = 1.150779;
    float m_fLastValidLatitude = 0.0f;
    float m_fLastValidLongitude = 0.0f;

    int m_nLine = 1;
    int m_nSentenceLine = 0;
    bool m_bLineHasText = false;
    bool m_bTruncated = false;
    GpsParseIssue m_firstIssue;
    int m_nIssueCount = 0;
    int m_nLastIssueLine = 0;
    int m_nErrorCode = 0;
    std::string m_szError;
    std::vector<std::int64_t>* m_pSampleTimes = nullptr;
};

// Unit conversions for the views.
float pmGetSpeedByMile(float kmh);
double pmMeter2Feet(double metres);
double pmFixFloatValue(double value);
std::size_t pmGetUnicharLength(const char16_t* text);
