#include "views/SkinImages.h"

#include "Utility/Skin.h"

#include <QPixmapCache>

#include <mutex>

// The artwork is compiled into the programs as the resource "skins"; registering it here makes
// the linker keep it in every program that loads an image.
static void registerSkinResources() { Q_INIT_RESOURCE(skins); }

QPixmap pmLoadImage(const QString& baseName) {
    static std::once_flag registered;
    std::call_once(registered, registerSkinResources);
    const QString path =
        QStringLiteral(":/skins/") + QString::fromStdString(pmGetSkinImageName(pmGetSkinID(), baseName.toStdString()));
    QPixmap image;
    if (QPixmapCache::find(path, &image)) return image;
    if (image.load(path)) QPixmapCache::insert(path, image);
    return image;
}

QPixmap pmFlipImage(const QPixmap& image) {
    if (image.isNull()) return image;
    QPixmap flipped = QPixmap::fromImage(image.toImage().mirrored(true, false));
    flipped.setDevicePixelRatio(image.devicePixelRatio());
    return flipped;
}
