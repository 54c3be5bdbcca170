#include "outputs/KmlSave.h"

#include "outputs/ExportFile.h"

#include <unistd.h>

#include <charconv>

namespace {

// "%lf" without the locale: six decimals.
void appendFixed(std::string& out, double value) {
    char buffer[400];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, 6);
    out.append(buffer, result.ptr);
}

struct IconStyle {
    const char* opening;
    const char* path;
    const char* file;
    const char* hotSpot;
    const char* closing;
};

constexpr const char* kCircleHotSpot = "<hotSpot x=\"32\" y=\"1\" xunits=\"pixels\" yunits=\"pixels\"/>";
constexpr const char* kPinHotSpot = "<hotSpot x=\"20\" y=\"2\" xunits=\"pixels\" yunits=\"pixels\"/>";

constexpr IconStyle kIconStyles[] = {
    {"<Style id=\"sh_green-circle\"><IconStyle><scale>1.3</scale>", "/mapfiles/kml/paddle/",
     "grn-circle.png</href></Icon>", kCircleHotSpot, "</IconStyle></Style>\r\n"},
    {"<Style id=\"sh_red-circle\"><IconStyle><scale>1.3</scale>", "/mapfiles/kml/paddle/",
     "red-circle.png</href></Icon>", kCircleHotSpot, "</IconStyle></Style>\r\n"},
    {"<Style id=\"sh_ylw-pushpin\"><IconStyle><scale>1.3</scale>", "/mapfiles/kml/pushpin/",
     "ylw-pushpin.png</href></Icon>", kPinHotSpot, "</IconStyle></Style>\r\n"},
    {"<Style id=\"sh_blue-pushpin\"><IconStyle><scale>1.3</scale>", "/mapfiles/kml/pushpin/",
     "blue-pushpin.png</href></Icon>", kPinHotSpot, "</IconStyle></Style>\r\n"},
    {"<Style id=\"sh_green-pushpin\"><IconStyle><scale>1.3</scale>", "/mapfiles/kml/pushpin/",
     "grn-pushpin.png</href></Icon>", kPinHotSpot, "</IconStyle></Style>"},
    {"<Style id=\"sh_red-pushpin\"><IconStyle><scale>1.3</scale>", "/mapfiles/kml/pushpin/",
     "red-pushpin.png</href></Icon>", kPinHotSpot, "</IconStyle></Style>"},
};

}  // namespace

bool KmlSave::CreateFile(const std::string& path) {
    CloseFile();
    m_myFile = std::fopen(path.c_str(), "w");
    m_bFailed = false;
    return m_myFile != nullptr;
}

bool KmlSave::CreateFile(int fd) {
    CloseFile();
    const int copy = ::dup(fd);
    m_myFile = copy >= 0 ? ::fdopen(copy, "w") : nullptr;
    if (copy >= 0 && m_myFile == nullptr) ::close(copy);
    m_bFailed = false;
    return m_myFile != nullptr;
}

bool KmlSave::CloseFile() {
    if (m_myFile == nullptr) return false;
    const bool closed = std::fclose(m_myFile) == 0;
    m_myFile = nullptr;
    return closed && !m_bFailed;
}

void KmlSave::WriteToFile(std::string_view text) {
    if (m_myFile == nullptr || text.empty()) return;
    if (std::fwrite(text.data(), 1, text.size(), m_myFile) != text.size()) m_bFailed = true;
}

std::string KmlSave::StringAsCData(std::string_view text) {
    std::string out = "<![CDATA[";
    out += text;
    out += "]]>";
    return out;
}

void KmlSave::WriteHeader(std::string_view name, std::string_view description) {
    WriteToFile("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n");
    WriteToFile(std::string("<kml xmlns=\"") + kKmlNamespace + "\" xmlns:atom=\"" + kAtomNamespace + "\">\r\n");
    WriteToFile("<Document>\r\n");
    WriteToFile("<atom:author><atom:name>Cartena Manager on Mac</atom:name></atom:author>\r\n");
    WriteToFile("<name>" + StringAsCData(name) + "</name>\r\n" + "<description>" + StringAsCData(description) +
                "</description>\r\n");
    WriteStyles();
}

void KmlSave::WriteStyles() {
    std::string styles = "<Style id=\"track\"><LineStyle><color>7f0000ff</color><width>4</width></LineStyle></Style>\r\n";
    for (const IconStyle& style : kIconStyles) {
        styles += style.opening;
        styles += "<Icon><href>";
        styles += kIconHost;
        styles += style.path;
        styles += style.file;
        styles += style.hotSpot;
        styles += style.closing;
    }
    WriteToFile(styles);
}

