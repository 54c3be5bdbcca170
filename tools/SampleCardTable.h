#pragma once
#include "tools/FrameStamp.h"

#include <cstdint>
#include <ctime>
#include <string>
#include <vector>

// The description of the sample memory card: one row per file, folder or link, in the order they
// are made. Tests compute what a scan of the card must find from this table.

enum class SampleKind { Recording, TextFile, Folder, FolderLink };
enum class SampleContainer { Mp4, Mov, Avi };
enum class SampleCodec { H264, Mjpeg, Mpeg4 };
enum class SampleCamera { Single, Front, Rear };

// What is wrong with a recording on purpose.
enum class SampleFlaw {
    None,
    TooShort,  // two frames: well over 2048 bytes, but a movie of a fraction of a second
    TooSmall,  // a whole, playable MP4 padded to exactly 2048 bytes with a trailing free box
    NoMoov,    // cut short in the middle of its media data, as when the camera lost power
};

struct SampleCardDate;

struct SampleEntry {
    SampleKind kind = SampleKind::Recording;
    std::string folder;  // relative to the card, '/' separated; empty for the card itself
    std::string name;
    SampleContainer container = SampleContainer::Mp4;
    SampleCodec codec = SampleCodec::H264;
    int day = 0;           // days after the card's first day (may be negative)
    int timeOfDay = 0;     // seconds after local midnight: the start shown on screen and the file's date
    int seconds = 10;      // length
    int fps = 15;
    int width = 320;
    int height = 180;
    SampleCamera camera = SampleCamera::Single;
    std::string label;     // camera name shown in the frames
    bool event = false;    // the camera meant it as an event (protected or emergency) recording
    bool writeProtected = false;  // mode 0444 instead of 0644
    bool moovFirst = false;       // MP4/MOV: movie box before the media data
    bool parked = false;          // the scene stands still
    SampleFlaw flaw = SampleFlaw::None;
    std::string text;             // TextFile: its content; FolderLink: the link's target
    // TextFile: makes the content for the card's first day instead of `text`.
    std::string (*makeText)(const SampleEntry& entry, const SampleCardDate& firstDay) = nullptr;

    // Path relative to the card.
    std::string relativePath() const { return folder.empty() ? name : folder + "/" + name; }
    // Frames the recording holds as made (before any cut).
    int frameCount() const;
    // Whether a scan must list it: a complete recording whose container and codec are playable.
    bool expectedInLibrary() const;
};

// The card's first day in the local calendar, and the seed of the scenery. The same options (and
// the same time zone) give the same card, byte for byte.
struct SampleCardDate {
    int year = 2024;
    int month = 2;
    int day = 27;
};

// Every entry of the sample card.
const std::vector<SampleEntry>& sampleCardEntries();

// The recording's start as a point in time (local wall-clock time of its day and time of day); it is
// also the file's modification time.
std::time_t sampleEntryTime(const SampleEntry& entry, const SampleCardDate& firstDay);

// What frame `frame` of the recording shows.
FrameStamp sampleFrameStamp(const SampleEntry& entry, const SampleCardDate& firstDay, int frame);

// The entry of the other camera of a front or rear recording (same number, folder and letter
// swapped), or null.
const SampleEntry* samplePartner(const SampleEntry& entry, const std::vector<SampleEntry>& entries);
