#pragma once
#include "tools/SampleCardTable.h"

#include <string>

// Recordings the evidence tests read (never write), made once per test run by the test
// "evidence_media_make" in the build tree, else once per test program that finds none there:
// - a front/rear pair of an ultra-wide front camera (1280 x 544, 10 fps, with a text log beside it)
//   and a 640 x 360 rear one at 15 fps, so that the rear's frames fall between the front's and
//   both frame stamps stay clear of the rear inset;
// - a recording with PCM sound in MOV (transcoded to AAC in a clip) and one with AAC in MP4
//   (copied), made by the ffmpeg program.
const std::string& evidenceTestMedia();
bool makeEvidenceTestMedia(const std::string& folder, std::string& error);

const SampleEntry& evidenceFrontEntry();
const SampleEntry& evidenceRearEntry();
inline constexpr const char* kEvidencePcmRecording = "Sound/FILE0001.MOV";
inline constexpr const char* kEvidenceAacRecording = "Sound/FILE0002.MP4";
