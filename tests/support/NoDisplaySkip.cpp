// Compiled into every test program that opens windows: run where no display can be reached (ctest
// without xvfb-run), such a program says so and ends with the skip code instead of aborting.
#include <QString>
#include <QtGlobal>

#include <cstdio>
#include <cstdlib>

namespace {

constexpr int kSkipReturnCode = 77;  // SKIP_RETURN_CODE of every test (tests/CMakeLists.txt)
QtMessageHandler previousHandler = nullptr;

void skipWithoutDisplay(QtMsgType type, const QMessageLogContext& context, const QString& message) {
    if (type == QtFatalMsg && message.contains("no Qt platform plugin could be initialized")) {
        std::fputs("SKIPPED: no display to open windows on; run the tests under xvfb-run, as scripts/test does\n",
                   stderr);
        std::fflush(stderr);
        std::_Exit(kSkipReturnCode);
    }
    if (previousHandler) previousHandler(type, context, message);
    else qt_message_output(type, context, message);
}

const bool installed = [] {
    previousHandler = qInstallMessageHandler(skipWithoutDisplay);
    return true;
}();

}  // namespace
