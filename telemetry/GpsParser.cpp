#include "telemetry/GpsParser.h"

#include "Utility/DiagnosticLog.h"
#include "Utility/FileReader.h"
#include "Utility/AsciiText.h"
#include "telemetry/NumberText.h"

#include <sys/stat.h>

#include <algorithm>
#include <bit>
#include <cerrno>
#include <cstring>
#include <iterator>

namespace {

constexpr std::size_t kReadBlock = 64 * 1024;

bool contains(std::string_view text, char c) { return text.find(c) != std::string_view::npos; }

// Days from 1970-01-01 to a proleptic Gregorian date.
std::int64_t daysFromCivil(int year, int month, int day) {
    year -= month <= 2;
    const int era = (year >= 0 ? year : year - 399) / 400;
    const int yoe = year - era * 400;
    const int doy = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
    const int doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return std::int64_t(era) * 146097 + doe - 719468;
}

int twoDigits(std::string_view text, std::size_t at) {
    if (at + 2 > text.size()) return -1;
    const char a = text[at], b = text[at + 1];
    if (a < '0' || a > '9' || b < '0' || b > '9') return -1;
    return (a - '0') * 10 + (b - '0');
}

// "hhmmss[.sss]" and "ddmmyy" to milliseconds since 1970 (UTC), or -1.
std::int64_t rmcTime(std::string_view time, std::string_view date) {
    const int hh = twoDigits(time, 0), mi = twoDigits(time, 2), ss = twoDigits(time, 4);
    const int dd = twoDigits(date, 0), mo = twoDigits(date, 2), yy = twoDigits(date, 4);
    if (hh < 0 || mi < 0 || ss < 0 || dd < 1 || mo < 1 || yy < 0 || date.size() != 6) return -1;
    if (hh > 23 || mi > 59 || ss > 60 || mo > 12 || dd > 31) return -1;
    int millis = 0;
    if (time.size() > 7 && time[6] == '.') {
        int scale = 100;
        for (std::size_t i = 7; i < time.size() && i < 10 && time[i] >= '0' && time[i] <= '9'; ++i, scale /= 10)
            millis += (time[i] - '0') * scale;
    }
    const int year = yy < 80 ? 2000 + yy : 1900 + yy;
    const std::int64_t seconds = daysFromCivil(year, mo, dd) * 86400 + hh * 3600 + mi * 60 + ss;
    return seconds * 1000 + millis;
}

}  // namespace

namespace {

// The talkers whose RMC and GGA sentences are read, in the order of their bits.
constexpr std::string_view kTalkers[] = {"GP", "GN", "GL", "GA", "GB", "BD", "GQ", "GI"};
constexpr int kCombinedTalker = 1;  // GN: the fix of all constellations together

int talkerOf(std::string_view talker) {
    for (int i = 0; i < int(std::size(kTalkers)); ++i)
        if (kTalkers[i] == talker) return i;
    return -1;
}

// Eight bytes in memory order, the first in the lowest bits.
std::uint64_t eightBytes(const char* p) {
    std::uint64_t value;
    std::memcpy(&value, p, sizeof value);
    if constexpr (std::endian::native == std::endian::big) {
        std::uint64_t swapped = 0;
        for (int i = 0; i < 8; ++i, value >>= 8) swapped = swapped << 8 | (value & 0xFF);
        value = swapped;
    }
    return value;
}

// The top bit of every byte that is zero, and no other bit.
std::uint64_t zeroBytes(std::uint64_t v) {
    constexpr std::uint64_t low7 = 0x7F7F7F7F7F7F7F7Full;
    return ~(((v & low7) + low7) | v | low7);
}

// The top bit of every byte that is a field separator: a comma or a NUL.
std::uint64_t separatorBits(std::uint64_t eight) {
    return zeroBytes(eight) | zeroBytes(eight ^ 0x2C2C2C2C2C2C2C2Cull);
}

// A log of a few hundred bytes per second; the hint stays modest for huge or odd files.
constexpr std::size_t kBytesPerSampleHint = 256;
constexpr std::size_t kMaxSampleHint = 5 * 3600;

void reserveTrack(GpsList& list, std::uint64_t bytes) {
    list.reserve(list.gpslist().size() + std::min<std::uint64_t>(bytes / kBytesPerSampleHint, kMaxSampleHint));
}

}  // namespace

