#pragma once
#include <string>

// The desktop around the program: system sleep and wake, and opening an address in the user's
// browser or store.
class Workspace {
public:
    class SleepObserver {
    public:
        virtual ~SleepObserver() = default;
        // The system is about to sleep. Pause, then call allowSleep(); the system waits a few
        // seconds at most.
        virtual void workspaceWillSleep() = 0;
        virtual void workspaceDidWake() = 0;
    };

    virtual ~Workspace() = default;
    // Not owned; null stops the calls.
    virtual void setSleepObserver(SleepObserver* observer) = 0;
    // What had to happen before sleep is done.
    virtual void allowSleep() = 0;
    // Opens the address with the desktop's handler for its scheme; false when none took it.
    virtual bool openAddress(const std::string& address) = 0;
};
