#pragma once
#include "telemetry/GpsList.h"

#include <cstdio>
#include <ctime>
#include <string>
#include <string_view>

// A KML 2.0 document written piece by piece: a line through every sample with a green start and a
// red end marker. A location is longitude, latitude, altitude.
struct KmlLocation {
    double longitude = 0.0;
    double latitude = 0.0;
    double altitude = 0.0;
};

class KmlSave {
public:
    static constexpr const char* kKmlNamespace = "http://earth.google.com/kml/2.0";
    static constexpr const char* kAtomNamespace = "http://www.w3.org/2005/Atom";
    static constexpr const char* kIconHost = "http://maps.google.com";

    KmlSave() = default;
    ~KmlSave() { CloseFile(); }
    KmlSave(const KmlSave&) = delete;
    KmlSave& operator=(const KmlSave&) = delete;

    // Opens the file for writing, replacing it; false when it cannot be created. Nothing is
    // written while no file is open.
    bool CreateFile(const std::string& path);
    // The same on a duplicate of an open descriptor (a pending export file); the caller keeps its own.
    bool CreateFile(int fd);
    void WriteHeader(std::string_view name, std::string_view description);
    void WriteStyles();
    void WriteBeginTrack(std::string_view name, std::string_view description, const KmlLocation& location);
    void WriteOpenSegment();
    void WriteLocation(const KmlLocation& location);
    void WriteCloseSegment();
    void WriteEndTrack(std::string_view name, std::string_view description, const KmlLocation& location);
    void WriteFooter();
    // False when a write or the close failed.
    bool CloseFile();

    void WritePlacemark(std::string_view name, std::string_view description, std::string_view style,
                        const KmlLocation& location);
    static std::string StringAsCData(std::string_view text);
    void WriteToFile(std::string_view text);

private:
    std::FILE* m_myFile = nullptr;
    bool m_bFailed = false;
};

// The description of an exported document: the local date and time of the export.
std::string pmKmlDescription(const std::tm& localTime);

// Writes the track to `filePath` as the document `documentName`; false when the track is absent or
// empty (nothing is written) or the file cannot be written.
bool pmWriteKml(const std::string& filePath, std::string_view documentName, std::string_view description,
                const GpsList* list);

// A location from a sample: its longitude, latitude and altitude as stored.
KmlLocation pmKmlLocation(const GpsData& sample);

// The export of a track to `path`: the document is named after that file and described by the
// local time given; written through a temporary file, so no half-written document is ever left.
struct ExportResult;
ExportResult outputKML(const std::string& path, const GpsList* list, bool replace, const std::tm& localNow);
// The same at the local time of now.
ExportResult outputKML(const std::string& path, const GpsList* list, bool replace = true);