void GpsParser::reset(GpsList* list) {
    m_poGpsList = list;
    m_run = {};
}

void GpsParser::finish() {
    if (m_run.bStartOfLine) {
        m_run.nSentenceLine = m_run.nLine;
        noteIssue("the last line has no line feed and was not read");
    }
}

bool GpsParser::ParseFile(const std::string& path, GpsList* list) {
    reset(list);
    FileReader file(path);
    if (!file.isOpen()) {
        struct stat st {};
        m_run.nErrorCode = errno;
        if (::stat(path.c_str(), &st) == 0 && !S_ISREG(st.st_mode)) {
            m_run.nErrorCode = S_ISDIR(st.st_mode) ? EISDIR : EINVAL;
            m_run.szError = "it is not a regular file";
        } else {
            m_run.szError = std::strerror(m_run.nErrorCode);
        }
        pmOutputDebugMsg("GpsParser::ParseFile() - open file failed !");
        pmOutputDebugMsgF("GpsParser::ParseFile() - Error Code = %d", m_run.nErrorCode);
        return false;
    }
    pmOutputDebugMsg("GpsParser::ParseFile() - open file ok !");
    pmOutputDebugMsgF("GpsParser::ParseFile() - GPS file size = %ld", static_cast<long>(file.size()));
    if (file.size() == 0) {
        m_run.szError = "the log is empty";
        return false;
    }
    if (list) reserveTrack(*list, file.size());
    // Read in blocks rather than whole: the result is the same byte stream.
    char block[kReadBlock];
    std::uint64_t offset = 0;
    while (offset < file.size()) {
        const long long got = file.readSomeAt(offset, block, sizeof block);
        if (got < 0) {
            m_run.nErrorCode = errno;
            m_run.szError = std::strerror(m_run.nErrorCode);
            return false;
        }
        if (got == 0) break;
        ProcessBytes(block, static_cast<std::size_t>(got));
        offset += static_cast<std::uint64_t>(got);
    }
    finish();
    return true;
}

void GpsParser::ParseBuffer(const char* data, std::size_t length, GpsList* list) {
    reset(list);
    if (list) reserveTrack(*list, length);
    ProcessBytes(data, length);
    finish();
}

void GpsParser::noteIssue(const char* message) {
    if (m_run.nLastIssueLine == m_run.nSentenceLine && m_run.nIssueCount > 0) return;  // one per line
    m_run.nLastIssueLine = m_run.nSentenceLine;
    if (m_run.nIssueCount++ == 0) m_run.firstIssue = {m_run.nSentenceLine, message};
}

void GpsParser::startSentence() {
    m_run.bStartOfLine = true;
    m_run.bTruncated = false;
    m_run.nSentenceLine = m_run.nLine;
    m_run.szGpsData[0] = '$';
    m_run.nGpsDataCount = 1;
}

void GpsParser::endLine() {
    ++m_run.nLine;
    m_run.bLineHasText = false;
    if (!m_run.bStartOfLine) return;
    m_run.bStartOfLine = false;
    if (m_run.bTruncated) noteIssue("the line is longer than 200 characters; the rest was dropped");
    ParseSentence({m_run.szGpsData, static_cast<std::size_t>(m_run.nGpsDataCount)});
}

