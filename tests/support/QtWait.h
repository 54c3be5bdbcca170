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

// A test suite with one Qt application object for its event loop. Like the program, it puts
// LC_NUMERIC back to "C" after creating it (Qt takes the locale from the environment).
class QtTestCase : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        static int argc = 1;
        static char name[] = "cartena-test", *argv[] = {name, nullptr};
        application_ = std::make_unique<QCoreApplication>(argc, argv);
        std::setlocale(LC_NUMERIC, "C");
    }
    static void TearDownTestSuite() { application_.reset(); }
    inline static std::unique_ptr<QCoreApplication> application_;
};
