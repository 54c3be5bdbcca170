#include "desktop/WindowProgram.h"

#include "Utility/UserFolders.h"
#include "Utility/Version.h"
#include "views/ViewStyle.h"

#include <QApplication>

#include <clocale>

void pmPrepareWindowProgram(QApplication& application) {
    std::setlocale(LC_NUMERIC, "C");
    QApplication::setApplicationName("Cartena Manager");
    QApplication::setApplicationVersion(QString::fromStdString(pmGetVersionInfo()));
    pmUserFolders();
    pmApplyWindowTheme(application);
}