// The byte-wise reading; ProcessBytes must give the same result.
void GpsParser::ProcessChar(unsigned char byte) {
    if (m_poGpsList == nullptr) return;
    switch (byte) {
        case '\n':
            endLine();
            return;
        case '\r':
            m_run.bLineHasText = true;
            return;
        case '$':
            m_run.bLineHasText = true;
            startSentence();
            return;
        default:
            m_run.bLineHasText = true;
            if (!m_run.bStartOfLine) return;
            if (m_run.nGpsDataCount < kMaxSentence)
                m_run.szGpsData[m_run.nGpsDataCount++] = static_cast<char>(byte);
            else
                m_run.bTruncated = true;
            return;
    }
}

// Text without line feeds or '$' joins the sentence being collected: carriage returns are
// dropped, and whatever passes the length limit.
void GpsParser::appendToSentence(const char* from, const char* to) {
    while (from < to) {
        const auto* cr = static_cast<const char*>(std::memchr(from, '\r', static_cast<std::size_t>(to - from)));
        const char* pieceEnd = cr ? cr : to;
        const auto piece = static_cast<std::size_t>(pieceEnd - from);
        const auto room = static_cast<std::size_t>(kMaxSentence - m_run.nGpsDataCount);
        const std::size_t kept = std::min(piece, room);
        std::memcpy(m_run.szGpsData + m_run.nGpsDataCount, from, kept);
        m_run.nGpsDataCount = static_cast<std::int16_t>(m_run.nGpsDataCount + kept);
        if (piece > kept) m_run.bTruncated = true;
        from = cr ? cr + 1 : to;
    }
}

// A piece of one line (no line feed in it): only its last '$' and what follows can matter.
void GpsParser::collectLinePart(const char* from, const char* to) {
    if (from == to) return;
    m_run.bLineHasText = true;
    if (const auto* dollar = static_cast<const char*>(::memrchr(from, '$', static_cast<std::size_t>(to - from)))) {
        startSentence();
        from = dollar + 1;
    }
    if (m_run.bStartOfLine) appendToSentence(from, to);
}

// A whole line, begun with no sentence being collected, read where it lies: true unless its
// sentence needs carriage returns dropped from its middle or a cut to the length limit.
bool GpsParser::parseLineInPlace(const char* from, const char* lineFeed) {
    const auto* dollar = static_cast<const char*>(::memrchr(from, '$', static_cast<std::size_t>(lineFeed - from)));
    const char* end = lineFeed;
    if (dollar != nullptr) {
        if (end[-1] == '\r') --end;
        const auto length = static_cast<std::size_t>(end - dollar);
        if (length > kMaxSentence || std::memchr(dollar, '\r', length) != nullptr) return false;
        m_run.nSentenceLine = m_run.nLine;
    }
    ++m_run.nLine;
    m_run.bLineHasText = false;
    if (dollar != nullptr) ParseSentence({dollar, static_cast<std::size_t>(end - dollar)});
    return true;
}

void GpsParser::ProcessBytes(const char* data, std::size_t length) {
    if (m_poGpsList == nullptr) return;
    const char* at = data;
    const char* const end = data + length;
    while (at < end) {
        const auto* lineFeed = static_cast<const char*>(std::memchr(at, '\n', static_cast<std::size_t>(end - at)));
        if (lineFeed != nullptr && !m_run.bStartOfLine && parseLineInPlace(at, lineFeed)) {
            at = lineFeed + 1;
            continue;
        }
        collectLinePart(at, lineFeed ? lineFeed : end);
        if (!lineFeed) break;
        endLine();
        at = lineFeed + 1;
    }
}

std::string_view GpsParser::word(int index) const {
    return index >= 0 && index < m_run.nWordCount ? m_run.words[index] : std::string_view();
}

