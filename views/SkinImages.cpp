#include "views/SkinImages.h"

#include "Utility/Skin.h"

#include <QPixmapCache>

QPixmap pmLoadImage(const QString& baseName) {
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
