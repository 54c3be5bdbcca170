#include "tools/SampleTelemetry.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <tuple>

namespace {

constexpr double kPi = 3.14159265358979323846;
// The factor from knots to km/h that the cameras and this program share (1.150779 mph a knot,
// 1.6 km a mile); the logs write knots so that it gives back the speed meant.
constexpr double kKmhPerKnot = 1.150779 * 1.6;

using D = SampleDrive;
using L = SampleLogPlace;
using S = SampleSensorLines;
using E = SampleLineEnds;
using Ch = SampleChunks;
using Fl = SampleChunkFlaw;
using T = SampleTalkers;

struct Route {
    std::vector<std::pair<double, double>> points;  // latitude, longitude; the last joins the first
    double altitude, altitudeSwing;
};

// Ludwigstraße north from Odeonsplatz, west along Theresienstraße, south down Barer Straße to
// Karolinenplatz and back east along Brienner Straße.
const Route kMunich{{{48.14254, 11.57762},
                     {48.14650, 11.57950},
                     {48.14920, 11.58020},
                     {48.14880, 11.57550},
                     {48.14845, 11.57130},
                     {48.14700, 11.57090},
                     {48.14560, 11.56960},
                     {48.14440, 11.57200},
                     {48.14330, 11.57480}},
                    519.0,
                    3.0};
// Avenida Atlântica along Copacabana beach from Leme to Posto 6, back along Avenida Nossa Senhora
// de Copacabana.
const Route kRio{{{-22.96330, -43.16960},
                  {-22.96900, -43.17620},
                  {-22.97500, -43.18300},
                  {-22.98200, -43.18900},
                  {-22.98600, -43.18950},
                  {-22.98450, -43.19250},
                  {-22.97800, -43.18850},
                  {-22.97100, -43.18380},
                  {-22.96500, -43.17600}},
                 4.0,
                 1.5};

struct Place {
    double latitude, longitude, heading, altitude;
};

// Metres east and north from one point to the next.
void offset(const std::pair<double, double>& a, const std::pair<double, double>& b, double& east, double& north) {
    east = (b.second - a.second) * 111320.0 * std::cos(a.first * kPi / 180.0);
    north = (b.first - a.first) * 110540.0;
}

Place placeAt(const Route& route, double distance) {
    std::vector<double> lengths;
    double total = 0;
    for (std::size_t i = 0; i < route.points.size(); ++i) {
        double east, north;
        offset(route.points[i], route.points[(i + 1) % route.points.size()], east, north);
        lengths.push_back(std::hypot(east, north));
        total += lengths.back();
    }
    double d = std::fmod(distance, total);
    if (d < 0) d += total;
    const double altitude = route.altitude + route.altitudeSwing * std::sin(distance / 350.0);
    for (std::size_t i = 0; i < lengths.size(); ++i) {
        if (d > lengths[i]) {
            d -= lengths[i];
            continue;
        }
        const auto& a = route.points[i];
        const auto& b = route.points[(i + 1) % route.points.size()];
        const double t = d / lengths[i];
        double east, north;
        offset(a, b, east, north);
        double heading = std::atan2(east, north) * 180.0 / kPi;
        if (heading < 0) heading += 360.0;
        return {a.first + (b.first - a.first) * t, a.second + (b.second - a.second) * t, heading, altitude};
    }
    return {route.points[0].first, route.points[0].second, 0.0, altitude};
}

// The car's speed (km/h) and distance (m) at a second of the day: rising and falling between
// about 14 and 50 km/h.
double speedAt(double tau) { return 32 + 12 * std::sin(2 * kPi * tau / 53) + 6 * std::sin(2 * kPi * tau / 17); }
double distanceAt(double tau) {
    return (32 * tau - 12 * 53 / (2 * kPi) * std::cos(2 * kPi * tau / 53) -
            6 * 17 / (2 * kPi) * std::cos(2 * kPi * tau / 17)) / 3.6;
}
double accelerationAt(double tau) {  // g, along the car
    return (12 * 2 * kPi / 53 * std::cos(2 * kPi * tau / 53) + 6 * 2 * kPi / 17 * std::cos(2 * kPi * tau / 17)) / 3.6 /
           9.81;
}

SampleSecond rawSecond(const SampleTelemetrySpec& spec, const SampleEntry& recording, int second) {
    const double tau = recording.timeOfDay + second;
    SampleSecond s;
    if (spec.drive == D::Parked) {
        s.latitude = 48.14710;
        s.longitude = 11.57400;
        s.altitude = 518.0;
        s.gz = (second % 3 - 1) * 0.016;
    } else {
        const Route& route = spec.drive == D::Munich ? kMunich : kRio;
        const Place p = placeAt(route, distanceAt(tau));
        s.latitude = p.latitude;
        s.longitude = p.longitude;
        s.direction = p.heading;
        s.altitude = p.altitude;
        s.speedKmh = speedAt(tau);
        s.gx = 0.04 * std::sin(tau / 2.3);
        s.gy = accelerationAt(tau);
        s.gz = 0.03 * std::sin(1.7 * tau);
    }
    if (second == spec.peakSecond) {  // hard braking
        s.gx = 0.31;
        s.gy = -0.82;
    }
    s.fix = !(second >= spec.noFixFrom && second < spec.noFixFrom + spec.noFixCount);
    return s;
}

int sensorCount(double g) { return std::clamp(int(std::lround(g / 0.016)), -128, 127); }
double round1(double v) { return std::round(v * 10) / 10; }
double round3(double v) { return std::round(v * 1000) / 1000; }
double round5(double v) { return std::round(v * 100000) / 100000; }
double round8(double v) { return std::round(v * 1e8) / 1e8; }
double knotsOf(double kmh) { return round3(kmh / kKmhPerKnot); }

// Degrees to whole ten-thousandths of a minute.
long long tenThousandthMinutes(double degrees) { return std::llround(std::fabs(degrees) * 60 * 10000); }

constexpr int at(int h, int m, int s) { return (h * 60 + m) * 60 + s; }

std::vector<SampleTelemetrySpec> makeSpecs() {
    std::vector<SampleTelemetrySpec> t;
    auto folderLog = [](const std::string& recording, const std::string& extension) {
        const std::string name = recording.substr(recording.rfind('/') + 1);
        return "DCIM/NMEA/" + name.substr(0, name.rfind('.')) + extension;
    };
    auto logged = [&](std::string recording, std::string extension) {
        SampleTelemetrySpec s;
        s.logName = folderLog(recording, extension);
        s.recording = std::move(recording);
        s.log = L::LogFolder;
        return s;
    };
    for (const char* name : {"FILE0001F.MP4", "FILE0002F.MP4", "FILE0003F.MP4", "FILE0004F.MP4", "FILE0005F.MP4"})
        t.push_back(logged(std::string("DCIM/NormalF/") + name, ".nmea"));
    for (const char* name : {"FILE0001R.MP4", "FILE0002R.MP4", "FILE0003R.MP4", "FILE0005R.MP4"})
        t.push_back(logged(std::string("DCIM/NormalR/") + name, ".NMEA"));
    for (SampleTelemetrySpec& s : t)
        if (s.recording.find("FILE0005") != std::string::npos) s.noFixFrom = 12, s.noFixCount = 3;
    for (SampleTelemetrySpec& s : t)
        if (s.recording == "DCIM/NormalF/FILE0002F.MP4") s.talkers = T::GpRmcGnGga;
    for (auto [recording, extension, peak] :
         {std::tuple{"DCIM/EventF/EMER0001F.MP4", ".nmea", 5}, {"DCIM/EventF/EVEN0001F.MP4", ".nmea", 7},
          {"DCIM/EventR/EMER0001R.MP4", ".NMEA", 5}, {"DCIM/EventR/EVEN0001R.MP4", ".NMEA", 7}}) {
        t.push_back(logged(recording, extension));
        t.back().peakSecond = peak;
    }
    t.push_back(logged("DCIM/Parking/PARK0001.MOV", ".nmea"));
    t.back().drive = D::Parked;
    t.push_back({.recording = "DCIM/Movie/FILE0101.AVI", .chunks = Ch::Both});
    t.push_back({.recording = "DCIM/Movie/EVEN0101.AVI", .chunks = Ch::Both, .peakSecond = 4});
    t.push_back({.recording = "DCIM/Movie/MOVI0001.AVI", .chunks = Ch::SensorOnly, .peakSecond = 6});
    t.push_back({.recording = "DCIM/Movie/MOVI0002.AVI", .chunks = Ch::PositionsOnly});
    t.push_back({.recording = "DCIM/Movie/EMERGENCY.MP4", .log = L::WholeName, .logName = "DCIM/Movie/EMERGENCY.MP4.txt",
                 .talkers = T::Gn, .sensor = S::Decimal, .peakSecond = 3});
    t.push_back({.recording = "DCIM/Movie/FILE0102.AVI", .chunks = Ch::Both, .chunkFlaw = Fl::LowerCase});
    t.push_back({.recording = "DCIM/BCam/BN0001.AVI", .drive = D::Rio, .chunks = Ch::Both, .noFixFrom = 3,
                 .noFixCount = 2});
    t.push_back(logged("DCIM/BCam/BE1234.AVI", ".nmea"));
    t.back().drive = D::Rio;
    t.back().sensor = S::Decimal;
    t.back().peakSecond = 5;
    t.push_back({.recording = "DCIM/BCam/BP0001.AVI", .drive = D::Parked, .chunks = Ch::IndexOnly});
    t.push_back(logged("DCIM/.Recovered/FILE0201.MP4", ".nmea"));
    t.back().noFixFrom = 4;
    t.back().noFixCount = 3;

    const std::string cardv = "CarDV/Movie/";
    auto beside = [&](const std::string& name, const std::string& extension) {
        SampleTelemetrySpec s;
        s.recording = cardv + name;
        s.log = L::Beside;
        s.logName = cardv + name.substr(0, name.rfind('.')) + extension;
        return s;
    };
    t.push_back(beside("FILE0301.MP4", ".log"));
    t.back().drive = D::Rio;
    t.back().lineEnds = E::CrLf;
    t.back().talkers = T::GpAndGn;
    t.push_back(beside("FILE0302.MOV", ".txt"));
    t.back().lineEnds = E::CrOnly;
    t.push_back(beside("FILE0303.MP4", ".nmea"));
    t.back().positions = false;
    t.push_back(beside("FILE0304.MOV", ".NMEA"));
    t.back().drive = D::Rio;
    t.back().sensor = S::None;
    t.back().lastLineFeed = false;
    t.back().noFixFrom = 0;
    t.back().noFixCount = 2;
    t.push_back({.recording = cardv + "FILE0305.AVI", .log = L::WholeName, .logName = cardv + "FILE0305.AVI.txt",
                 .sensor = S::Decimal, .chunks = Ch::Both});
    t.push_back(beside("FILE0306.AVI", ".log"));
    t.back().emptyLog = true;
    t.back().chunks = Ch::Both;
    for (auto [name, flaw, drive] : {std::tuple{"FILE0307.AVI", Fl::SizePastEnd, D::Rio},
                                     {"FILE0308.AVI", Fl::PartialRecords, D::Rio},
                                     {"FILE0309.AVI", Fl::MisalignedBehindIndex, D::Munich},
                                     {"FILE0310.AVI", Fl::UnknownBeforeIndex, D::Munich}})
        t.push_back({.recording = cardv + name, .drive = drive, .chunks = Ch::Both, .chunkFlaw = flaw});
    t.push_back(beside("FILE0312.MP4", ".log"));
    t.back().sensor = S::HexWithTail;
    t.push_back(beside("EVEN0301.MP4", ".log"));
    t.back().drive = D::Rio;
    t.back().peakSecond = 4;
    return t;
}

// The talkers of a fix's RMC and GGA sentences, in the order the receiver sends them.
struct FixTalkers {
    const char* rmc;
    const char* gga;
};
std::vector<FixTalkers> fixTalkers(SampleTalkers talkers) {
    switch (talkers) {
        case T::Gn: return {{"GN", "GN"}};
        case T::GpAndGn: return {{"GP", "GP"}, {"GN", "GN"}};
        case T::GpRmcGnGga: return {{"GP", "GN"}};
        case T::Gp: break;
    }
    return {{"GP", "GP"}};
}

std::string nmea(const std::string& body) {
    unsigned sum = 0;
    for (char c : body) sum ^= static_cast<unsigned char>(c);
    char tail[4];
    std::snprintf(tail, sizeof tail, "*%02X", sum);
    return "$" + body + tail;
}

std::string coordinate(double degrees, int degreeDigits, char positive, char negative) {
    const long long total = tenThousandthMinutes(degrees);
    char text[32];
    std::snprintf(text, sizeof text, "%0*lld%02lld.%04lld,%c", degreeDigits, total / 600000, total % 600000 / 10000,
                  total % 10000, degrees < 0 ? negative : positive);
    return text;
}

const SampleEntry* findEntry(const std::vector<SampleEntry>& table, const std::string& relativePath) {
    for (const SampleEntry& e : table)
        if (e.relativePath() == relativePath) return &e;
    return nullptr;
}

}  // namespace

