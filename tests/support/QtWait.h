#pragma once
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>

#include <clocale>
#include <functional>
#include <memory>

// Runs the Qt event loop in short slices until `done` holds or `timeoutSeconds` have passed (a
// guard against hanging, not a measurement); returns whether `done` held.
inline bool spinUntil(const std::function<bool()>& done, double timeoutSeconds = 30.0) {
    QElapsedTimer clock;
    clock.start();
    while (!done() && clock.elapsed() <= qint64(timeoutSeconds * 1000)) {
        QEventLoop loop;
        QTimer::singleShot(5, &loop, &QEventLoop::quit);
        loop.exec();
    }
    return done();
}

inline void spinFor(double seconds) { spinUntil([] { return false; }, seconds); }

// The command line a test's Qt application object is made with: Qt keeps a reference to it.
inline int& qtArgc() {
    static int argc = 1;
    return argc;
}
inline char** qtArgv() {
    static char name[] = "cartena-tests", *argv[] = {name, nullptr};
    return argv;
}

// A test suite with one Qt application object for its event loop. Like the program, it puts
// LC_NUMERIC back to "C" after creating it (Qt takes the locale from the environment).
class QtTestCase : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        application_ = std::make_unique<QCoreApplication>(qtArgc(), qtArgv());
        std::setlocale(LC_NUMERIC, "C");
    }
    static void TearDownTestSuite() { application_.reset(); }
    inline static std::unique_ptr<QCoreApplication> application_;
};