// Fields end at a comma or a NUL; the sentence's end ends the last one. The separators are found
// eight bytes at a time.
bool GpsParser::ParseGpsWords(std::string_view sentence) {
    const char* const text = sentence.data();
    const std::size_t length = sentence.size();
    int count = 0;
    std::size_t fieldStart = 0;
    // Ends the field at `stop`; false when the sentence breaks a limit.
    const auto endField = [&](std::size_t stop) {
        if (stop - fieldStart > kMaxWordLength) {
            noteIssue("a field is longer than 20 characters; the sentence was skipped");
            return false;
        }
        m_run.words[count++] = std::string_view(text + fieldStart, stop - fieldStart);
        fieldStart = stop + 1;
        if (count < kWordSlots) return true;
        noteIssue("the sentence has more than 23 fields and was skipped");
        return false;
    };
    m_run.nWordCount = 0;
    std::size_t at = 0;
    for (; at + 8 <= length; at += 8) {
        for (std::uint64_t bits = separatorBits(eightBytes(text + at)); bits != 0; bits &= bits - 1)
            if (!endField(at + static_cast<std::size_t>(std::countr_zero(bits)) / 8)) return false;
    }
    for (; at < length; ++at)
        if ((text[at] == ',' || text[at] == '\0') && !endField(at)) return false;
    if (!endField(length)) return false;
    m_run.nWordCount = static_cast<std::int16_t>(count);
    return true;
}

bool GpsParser::ParseSentence(std::string_view sentence) {
    if (!ParseGpsWords(sentence)) return false;
    const std::string_view kind = word(0);
    const int talker = kind.size() == 6 && kind[0] == '$' ? talkerOf(kind.substr(1, 2)) : -1;
    const std::string_view type = talker >= 0 ? kind.substr(3) : std::string_view();
    if (type == "RMC") {
        ParseGPRMC(talker);
        m_poGpsList->setBGps(true);
    } else if (kind == "$GSENSOR") {
        ParseGSENSOR();
        m_poGpsList->setBSenser(true);
    } else if (type == "GSV" || type == "GSA") {
    } else if (type == "GGA") {
        ParseGPGGA(talker);
    } else if (kind == "$GSENSORD") {
        ParseGSENSORD();
        m_poGpsList->setBSenser(true);
    } else {
        return false;
    }
    return true;
}

// Position (only for a valid fix), speed in km/h and course of the current RMC sentence, with the
// last-fix rules applied: a fix is remembered (the first one fills the seconds before it), and
// without one the last fix stands in, its speed marked as not measured.
GpsParser::RmcFix GpsParser::readRmcFix(bool valid) {
    float latitude = 0.0f, longitude = 0.0f;
    bool ok = true;
    if (valid) {
        const std::string_view lat = word(3), ns = word(4);
        if (!lat.empty() && !ns.empty() && lat.size() >= 3) {
            bool okDeg, okMin;
            const float degrees = static_cast<float>(pmTextToLong(lat.substr(0, 2), &okDeg));
            const float minutes = static_cast<float>(pmTextToDouble(lat.substr(2), &okMin));
            ok = ok && okDeg && okMin;
            latitude = degrees + minutes / 60.0f;
            if (contains(ns, 'S')) latitude = -latitude;
        }
        const std::string_view lon = word(5), ew = word(6);
        if (!lon.empty() && !ew.empty() && lon.size() >= 4) {
            bool okDeg, okMin;
            const float degrees = static_cast<float>(pmTextToLong(lon.substr(0, 3), &okDeg));
            const float minutes = static_cast<float>(pmTextToDouble(lon.substr(3), &okMin));
            ok = ok && okDeg && okMin;
            longitude = degrees + minutes / 60.0f;
            if (contains(ew, 'W')) longitude = -longitude;
        }
    }
    bool okSpeed = true, okCourse = true;
    float speed =
        word(7).empty() ? 0.0f : static_cast<float>(pmTextToDouble(word(7), &okSpeed) * kMPHPerKnot * 1.6);
    const float direction = word(8).empty() ? 0.0f : static_cast<float>(pmTextToDouble(word(8), &okCourse));
    if (!ok) noteIssue("a coordinate of an RMC sentence is not a number; read as 0");
    if (!okSpeed || !okCourse) noteIssue("the speed or course of an RMC sentence is not a number; read as 0");

    if (GpsData::hasPosition(latitude, longitude)) {
        setLastValidLocation(latitude, longitude);
    } else {
        getLastValidLocation(latitude, longitude);
        if (latitude != 0.0f || longitude != 0.0f) speed = GpsData::kNoSpeed;
    }
    return {latitude, longitude, speed, direction};
}