const std::vector<SampleTelemetrySpec>& sampleTelemetrySpecs() {
    static const std::vector<SampleTelemetrySpec> specs = makeSpecs();
    return specs;
}

const SampleTelemetrySpec* sampleTelemetrySpecOf(const SampleEntry& recording) {
    for (const SampleTelemetrySpec& spec : sampleTelemetrySpecs())
        if (spec.recording == recording.relativePath()) return &spec;
    return nullptr;
}

SampleSecond sampleTelemetrySecond(const SampleTelemetrySpec& spec, const SampleEntry& recording, int second) {
    SampleSecond s = rawSecond(spec, recording, second);
    if (spec.log != L::None) {
        const double sign[2] = {1, -1};
        s.latitude = sign[s.latitude < 0] * double(tenThousandthMinutes(s.latitude)) / 600000.0;
        s.longitude = sign[s.longitude < 0] * double(tenThousandthMinutes(s.longitude)) / 600000.0;
        s.speedKmh = knotsOf(s.speedKmh) * kKmhPerKnot;
        s.direction = round1(s.direction);
        s.altitude = round1(s.altitude);
        for (double* g : {&s.gx, &s.gy, &s.gz}) {
            if (spec.sensor == S::Hex || spec.sensor == S::HexWithTail)
                *g = sensorCount(*g) * 0.016;
            else if (spec.sensor == S::Decimal)
                *g = round3(*g);
            else
                *g = 0;
        }
        if (spec.sensor == S::HexWithTail) s.gz = 0;  // the tail spoils the last field
    } else {
        s.latitude = round8(s.latitude);
        s.longitude = round8(s.longitude);
        s.speedKmh = std::round(s.speedKmh);
        s.gx = round5(s.gx);
        s.gy = round5(s.gy);
        s.gz = round5(s.gz);
    }
    return s;
}

