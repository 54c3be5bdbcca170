#include "tools/SampleCardTable.h"

#include "tools/SampleTelemetry.h"

#include <algorithm>
#include <utility>

// Rows name only what differs from the defaults of SampleEntry; the rest is meant to stay default.
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"

namespace {

constexpr int at(int h, int m, int s) { return (h * 60 + m) * 60 + s; }

using K = SampleKind;
using C = SampleContainer;
using V = SampleCodec;
using Cam = SampleCamera;
using F = SampleFlaw;

// A dual-camera recording: the front camera films wider and faster than the rear one.
SampleEntry front(std::string folder, std::string name, int day, int time, int seconds) {
    return {.folder = std::move(folder), .name = std::move(name), .day = day, .timeOfDay = time, .seconds = seconds,
            .fps = 20, .width = 480, .height = 270, .camera = Cam::Front, .label = "FRONT CAM"};
}
SampleEntry rear(std::string folder, std::string name, int day, int time, int seconds) {
    return {.folder = std::move(folder), .name = std::move(name), .day = day, .timeOfDay = time, .seconds = seconds,
            .fps = 15, .width = 320, .height = 180, .camera = Cam::Rear, .label = "REAR CAM"};
}
SampleEntry protectedEvent(SampleEntry e) {
    e.event = true;
    e.writeProtected = true;
    return e;
}
SampleEntry moovFirst(SampleEntry e) {
    e.moovFirst = true;
    return e;
}

std::vector<SampleEntry> makeTable() {
    std::vector<SampleEntry> t;
    // Loop recording of a dual camera; pairs start together (one pair a second apart).
    t.push_back(front("DCIM/NormalF", "FILE0001F.MP4", 0, at(8, 0, 0), 20));
    t.push_back(front("DCIM/NormalF", "FILE0002F.MP4", 0, at(8, 0, 20), 20));
    t.push_back(moovFirst(front("DCIM/NormalF", "FILE0003F.MP4", 1, at(17, 45, 10), 15)));
    t.push_back(front("DCIM/NormalF", "FILE0004F.MP4", 2, at(12, 0, 0), 20));  // rear camera unplugged
    t.push_back(front("DCIM/NormalF", "FILE0005F.MP4", 3, at(7, 59, 50), 30));
    t.push_back(rear("DCIM/NormalR", "FILE0001R.MP4", 0, at(8, 0, 0), 20));
    t.push_back(rear("DCIM/NormalR", "FILE0002R.MP4", 0, at(8, 0, 20), 20));
    t.push_back(moovFirst(rear("DCIM/NormalR", "FILE0003R.MP4", 1, at(17, 45, 10), 15)));
    t.push_back(rear("DCIM/NormalR", "FILE0005R.MP4", 3, at(7, 59, 51), 30));
    // Events of the dual camera, write-protected by the camera.
    t.push_back(protectedEvent(front("DCIM/EventF", "EMER0001F.MP4", 0, at(8, 0, 40), 10)));
    t.push_back(protectedEvent(front("DCIM/EventF", "EVEN0001F.MP4", 17, at(18, 20, 0), 15)));
    t.push_back(protectedEvent(rear("DCIM/EventR", "EMER0001R.MP4", 0, at(8, 0, 40), 10)));
    t.push_back(protectedEvent(rear("DCIM/EventR", "EVEN0001R.MP4", 17, at(18, 20, 0), 15)));

    // Parking surveillance of a single camera, in QuickTime files.
    t.push_back({.folder = "DCIM/Parking", .name = "PARK0001.MOV", .container = C::Mov, .day = 1,
                 .timeOfDay = at(23, 10, 0), .seconds = 20, .fps = 10, .label = "PARK CAM", .parked = true});
    t.push_back({.folder = "DCIM/Parking", .name = "PARK0002.MOV", .container = C::Mov, .day = 40,
                 .timeOfDay = at(3, 0, 0), .seconds = 20, .fps = 10, .label = "PARK CAM", .moovFirst = true,
                 .parked = true});

    // A single camera writing AVI: H.264 and Motion-JPEG.
    t.push_back({.folder = "DCIM/Movie", .name = "FILE0101.AVI", .container = C::Avi, .day = 17,
                 .timeOfDay = at(10, 0, 0), .seconds = 20, .fps = 30, .label = "DASH CAM"});
    t.push_back({.folder = "DCIM/Movie", .name = "EVEN0101.AVI", .container = C::Avi, .codec = V::Mjpeg, .day = 17,
                 .timeOfDay = at(10, 5, 0), .seconds = 10, .fps = 10, .label = "DASH CAM", .event = true,
                 .writeProtected = true});
    // Names no rule knows: write protection alone makes the first an event.
    t.push_back({.folder = "DCIM/Movie", .name = "MOVI0001.AVI", .container = C::Avi, .day = 40,
                 .timeOfDay = at(9, 30, 0), .seconds = 12, .fps = 20, .label = "DASH CAM", .event = true,
                 .writeProtected = true});
    t.push_back({.folder = "DCIM/Movie", .name = "MOVI0002.AVI", .container = C::Avi, .codec = V::Mjpeg, .day = 40,
                 .timeOfDay = at(9, 31, 0), .seconds = 10, .fps = 10, .label = "DASH CAM"});
    t.push_back({.folder = "DCIM/Movie", .name = "EMERGENCY.MP4", .day = 40, .timeOfDay = at(9, 32, 0),
                 .seconds = 10, .fps = 15, .label = "DASH CAM", .event = true});
    // Playable elsewhere but not here: MPEG-4 part 2 video in an AVI.
    t.push_back({.folder = "DCIM/Movie", .name = "FILE0102.AVI", .container = C::Avi, .codec = V::Mpeg4, .day = 40,
                 .timeOfDay = at(9, 40, 0), .seconds = 10, .fps = 15, .label = "OTHER CAM"});
    // Damaged recordings.
    t.push_back({.folder = "DCIM/Movie", .name = "FILE0150.MP4", .day = 40, .timeOfDay = at(10, 0, 0), .seconds = 1,
                 .fps = 15, .label = "DASH CAM", .flaw = F::TooShort});
    t.push_back({.folder = "DCIM/Movie", .name = "FILE0151.MP4", .day = 40, .timeOfDay = at(10, 1, 0), .seconds = 1,
                 .fps = 1, .width = 128, .height = 72, .label = "DASH CAM", .flaw = F::TooSmall});
    t.push_back({.folder = "DCIM/Movie", .name = "FILE0152.MP4", .day = 40, .timeOfDay = at(10, 2, 0),
                 .seconds = 20, .fps = 15, .label = "DASH CAM", .flaw = F::NoMoov});

    // A camera of the B family.
    t.push_back({.folder = "DCIM/BCam", .name = "BN0001.AVI", .container = C::Avi, .day = -30,
                 .timeOfDay = at(14, 0, 0), .seconds = 20, .fps = 30, .label = "B CAM"});
    t.push_back({.folder = "DCIM/BCam", .name = "BE1234.AVI", .container = C::Avi, .codec = V::Mjpeg, .day = -30,
                 .timeOfDay = at(14, 0, 20), .seconds = 10, .fps = 10, .label = "B CAM", .event = true});
    t.push_back({.folder = "DCIM/BCam", .name = "BP0001.AVI", .container = C::Avi, .day = -30,
                 .timeOfDay = at(22, 0, 0), .seconds = 15, .fps = 10, .label = "B CAM", .parked = true});

    // A recording in a hidden folder is still a recording.
    t.push_back({.folder = "DCIM/.Recovered", .name = "FILE0201.MP4", .day = 3, .timeOfDay = at(20, 0, 0),
                 .seconds = 10, .fps = 15, .label = "DASH CAM"});

    // Things that are not recordings.
    t.push_back({.kind = K::TextFile, .name = "CARDINFO.TXT", .text = "Sample dash-camera card\n"
                                                                      "Every frame shows its camera, date, time and "
                                                                      "frame number.\n"});
    t.push_back({.kind = K::Folder, .folder = "DCIM", .name = "Photo"});
    t.push_back({.kind = K::FolderLink, .folder = "DCIM", .name = "Loop", .text = ".."});
    appendSampleTelemetryEntries(t);
    return t;
}

}  // namespace

