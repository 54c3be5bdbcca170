#pragma once
#include <QCoreApplication>
#include <QElapsedTimer>

#include <functional>

// Runs the event loop until `done` holds or `timeout` seconds pass, looking at least every
// millisecond (the tests' helper sleeps in slices too coarse to time an open).
inline bool spinUntil(const std::function<bool()>& done, double timeout = 30.0) {
    QElapsedTimer clock;
    clock.start();
    while (!done()) {
        if (clock.elapsed() > qint64(timeout * 1000)) return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 1);
    }
    return true;
}