void appendSampleTelemetryEntries(std::vector<SampleEntry>& table) {
    // A camera whose folder has no log folder beside it: logs lie beside the recordings.
    int time = at(11, 0, 0);
    for (const char* name : {"FILE0301.MP4", "FILE0302.MOV", "FILE0303.MP4", "FILE0304.MOV", "FILE0305.AVI",
                             "FILE0306.AVI", "FILE0307.AVI", "FILE0308.AVI", "FILE0309.AVI", "FILE0310.AVI",
                             "FILE0312.MP4", "EVEN0301.MP4"}) {
        const std::string n = name;
        const std::string ext = n.substr(n.size() - 3);
        const auto container = ext == "AVI" ? SampleContainer::Avi : ext == "MOV" ? SampleContainer::Mov : SampleContainer::Mp4;
        table.push_back({.folder = "CarDV/Movie", .name = n, .container = container, .day = 9, .timeOfDay = time,
                         .seconds = 10, .fps = 10, .label = "CAR DV", .event = n.rfind("EVEN", 0) == 0});
        time += 10;
    }
    table.push_back({.kind = SampleKind::TextFile, .folder = "CarDV/Movie", .name = "FILE0311.AVI", .day = 9,
                     .timeOfDay = time, .text = "Not a RIFF file, whatever its name says.\n"});
    for (const SampleTelemetrySpec& spec : sampleTelemetrySpecs()) {
        if (spec.log == L::None) continue;
        const SampleEntry* recording = findEntry(table, spec.recording);
        if (recording == nullptr) continue;
        const std::size_t slash = spec.logName.rfind('/');
        SampleEntry log{.kind = SampleKind::TextFile, .folder = spec.logName.substr(0, slash),
                        .name = spec.logName.substr(slash + 1), .day = recording->day,
                        .timeOfDay = recording->timeOfDay};
        log.makeText = &sampleTelemetryLogText;
        table.push_back(std::move(log));
    }
}

