#include "Utility/UserFolders.h"
#include "Utility/Version.h"
#include "desktop/WindowApplication.h"
#include "platform/WebEngineSandbox.h"
#include "views/ViewStyle.h"

#include <QApplication>
#include <QCommandLineParser>

#include <clocale>
#include <cstdio>

int main(int argc, char** argv) {
    const std::string sandboxNotice = pmPrepareWebEngineSandbox();
    if (!sandboxNotice.empty()) std::fprintf(stderr, "%s\n", sandboxNotice.c_str());
    QApplication application(argc, argv);
    // Qt sets LC_NUMERIC from the environment; libmpv and our number formatting need the C form.
    std::setlocale(LC_NUMERIC, "C");
    QApplication::setApplicationName("Cartena Manager");
    QApplication::setApplicationVersion(QString::fromStdString(pmGetVersionInfo()));

    QCommandLineParser parser;
    parser.setApplicationDescription("Cartena Manager: a manager and player for dash-camera recordings");
    parser.addHelpOption();
    parser.addVersionOption();
    parser.addPositionalArgument("folder", "A folder to scan for this run only (it is not remembered).");
    parser.process(application);
    const QStringList folders = parser.positionalArguments();

    pmUserFolders();
    pmApplyWindowTheme(application);
    WindowApplication program(WindowApplication::Options{.audioOutput = {}, .startNotice = sandboxNotice, .routes = {}});
    program.start(folders.isEmpty() ? std::string() : folders.first().toStdString());
    return application.exec();
}
