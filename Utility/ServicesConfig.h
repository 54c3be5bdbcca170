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

// The video services' addresses ("scheme://host[:port]", no path) and the program's registration
// with them. The registration has no default: a service without it is not configured.
struct FacebookServices {
    // The sign-in dialog; its host also names the login-success page the sign-in returns to.
    std::string web = "https://www.facebook.com";
    // The permission check and the video uploads.
    std::string graph = "https://graph.facebook.com";
    // 16 decimal digits.
    std::string appId;
    // False also when one of the values above had the wrong form.
    bool valid = true;
    bool configured() const { return valid && !appId.empty(); }
};

struct YouTubeServices {
    // The sign-in page and the token exchange.
    std::string accounts = "https://accounts.google.com";
    // The uploads; its host also names the upload scope asked for at sign-in.
    std::string api = "https://www.googleapis.com";
    // The loopback host (with its port, if any) of the sign-in's redirect address "http://<host>/".
    std::string redirectHost = "localhost";
    // 12 digits, "-", 32 lower-case letters and digits, ".apps.googleusercontent.com".
    std::string clientId;
    // 24 letters, digits and underscores.
    std::string clientSecret;
    bool valid = true;
    bool configured() const { return valid && !clientId.empty() && !clientSecret.empty(); }
};

struct SharingServices {
    FacebookServices facebook;
    YouTubeServices youtube;
};

struct ServicesConfig {
    MapServices map;
    SharingServices sharing;
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
// form gives that value's default, or, for a video service, leaves the service unconfigured. Either
// is named in `problem`.
ServicesConfigLoad pmLoadServicesConfig(const std::string& path);
// The host with its port of an address: "127.0.0.1:8080" of "http://127.0.0.1:8080/x".
std::string pmAddressHost(const std::string& address);
// The map's User-Agent: the configured one, else "CartenaManager/<version>".
std::string pmMapUserAgent(const MapServices& map);
