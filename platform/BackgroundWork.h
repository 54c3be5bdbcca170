#pragma once
#include <functional>

// Runs `work` on a worker thread and returns once it has finished. Meanwhile the calling (GUI)
// thread goes on handling events, timers and painting (so the waiting indicator turns) but no user
// input: the window cannot be used while the work runs.
void pmRunInBackground(const std::function<void()>& work);