void KmlSave::WritePlacemark(std::string_view name, std::string_view description, std::string_view style,
                             const KmlLocation& location) {
    std::string text = "<Placemark>\r\n  <name>" + StringAsCData(name) + "</name>\r\n  <description>" +
                       StringAsCData(description) + "</description>\r\n  <styleUrl>";
    text += style;
    text += "</styleUrl>\r\n  <Point>\r\n    <coordinates>";
    appendFixed(text, location.longitude);
    text += ',';
    appendFixed(text, location.latitude);
    text += "</coordinates>\r\n  </Point>\r\n</Placemark>\r\n";
    WriteToFile(text);
}

void KmlSave::WriteBeginTrack(std::string_view name, std::string_view description, const KmlLocation& location) {
    WritePlacemark("(Start)", description, "#sh_green-circle", location);
    WriteToFile("<Placemark>\r\n<name>" + StringAsCData(name) + "</name>\r\n<description>" +
                StringAsCData(description) + "</description>\r\n<styleUrl>#track</styleUrl>\r\n<MultiGeometry>\r\n");
}

void KmlSave::WriteOpenSegment() { WriteToFile("<LineString><coordinates>"); }

void KmlSave::WriteLocation(const KmlLocation& location) {
    std::string text;
    appendFixed(text, location.longitude);
    text += ',';
    appendFixed(text, location.latitude);
    text += ',';
    appendFixed(text, location.altitude);
    text += ' ';
    WriteToFile(text);
}

void KmlSave::WriteCloseSegment() { WriteToFile("</coordinates></LineString>"); }

void KmlSave::WriteEndTrack(std::string_view /*name*/, std::string_view description, const KmlLocation& location) {
    WriteToFile("</MultiGeometry>\r\n</Placemark>\r\n");
    WritePlacemark("(End)", description, "#sh_red-circle", location);
}

void KmlSave::WriteFooter() { WriteToFile("</Document>\r\n</kml>\r\n"); }

std::string pmKmlDescription(const std::tm& t) {
    char text[64];
    std::snprintf(text, sizeof text, "%04d/%02d/%02d %02d:%02d:%02d", t.tm_year + 1900, t.tm_mon + 1, t.tm_mday,
                  t.tm_hour, t.tm_min, t.tm_sec);
    return text;
}

KmlLocation pmKmlLocation(const GpsData& sample) {
    return {double(sample.fLongitude()), double(sample.fLatitude()), sample.dAltitude()};
}

namespace {

// Pieces 1 to 12 into a file KmlSave has open; false when a write or the close failed.
bool writeDocument(KmlSave& kml, std::string_view documentName, std::string_view description, const GpsList& list) {
    kml.WriteHeader(documentName, description);
    const auto& samples = list.gpslist();
    for (std::size_t i = 0; i < samples.size(); ++i) {
        if (i == 0) {
            kml.WriteBeginTrack(documentName, "", pmKmlLocation(samples[0]));
            kml.WriteOpenSegment();
        }
        kml.WriteLocation(pmKmlLocation(samples[i]));
    }
    kml.WriteCloseSegment();
    kml.WriteEndTrack("", "", pmKmlLocation(samples.back()));
    kml.WriteFooter();
    return kml.CloseFile();
}

}  // namespace

bool pmWriteKml(const std::string& filePath, std::string_view documentName, std::string_view description,
                const GpsList* list) {
    if (list == nullptr || list->GetDataCount() == 0) return false;
    KmlSave kml;
    return kml.CreateFile(filePath) && writeDocument(kml, documentName, description, *list);
}

ExportResult outputKML(const std::string& path, const GpsList* list, bool replace, const std::tm& localNow) {
    if (list == nullptr || list->GetDataCount() == 0) return {ExportStatus::NothingToWrite, 0};
    const std::size_t slash = path.rfind('/');
    const std::string name = path.substr(slash == std::string::npos ? 0 : slash + 1);
    const std::string description = pmKmlDescription(localNow);
    return pmExportThroughTemp(path, replace, [&](int fd) {
        KmlSave kml;
        return kml.CreateFile(fd) && writeDocument(kml, name, description, *list);
    });
}

ExportResult outputKML(const std::string& path, const GpsList* list, bool replace) {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    return outputKML(path, list, replace, local);
}
