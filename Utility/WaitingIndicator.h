#pragma once

// The waiting indicator shown over the main window during long work. pmStartWait and pmEndWait
// are the whole interface for the rest of the system; the window program installs a presenter
// that shows the spinning window. Without one only the log lines are written. There is no nesting:
// at most one indicator exists, and the first pmEndWait removes it. Main thread only.

class WaitingPresenter {
public:
    virtual ~WaitingPresenter() = default;
    virtual void showWaitingWindow() = 0;
    // Stops the spinner and closes the window.
    virtual void endWaitingWindow() = 0;
};

// nullptr: no window, log lines only. The presenter must outlive its installation.
void pmSetWaitingPresenter(WaitingPresenter* presenter);

// Logs "pmStartWait()"; shows the indicator unless one is shown already.
void pmStartWait();
// Removes the indicator if one is shown; logs "pmEndWait()". Harmless without a start.
void pmEndWait();
// Whether an indicator is shown (a presenter or not).
bool pmIsWaiting();
