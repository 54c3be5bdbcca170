#include "telemetry/GpsParser.h"

#include "Utility/DiagnosticLog.h"
#include "Utility/FileReader.h"
#include "Utility/AsciiText.h"
#include "telemetry/NumberText.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstring>

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

void GpsParser::reset(GpsList* list) {
    m_poGpsList = list;
    setLastValidLocation(0.0f, 0.0f);
    m_bStartOfLine = false;
    m_nGpsDataCount = 0;
    m_nLine = 1;
    m_bLineHasText = false;
    m_bTruncated = false;
    m_firstIssue = {};
    m_nIssueCount = 0;
    m_nLastIssueLine = 0;
    m_nErrorCode = 0;
    m_szError.clear();
}

void GpsParser::finish() {
    if (m_bStartOfLine) {
        m_nSentenceLine = m_nLine;
        noteIssue("the last line has no line feed and was not read");
    }
}

bool GpsParser::ParseFile(const std::string& path, GpsList* list) {
    reset(list);
    FileReader file(path);
    if (!file.isOpen()) {
        struct stat st {};
        m_nErrorCode = errno;
        if (::stat(path.c_str(), &st) == 0 && !S_ISREG(st.st_mode)) {
            m_nErrorCode = S_ISDIR(st.st_mode) ? EISDIR : EINVAL;
            m_szError = "it is not a regular file";
        } else {
            m_szError = std::strerror(m_nErrorCode);
        }
        pmOutputDebugMsg("GpsParser::ParseFile() - open file failed !");
        pmOutputDebugMsgF("GpsParser::ParseFile() - Error Code = %d", m_nErrorCode);
        return false;
    }
    pmOutputDebugMsg("GpsParser::ParseFile() - open file ok !");
    pmOutputDebugMsgF("GpsParser::ParseFile() - GPS file size = %ld", static_cast<long>(file.size()));
    if (file.size() == 0) {
        m_szError = "the log is empty";
        return false;
    }
    // Read in blocks rather than whole: the result is the same byte stream.
    unsigned char block[kReadBlock];
    std::uint64_t offset = 0;
    while (offset < file.size()) {
        const long long got = file.readSomeAt(offset, block, sizeof block);
        if (got < 0) {
            m_nErrorCode = errno;
            m_szError = std::strerror(m_nErrorCode);
            return false;
        }
        if (got == 0) break;
        for (long long i = 0; i < got; ++i) ProcessChar(block[i]);
        offset += static_cast<std::uint64_t>(got);
    }
    finish();
    return true;
}

void GpsParser::ParseBuffer(const char* data, std::size_t length, GpsList* list) {
    reset(list);
    for (std::size_t i = 0; i < length; ++i) ProcessChar(static_cast<unsigned char>(data[i]));
    finish();
}

void GpsParser::noteIssue(const char* message) {
    if (m_nLastIssueLine == m_nSentenceLine && m_nIssueCount > 0) return;  // one per line
    m_nLastIssueLine = m_nSentenceLine;
    if (m_nIssueCount++ == 0) m_firstIssue = {m_nSentenceLine, message};
}

void GpsParser::ProcessChar(unsigned char byte) {
    if (m_poGpsList == nullptr) return;
    const char16_t c = byte;
    switch (c) {
        case u'\n':
            ++m_nLine;
            m_bLineHasText = false;
            if (m_bStartOfLine) {
                m_bStartOfLine = false;
                m_szGpsData[m_nGpsDataCount] = 0;
                if (m_bTruncated) noteIssue("the line is longer than 200 characters; the rest was dropped");
                ParseSentence();
            }
            return;
        case u'\r':
            m_bLineHasText = true;
            return;
        case u'$':
            m_bLineHasText = true;
            m_bStartOfLine = true;
            m_bTruncated = false;
            m_nSentenceLine = m_nLine;
            m_szGpsData[0] = c;
            m_nGpsDataCount = 1;
            return;
        default:
            m_bLineHasText = true;
            if (!m_bStartOfLine) return;
            if (m_nGpsDataCount < kMaxSentence)
                m_szGpsData[m_nGpsDataCount++] = c;
            else
                m_bTruncated = true;
            return;
    }
}

std::string_view GpsParser::word(int index) const {
    if (index < 0 || index >= kWordSlots) return {};
    return {m_Words[index], m_nWordLength[index]};
}

