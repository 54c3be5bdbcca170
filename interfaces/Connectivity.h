#pragma once
#include <functional>

// Whether the internet can be reached: a default route and a short real request that answers.
class Connectivity {
public:
    virtual ~Connectivity() = default;
    // The whole check on the calling thread; it waits for the probe's answer, 2 s at most.
    virtual bool isInternetConnected() = 0;
    // The same check off the main thread; `answer` comes later on the main thread, never from
    // inside this call, and not at all once the object is gone.
    virtual void checkInBackground(std::function<void(bool connected)> answer) = 0;
};
