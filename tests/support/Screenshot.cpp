#include "support/Screenshot.h"

#include <QDir>
#include <QPixmap>


QString saveScreenshot(QWidget& widget, const QString& name) {
    const QString folder = QString(CARTENA_BUILD_DIR) + "/screenshots";
    QDir().mkpath(folder);
    const QString path = folder + "/" + name + ".png";
    return widget.grab().save(path) ? path : QString();
}
