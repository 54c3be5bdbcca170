#include "desktop/WindowApplication.h"
#include "desktop/WindowProgram.h"
#include "platform/WebEngineSandbox.h"

#include <QApplication>
#include <QCommandLineParser>

#include <cstdio>

int main(int argc, char** argv) {
    const std::string sandboxNotice = pmPrepareWebEngineSandbox();
    if (!sandboxNotice.empty()) std::fprintf(stderr, "%s\n", sandboxNotice.c_str());
    QApplication application(argc, argv);
    pmPrepareWindowProgram(application);

    QCommandLineParser parser;
    parser.setApplicationDescription("Cartena Manager: a manager and player for dash-camera recordings");
    parser.addHelpOption();
    parser.addVersionOption();
    parser.addPositionalArgument("folder", "A folder to scan for this run only (it is not remembered).");
    parser.process(application);
    const QStringList folders = parser.positionalArguments();

    WindowApplication program(WindowApplication::Options{.audioOutput = {}, .startNotice = sandboxNotice, .routes = {}});
    program.start(folders.isEmpty() ? std::string() : folders.first().toStdString());
    return application.exec();
}