int SampleEntry::frameCount() const {
    if (flaw == SampleFlaw::TooShort) return 2;
    return seconds * fps;
}

bool SampleEntry::expectedInLibrary() const {
    return kind == SampleKind::Recording && flaw == SampleFlaw::None && codec != SampleCodec::Mpeg4;
}

const std::vector<SampleEntry>& sampleCardEntries() {
    static const std::vector<SampleEntry> table = makeTable();
    return table;
}

std::time_t sampleEntryTime(const SampleEntry& entry, const SampleCardDate& firstDay) {
    std::tm tm{};
    tm.tm_year = firstDay.year - 1900;
    tm.tm_mon = firstDay.month - 1;
    tm.tm_mday = firstDay.day + entry.day;
    tm.tm_hour = entry.timeOfDay / 3600;
    tm.tm_min = entry.timeOfDay / 60 % 60;
    tm.tm_sec = entry.timeOfDay % 60;
    tm.tm_isdst = -1;
    return std::mktime(&tm);
}

FrameStamp sampleFrameStamp(const SampleEntry& entry, const SampleCardDate& firstDay, int frame) {
    const std::time_t t = sampleEntryTime(entry, firstDay) + frame / std::max(1, entry.fps);
    std::tm tm{};
    localtime_r(&t, &tm);
    FrameStamp stamp;
    stamp.camera = entry.label;
    stamp.year = tm.tm_year + 1900;
    stamp.month = tm.tm_mon + 1;
    stamp.day = tm.tm_mday;
    stamp.hour = tm.tm_hour;
    stamp.minute = tm.tm_min;
    stamp.second = tm.tm_sec;
    stamp.frame = frame;
    return stamp;
}

const SampleEntry* samplePartner(const SampleEntry& entry, const std::vector<SampleEntry>& entries) {
    if (entry.camera == SampleCamera::Single || entry.folder.empty() || entry.name.size() < 5) return nullptr;
    const char letter = entry.camera == SampleCamera::Front ? 'R' : 'F';
    std::string folder = entry.folder;
    folder.back() = letter;
    std::string name = entry.name;
    name[name.size() - 5] = letter;
    for (const SampleEntry& other : entries)
        if (other.folder == folder && other.name == name) return &other;
    return nullptr;
}
