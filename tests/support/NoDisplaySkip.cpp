// Compiled into every test program that opens windows: where no display can be reached (ctest
// without xvfb-run) such a program says so and ends with the skip code instead of aborting.
#include <QString>
#include <QtGlobal>

#include <cstdio>
#include <cstdlib>

namespace {

QtMessageHandler previousHandler = nullptr;

void skipWithoutDisplay(QtMsgType type, const QMessageLogContext& context, const QString& message) {
    if (type == QtFatalMsg && message.contains("no Qt platform plugin could be initialized")) {
        std::fputs("SKIPPED: no display to open windows on; run the tests under xvfb-run, as scripts/test does\n",
                   stderr);
        std::_Exit(77);  // SKIP_RETURN_CODE of every test (tests/CMakeLists.txt)
    }
    if (previousHandler) previousHandler(type, context, message);
}

const bool installed = (previousHandler = qInstallMessageHandler(skipWithoutDisplay), true);

}  // namespace
