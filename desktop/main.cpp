#include "Utility/UserFolders.h"
#include "Utility/Version.h"
#include "desktop/WindowApplication.h"
#include "views/AppIcon.h"
#include "views/ViewStyle.h"

#include <QApplication>
#include <QCommandLineParser>

#include <clocale>

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    // Qt sets LC_NUMERIC from the environment; libmpv and our number formatting need the C form.
    std::setlocale(LC_NUMERIC, "C");
    QApplication::setApplicationName("Cartena Manager");
    QApplication::setApplicationVersion(QString::fromStdString(pmGetVersionInfo()));
    // Desktops match the window to the installed entry (its icon, its name in the task list).
    QGuiApplication::setDesktopFileName("cartena-manager");
    QApplication::setWindowIcon(pmAppIcon());

    QCommandLineParser parser;
    parser.setApplicationDescription("Cartena Manager: a manager and player for dash-camera recordings");
    parser.addHelpOption();
    parser.addVersionOption();
    parser.addPositionalArgument("folder", "A folder to scan for this run only (it is not remembered).");
    parser.process(application);
    const QStringList folders = parser.positionalArguments();

    pmUserFolders();
    pmApplyWindowTheme(application);
    WindowApplication program(WindowApplication::Options{});
    program.start(folders.isEmpty() ? std::string() : folders.first().toStdString());
    return application.exec();
}