void GpsParser::ParseGPRMC(int talker) {
    Epoch& epoch = m_run.epoch;
    const std::string_view time = word(1);
    const bool valid = word(2) == "A";
    const auto bit = static_cast<std::uint8_t>(1u << talker);
    const bool sameFix = epoch.open && (epoch.talkersSeen & bit) == 0 && time == epoch.timeText();
    if (sameFix) {
        epoch.talkersSeen |= bit;
        // Only the combined fix improves on the sample, and a void one only on a void one.
        const bool replaces =
            talker == kCombinedTalker && epoch.sampleTalker != kCombinedTalker && (valid || !epoch.sampleValid);
        if (!replaces) return;
        m_run.fLastValidLatitude = epoch.latitudeBefore;
        m_run.fLastValidLongitude = epoch.longitudeBefore;
        const RmcFix fix = readRmcFix(valid);
        GpsData* sample = m_poGpsList->GetLastData();
        sample->setFLatitude(fix.latitude);
        sample->setFLongitude(fix.longitude);
        sample->setFSpeed(fix.speed);
        sample->setFDirection(fix.direction);
        epoch.sampleTalker = static_cast<std::uint8_t>(talker);
        epoch.sampleValid = valid;
        if (m_pSampleTimes) noteTime(true);
        return;
    }
    epoch = {};
    epoch.open = true;
    epoch.talkersSeen = bit;
    epoch.sampleTalker = static_cast<std::uint8_t>(talker);
    epoch.sampleValid = valid;
    epoch.latitudeBefore = m_run.fLastValidLatitude;
    epoch.longitudeBefore = m_run.fLastValidLongitude;
    time.copy(epoch.time, time.size());
    epoch.timeLength = static_cast<std::uint8_t>(time.size());
    const RmcFix fix = readRmcFix(valid);
    m_poGpsList->InsertData(fix.latitude, fix.longitude, fix.speed, fix.direction, -1);
    if (m_pSampleTimes) noteTime(false);
}

// The current RMC sentence's time for the last sample: a new one, or the one it replaces.
void GpsParser::noteTime(bool replaceLast) {
    const auto count = static_cast<std::size_t>(m_poGpsList->GetDataCount());
    if (count == 0) return;
    m_pSampleTimes->resize(count - (replaceLast ? 0 : 1), -1);
    const std::int64_t millis = rmcTime(word(1), word(9));
    if (replaceLast)
        m_pSampleTimes->back() = millis;
    else
        m_pSampleTimes->push_back(millis);
}

void GpsParser::setLastValidLocation(float latitude, float longitude) {
    const bool known = m_run.fLastValidLatitude != 0.0f && m_run.fLastValidLongitude != 0.0f;
    m_run.fLastValidLatitude = latitude;
    m_run.fLastValidLongitude = longitude;
    if (known || !GpsData::hasPosition(latitude, longitude) || m_poGpsList == nullptr) return;
    // The first fix: seconds recorded before it show it.
    for (int i = 0; i < m_poGpsList->GetDataCount(); ++i) {
        GpsData* sample = m_poGpsList->GetGpsData(i);
        if (!sample->hasPosition()) {
            sample->setFLatitude(latitude);
            sample->setFLongitude(longitude);
            sample->setFSpeed(GpsData::kNoSpeed);
        }
    }
}

bool GpsParser::getLastValidLocation(float& latitude, float& longitude) const {
    if (m_run.fLastValidLatitude != 0.0f && m_run.fLastValidLongitude != 0.0f) {
        latitude = m_run.fLastValidLatitude;
        longitude = m_run.fLastValidLongitude;
        return true;
    }
    latitude = 0.0f;
    longitude = 0.0f;
    return false;
}