bool GpsParser::ParseGpsWords() {
    std::memset(m_nWordLength, 0, sizeof m_nWordLength);
    m_nWordCount = 0;
    int length = 0;
    for (int i = 0; i <= m_nGpsDataCount; ++i) {
        const char16_t c = i < m_nGpsDataCount ? m_szGpsData[i] : u'\0';
        if (c == u',' || c == u'\0') {
            m_Words[m_nWordCount][length] = 0;
            m_nWordLength[m_nWordCount] = static_cast<std::uint8_t>(length);
            ++m_nWordCount;
            length = 0;
            if (m_nWordCount >= kWordSlots) {
                noteIssue("the sentence has more than 23 fields and was skipped");
                return false;
            }
            continue;
        }
        if (length >= kMaxWordLength) {
            noteIssue("a field is longer than 20 characters; the sentence was skipped");
            return false;
        }
        m_Words[m_nWordCount][length++] = static_cast<char>(c);
    }
    return true;
}

bool GpsParser::ParseSentence() {
    if (!ParseGpsWords()) return false;
    const std::string_view kind = word(0);
    if (kind == "$GPRMC") {
        ParseGPRMC();
        m_poGpsList->setBGps(true);
    } else if (kind == "$GSENSOR") {
        ParseGSENSOR();
        m_poGpsList->setBSenser(true);
    } else if (kind == "$GPGSV" || kind == "$GPGSA") {
    } else if (kind == "$GPGGA") {
        ParseGPGGA();
    } else if (kind == "$GSENSORD") {
        ParseGSENSORD();
        m_poGpsList->setBSenser(true);
    } else {
        return false;
    }
    return true;
}

void GpsParser::ParseGPRMC() {
    const bool valid = word(2) == "A";
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
    float speed = word(7).empty() ? 0.0f
                                  : static_cast<float>(pmTextToDouble(word(7), &okSpeed) * m_MPHPerKnot * 1.6);
    const float direction = word(8).empty() ? 0.0f : static_cast<float>(pmTextToDouble(word(8), &okCourse));
    if (!ok) noteIssue("a coordinate of $GPRMC is not a number; read as 0");
    if (!okSpeed || !okCourse) noteIssue("the speed or course of $GPRMC is not a number; read as 0");

    if (latitude != 0.0f && longitude != 0.0f) {
        setLastValidLocation(latitude, longitude);
    } else {
        getLastValidLocation(latitude, longitude);
        if (latitude != 0.0f || longitude != 0.0f) speed = GpsData::kNoSpeed;
    }
    m_poGpsList->InsertData(latitude, longitude, speed, direction, -1);
    if (m_pSampleTimes) noteTime(rmcTime(word(1), word(9)));
}

void GpsParser::noteTime(std::int64_t millis) {
    const auto count = static_cast<std::size_t>(m_poGpsList->GetDataCount());
    if (count == 0) return;
    m_pSampleTimes->resize(count - 1, -1);
    m_pSampleTimes->push_back(millis);
}

void GpsParser::setLastValidLocation(float latitude, float longitude) {
    const bool known = m_fLastValidLatitude != 0.0f && m_fLastValidLongitude != 0.0f;
    m_fLastValidLatitude = latitude;
    m_fLastValidLongitude = longitude;
    if (known || latitude == 0.0f || longitude == 0.0f || m_poGpsList == nullptr) return;
    // The first fix: seconds recorded before it show it.
    for (int i = 0; i < m_poGpsList->GetDataCount(); ++i) {
        GpsData* sample = m_poGpsList->GetGpsData(i);
        if (sample->fLatitude() == 0.0f || sample->fLongitude() == 0.0f) {
            sample->setFLatitude(latitude);
            sample->setFLongitude(longitude);
            sample->setFSpeed(GpsData::kNoSpeed);
        }
    }
}

bool GpsParser::getLastValidLocation(float& latitude, float& longitude) const {
    if (m_fLastValidLatitude != 0.0f && m_fLastValidLongitude != 0.0f) {
        latitude = m_fLastValidLatitude;
        longitude = m_fLastValidLongitude;
        return true;
    }
    latitude = 0.0f;
    longitude = 0.0f;
    return false;
}

void GpsParser::ParseGPGGA() {
    const std::string_view altitude = word(9);
    GpsData* last = m_poGpsList->GetLastData();
    if (altitude.empty() || last == nullptr) return;
    bool ok;
    last->setDAltitude(pmTextToDouble(altitude, &ok));
    if (!ok) noteIssue("the altitude of $GPGGA is not a number; read as 0");
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
