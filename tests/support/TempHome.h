#pragma once
#include <string>

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
    // addresses. Every home starts with both at a closed local port: no test reaches for the
    // internet or waits on it.
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
// Dates a file (access and modification) at a local wall-clock time; false on failure.
bool setLocalFileTime(const std::string& path, int year, int month, int day, int hour, int minute);
// Reads a whole file; empty when it cannot be read.
std::string readFile(const std::string& path);
