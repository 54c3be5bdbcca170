#pragma once
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>

#include <functional>

// Runs the Qt event loop in short slices until `done` holds or `timeoutSeconds` have passed (a
// guard against hanging, not a measurement); returns whether `done` held.
inline bool spinUntil(const std::function<bool()>& done, double timeoutSeconds = 30.0) {
    QElapsedTimer clock;
    clock.start();
    while (!done()) {
        if (clock.elapsed() > qint64(timeoutSeconds * 1000)) return false;
        QEventLoop loop;
        QTimer::singleShot(5, &loop, &QEventLoop::quit);
        loop.exec();
    }
    return true;
}

// Runs the Qt event loop for a while.
inline void spinFor(double seconds) {
    QEventLoop loop;
    QTimer::singleShot(int(seconds * 1000), &loop, &QEventLoop::quit);
    loop.exec();
}