std::string sampleTelemetryLogText(const SampleEntry& log, const SampleCardDate& firstDay) {
    const SampleTelemetrySpec* spec = nullptr;
    for (const SampleTelemetrySpec& s : sampleTelemetrySpecs())
        if (s.logName == log.relativePath()) spec = &s;
    if (spec == nullptr) return {};
    const SampleEntry* recording = findEntry(sampleCardEntries(), spec->recording);
    if (recording == nullptr) return {};
    return sampleLogText(*spec, *recording, firstDay);
}

std::string sampleLogText(const SampleTelemetrySpec& spec, const SampleEntry& recording, const SampleCardDate& firstDay) {
    if (spec.emptyLog) return {};
    const char* end = spec.lineEnds == E::CrLf ? "\r\n" : spec.lineEnds == E::CrOnly ? "\r" : "\n";
    const std::time_t start = sampleEntryTime(recording, firstDay);
    std::string text;
    char body[256];
    for (int i = 0; i < recording.seconds; ++i) {
        const SampleSecond raw = rawSecond(spec, recording, i);
        const std::time_t when = start + i;
        std::tm utc{};
        gmtime_r(&when, &utc);
        char clock[40], date[40];
        std::snprintf(clock, sizeof clock, "%02d%02d%02d.00", utc.tm_hour, utc.tm_min, utc.tm_sec);
        std::snprintf(date, sizeof date, "%02d%02d%02d", utc.tm_mday, utc.tm_mon + 1, utc.tm_year % 100);
        if (spec.positions) {
            const bool combined = spec.talkers != T::Gp;
            for (const auto& [rmcTalker, ggaTalker] : fixTalkers(spec.talkers)) {
                if (raw.fix) {
                    std::snprintf(body, sizeof body, "%sRMC,%s,A,%s,%s,%.3f,%.1f,%s,,,A", rmcTalker, clock,
                                  coordinate(raw.latitude, 2, 'N', 'S').c_str(),
                                  coordinate(raw.longitude, 3, 'E', 'W').c_str(), knotsOf(raw.speedKmh),
                                  round1(raw.direction), date);
                    text += nmea(body) + end;
                    std::snprintf(body, sizeof body, "%sGGA,%s,%s,%s,1,%s,0.9,%.1f,M,47.0,M,,", ggaTalker, clock,
                                  coordinate(raw.latitude, 2, 'N', 'S').c_str(),
                                  coordinate(raw.longitude, 3, 'E', 'W').c_str(), combined ? "14" : "08",
                                  round1(raw.altitude));
                } else {
                    std::snprintf(body, sizeof body, "%sRMC,%s,V,,,,,,,%s,,,N", rmcTalker, clock, date);
                    text += nmea(body) + end;
                    std::snprintf(body, sizeof body, "%sGGA,%s,,,,,0,00,99.9,,,,,,", ggaTalker, clock);
                }
                text += nmea(body) + end;
            }
            if (raw.fix) {
                text += nmea(combined ? "GNGSA,A,3,04,05,09,12,17,24,25,,,,,,1.8,0.9,1.5"
                                      : "GPGSA,A,3,04,05,09,12,17,24,25,,,,,,2.5,1.3,2.1") + end;
                text += nmea("GPGSV,2,1,07,04,40,083,46,05,17,308,41,09,08,054,39,12,62,211,44") + end;
                text += nmea("GPGSV,2,2,07,17,33,142,43,24,18,236,40,25,74,008,47") + end;
                if (combined) text += nmea("GLGSV,1,1,03,65,35,040,38,72,58,295,42,88,12,160,30") + end;
            } else {
                text += nmea(combined ? "GNGSA,A,1,,,,,,,,,,,,,99.9,99.9,99.9" : "GPGSA,A,1,,,,,,,,,,,,,99.9,99.9,99.9") +
                        end;
            }
        }
        switch (spec.sensor) {
        case S::Hex:
        case S::HexWithTail:
            std::snprintf(body, sizeof body, "$GSENSOR,%02x,%02x,%02x", sensorCount(raw.gx) & 0xFF,
                          sensorCount(raw.gy) & 0xFF, sensorCount(raw.gz) & 0xFF);
            text += spec.sensor == S::Hex ? std::string(body) : nmea(body + 1);
            text += end;
            break;
        case S::Decimal:
            std::snprintf(body, sizeof body, "$GSENSORD,%.3f,%.3f,%.3f", round3(raw.gx), round3(raw.gy), round3(raw.gz));
            text += std::string(body) + end;
            break;
        case S::None:
            break;
        }
    }
    if (!spec.lastLineFeed && !text.empty() && text.back() == '\n') text.pop_back();
    return text;
}

