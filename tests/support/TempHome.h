#pragma once
#include <ctime>
#include <string>
#include <vector>

// Gives a test its own HOME and XDG folders under a fresh temporary folder, and reloads the user's
// folders; everything is removed and the environment restored when it goes out of scope.
class TempHome {
public:
    TempHome();
    ~TempHome();
    TempHome(const TempHome&) = delete;
    TempHome& operator=(const TempHome&) = delete;

    const std::string& path() const { return root_; }
    std::string documents() const { return root_ + "/Documents"; }
    std::string movies() const { return root_ + "/Videos"; }
    std::string configHome() const { return root_ + "/.config"; }

    // Writes the services file that points the connectivity probe and the map's tiles at these
    // addresses.
    void writeServices(const std::string& probe, const std::string& tiles) const;

private:
    std::string root_;
    std::string savedHome_;
    std::string savedConfig_;
    bool hadHome_ = false;
    bool hadConfig_ = false;
};

// Writes bytes to a file, creating or truncating it; returns false on failure.
bool writeFile(const std::string& path, const std::string& bytes);
// A point in local wall-clock time (the tests run in a fixed zone that is not UTC).
std::time_t localTime(int year, int month, int day, int hour = 12, int minute = 0, int second = 0);
// Dates a file (access and modification), to the nanosecond; false on failure.
bool setFileTime(const std::string& path, std::time_t seconds, long nanoseconds = 0);
// Dates a file at a local wall-clock time; false on failure.
bool setLocalFileTime(const std::string& path, int year, int month, int day, int hour, int minute);
// Reads a whole file; empty when it cannot be read.
std::string readFile(const std::string& path);
// The messages of the diagnostic log (in the current documents folder), without their time stamps.
std::vector<std::string> logMessages();
