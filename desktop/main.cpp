#include "Utility/DiagnosticLog.h"
#include "Utility/MessageBox.h"
#include "Utility/UserFolders.h"
#include "Utility/Version.h"
#include "platform/QtMessageBoxPresenter.h"
#include "views/MainWindow.h"

#include <QApplication>
#include <QCommandLineParser>

#include <clocale>

int main(int argc, char** argv) {
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

    pmUserFolders();
    // Only the window starts a fresh log; the command line appends to it.
    pmDeleteOutputDebugMsg();
    pmOutputDebugMsg("-- Start Video Player! - AppDelegate.");
    pmOutputDebugMsgF("Version : %s", pmGetVersionInfo().c_str());

    const QStringList folders = parser.positionalArguments();
    MainWindow window;
    QtMessageBoxPresenter messageBoxes(&window);
    pmSetMessageBoxPresenter(&messageBoxes);
    window.setWindowTitle("Cartena Manager");
    window.showFolder(folders.isEmpty() ? QString() : folders.first(), 0);
    window.show();
    return application.exec();
}
