#include "support/Screenshot.h"

#include <QDir>
#include <QPixmap>

#include <cstdlib>

QString saveScreenshot(QWidget& widget, const QString& name) {
    const char* build = std::getenv("CARTENA_BUILD_DIR");
    const QString folder = QString(build ? build : ".") + "/screenshots";
    QDir().mkpath(folder);
    const QString path = folder + "/" + name + ".png";
    return widget.grab().save(path) ? path : QString();
}