namespace {

void put32le(std::string& out, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) out += char(v >> (8 * i) & 0xFF);
}
void put32be(std::string& out, std::uint32_t v) {
    for (int i = 3; i >= 0; --i) out += char(v >> (8 * i) & 0xFF);
}
void put16be(std::string& out, std::uint16_t v) {
    out += char(v >> 8);
    out += char(v & 0xFF);
}

// Whole degrees (toward zero) and the rest in 1e-8 degrees.
void putCoordinate(std::string& out, double degrees) {
    const long long total = std::llround(std::fabs(degrees) * 1e8);
    const auto whole = static_cast<std::int16_t>((degrees < 0 ? -1 : 1) * (total / 100000000));
    put16be(out, static_cast<std::uint16_t>(whole));
    put32be(out, std::uint32_t(total % 100000000));
}

void putAxis(std::string& out, double g) {
    const long long total = std::llround(std::fabs(g) * 1e5);
    out += char((g < 0 ? 0x80 : 0) | int(total / 100000 & 0x1F));
    put32be(out, std::uint32_t(total % 100000));
}

std::string chunk(const std::string& tag, const std::string& payload, std::uint32_t extraSize = 0) {
    std::string out = tag;
    put32le(out, std::uint32_t(payload.size()) + extraSize);
    return out + payload;
}

