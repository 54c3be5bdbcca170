#pragma once
#include <string>

// Addresses that are configuration rather than user settings, from "services.json" beside the
// settings file. Every value has a default; a file that is missing gives the defaults.

struct MapServices {
    // The page the map view loads; it provides the map page's script functions.
    std::string page = "qrc:///DVR/map2.html";
    // Tile server: {z}, {x} and {y} stand for the zoom level and the tile's column and row.
    std::string tiles = "https://tile.openstreetmap.org/{z}/{x}/{y}.png";
    // Shown in the map's corner, as the tile server's usage policy asks (may hold a link).
    std::string tileAttribution =
        "&copy; <a href=\"https://www.openstreetmap.org/copyright\">OpenStreetMap</a> contributors";
    // The User-Agent of the map's requests; empty: "CartenaManager/<version>".
    std::string userAgent;
};

struct ServicesConfig {
    MapServices map;
    // The web page whose answer tells that the internet can be reached.
    std::string probe = "http://www.google.com/";
};

struct ServicesConfigLoad {
    ServicesConfig config;
    // One line for the user when the file could not be used whole; empty otherwise.
    std::string problem;
};

// The file's place: <config home>/cartena-manager/services.json.
std::string pmServicesConfigPath();
// Reads the file: a file that is not a JSON object gives every default; a value of the wrong
// form gives that value's default. Either is named in `problem`.
ServicesConfigLoad pmLoadServicesConfig(const std::string& path);
// The map's User-Agent: the configured one, else "CartenaManager/<version>".
std::string pmMapUserAgent(const MapServices& map);