// The altitude of the combined fix outranks the other talkers' for the same fix.
void GpsParser::ParseGPGGA(int talker) {
    const std::string_view altitude = word(9);
    GpsData* last = m_poGpsList->GetLastData();
    if (altitude.empty() || last == nullptr) return;
    Epoch& epoch = m_run.epoch;
    if (epoch.altitudeFromGn && talker != kCombinedTalker) return;
    bool ok;
    last->setDAltitude(pmTextToDouble(altitude, &ok));
    if (talker == kCombinedTalker) epoch.altitudeFromGn = true;
    if (!ok) noteIssue("the altitude of a GGA sentence is not a number; read as 0");
}

bool GpsParser::wxtoi(std::string_view text, std::uint32_t& result) {
    result = 0;
    if (text.empty() || text.size() > 8) return false;
    std::uint32_t value = 0;
    for (char c : text) {
        c = pmToLowerAscii(c);
        unsigned digit;
        if (c >= '0' && c <= '9')
            digit = static_cast<unsigned>(c - '0');
        else if (c >= 'a' && c <= 'f')
            digit = static_cast<unsigned>(c - 'a' + 10);
        else
            return false;
        value = value << 4 | digit;
    }
    result = value;
    return true;
}

float GpsParser::counts(std::string_view text, const char* invalid) {
    std::uint32_t value = 0;
    if (!wxtoi(text, value)) {
        if (!text.empty()) noteIssue(invalid);
        return 0.0f;
    }
    return static_cast<float>(static_cast<std::int8_t>(static_cast<std::uint8_t>(value & 0xFF)));
}

float GpsParser::gValue(std::string_view text, const char* invalid) {
    if (text.empty()) return 0.0f;
    bool ok;
    const double value = pmTextToDouble(text, &ok);
    if (!ok) noteIssue(invalid);
    return static_cast<float>(value);
}

void GpsParser::storeGSensor(float x, float y, float z, bool rawCounts) {
    GpsList& list = *m_poGpsList;
    if (!list.IsGPSReady()) list.InsertData(0.0f, 0.0f, 0.0f, 0.0f, -1);
    GpsData* last = list.GetLastData();
    if (rawCounts)
        last->setSensorValue(static_cast<std::int16_t>(x), static_cast<std::int16_t>(y), static_cast<std::int16_t>(z));
    else
        last->setSensorValue(x, y, z);
    // "$GSENSOR" compares its extremes in counts, "$GSENSORD" in g.
    list.updateExtremes(x, y, z, list.GetDataCount() - 1, rawCounts ? GpsData::kGPerCount : 1.0);
}

void GpsParser::ParseGSENSOR() {
    const char* invalid = "a value of $GSENSOR is not 1 to 8 hexadecimal digits; read as 0";
    const float x = counts(word(1), invalid), y = counts(word(2), invalid), z = counts(word(3), invalid);
    storeGSensor(x, y, z, true);
}

void GpsParser::ParseGSENSORD() {
    const char* invalid = "a value of $GSENSORD is not a number; read as 0";
    const float x = gValue(word(1), invalid), y = gValue(word(2), invalid), z = gValue(word(3), invalid);
    storeGSensor(x, y, z, false);
}

float pmGetSpeedByMile(float kmh) { return kmh < 0.0f ? kmh : static_cast<float>(kmh * 0.62137); }

double pmMeter2Feet(double metres) { return metres * 3.28; }

double pmFixFloatValue(double value) { return value > 0.0 ? value + 0.0005 : value - 0.0005; }

std::size_t pmGetUnicharLength(const char16_t* text) {
    std::size_t length = 0;
    if (text == nullptr) return 0;
    while (text[length] != 0) ++length;
    return length;
}