bool readAll(const std::string& path, std::string& bytes) {
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (!file) return false;
    char buffer[65536];
    std::size_t n;
    bytes.clear();
    while ((n = std::fread(buffer, 1, sizeof buffer, file)) > 0) bytes.append(buffer, n);
    return std::fclose(file) == 0;
}

}  // namespace

bool addSampleTelemetryChunks(const SampleEntry& recording, const std::string& path, std::string& error) {
    const SampleTelemetrySpec* spec = sampleTelemetrySpecOf(recording);
    if (spec == nullptr || recording.container != SampleContainer::Avi || spec->chunks == Ch::None ||
        spec->chunks == Ch::IndexOnly)
        return true;
    std::string bytes;
    if (!readAll(path, bytes) || bytes.size() < 12 || bytes.compare(0, 4, "RIFF") != 0) {
        error = "not an AVI file to add telemetry to";
        return false;
    }
    // The top-level chunks, as RIFF lays them out (odd sizes padded), up to the index.
    std::size_t index = 12;
    while (index + 8 <= bytes.size() && bytes.compare(index, 4, "idx1") != 0) {
        const std::uint32_t size = std::uint32_t(std::uint8_t(bytes[index + 4])) | std::uint32_t(std::uint8_t(bytes[index + 5])) << 8 |
                                   std::uint32_t(std::uint8_t(bytes[index + 6])) << 16 | std::uint32_t(std::uint8_t(bytes[index + 7])) << 24;
        index += 8 + size + (size & 1);
    }
    if (index + 8 > bytes.size()) {
        error = "the AVI file has no index";
        return false;
    }

    std::string positions, sensors;
    for (int i = 0; i < recording.seconds; ++i) {
        const SampleSecond s = rawSecond(*spec, recording, i);
        // The first bytes of a record carry the camera's clock; readers leave them alone.
        const std::string stamp{char(i / 3600), char(i / 60 % 60), char(i % 60), '\0', '\0'};
        positions += stamp;
        if (s.fix) {
            putCoordinate(positions, s.longitude);
            putCoordinate(positions, s.latitude);
        } else {
            positions += std::string(12, '\0');
        }
        positions += std::string(2, '\0');
        put16be(positions, static_cast<std::uint16_t>(std::lround(s.speedKmh)));
        positions += std::string(7, '\0');
        sensors += stamp;
        putAxis(sensors, s.gx);
        putAxis(sensors, s.gy);
        putAxis(sensors, s.gz);
    }
    const bool lower = spec->chunkFlaw == Fl::LowerCase;
    std::string tail;
    if (spec->chunkFlaw == Fl::MisalignedBehindIndex) tail += chunk("CAMI", "v1.0.3");  // six bytes: off the steps
    if (spec->chunks != Ch::SensorOnly) {
        if (spec->chunkFlaw == Fl::PartialRecords) positions += std::string(12, '\x7f');
        tail += chunk(lower ? "sllt" : "SLLT", positions);
    }
    if (spec->chunks != Ch::PositionsOnly) {
        if (spec->chunkFlaw == Fl::PartialRecords) sensors += std::string(7, '\x7f');
        tail += chunk(lower ? "sglt" : "SGLT", sensors, spec->chunkFlaw == Fl::SizePastEnd ? 1000 : 0);
    }
    if (spec->chunkFlaw == Fl::UnknownBeforeIndex) bytes.insert(index, chunk("CAMI", "v1.0.3.1"));
    bytes += tail;
    const std::uint32_t riff = std::uint32_t(bytes.size() - 8);
    bytes.replace(4, 4, std::string{char(riff), char(riff >> 8), char(riff >> 16), char(riff >> 24)});

    const int fd = ::open(path.c_str(), O_WRONLY | O_TRUNC | O_CLOEXEC);
    const bool written = fd >= 0 && ::write(fd, bytes.data(), bytes.size()) == ssize_t(bytes.size());
    if (fd >= 0) ::close(fd);
    if (!written) error = std::string("writing the telemetry chunks: ") + std::strerror(errno);
    return written;
}
