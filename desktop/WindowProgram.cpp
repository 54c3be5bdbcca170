#include "desktop/WindowProgram.h"

#include "Utility/UserFolders.h"
#include "Utility/Version.h"
#include "views/AppIcon.h"
#include "views/ViewStyle.h"

#include <QApplication>

#include <clocale>

void pmPrepareWindowProgram(QApplication& application) {
    std::setlocale(LC_NUMERIC, "C");
    QApplication::setApplicationName("Cartena Manager");
    QApplication::setApplicationVersion(QString::fromStdString(pmGetVersionInfo()));
    // Desktops match the window to the installed entry (its icon, its name in the task list).
    QGuiApplication::setDesktopFileName("cartena-manager");
    QApplication::setWindowIcon(pmAppIcon());
    pmUserFolders();
    pmApplyWindowTheme(application);
}
