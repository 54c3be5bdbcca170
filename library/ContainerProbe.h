#pragma once
#include <string>

class FileReader;

// Cheap checks that a recording's container holds video the player can show, made from a few
// bytes at fixed places before the file enters the library. Neither decodes media nor reads the
// media data; both answer false for anything they cannot use.

// AVI: the first stream's handler is H.264 ("H264"/"h264") or Motion-JPEG ("MJPG" in any case).
bool pmIsAviCodecReady(const std::string& path);

// MP4/MOV: an ISO base media file whose first track is H.264 (avc1) and whose movie is not too
// short; a too-short movie writes one line to the diagnostic log.
bool pmIsMovCodecReady(const std::string& path);

// The same on a file the caller has opened (the scan reads the date from the same open file);
// the path is only for the log line.
bool pmIsAviCodecReady(FileReader& file);
bool pmIsMovCodecReady(FileReader& file, const std::string& path);
