#pragma once
#include <atomic>
#include <string>

#include <signal.h>

// What the long commands (backup, evidence) share: their progress bar, drawn over itself on
// standard error (a terminal), and Ctrl-C as a cancel.

// 1.23 GB, 85.3 MB, 512 kB: decimal units, as disks are sold.
std::string pmBytesText(double bytes);
// "0:21", "1:02:03".
std::string pmDurationText(double seconds);
// " 42%  encoding the clip  0:21 left": the share done, what is being done and the time left at
// the rate so far.
void pmDrawProgressBar(double share, const char* doing, double elapsedSeconds);

// While it lives, SIGINT (and SIGTERM) set `flag` instead of ending the process, so the work can
// stop after its current step and leave nothing behind.
class InterruptCancels {
public:
    explicit InterruptCancels(std::atomic<bool>& flag);
    ~InterruptCancels();
    InterruptCancels(const InterruptCancels&) = delete;
    InterruptCancels& operator=(const InterruptCancels&) = delete;

private:
    struct sigaction previousInterrupt_ {};
    struct sigaction previousTerminate_ {};
};
