#pragma once
#include <QPixmap>
#include <QString>

// The images of the current skin, looked up by base name ("button_play.png"). The skin is read at
// every call, so a view that loads its images again after a skin change gets the new skin's.

// The image, or a null pixmap when the skin has no image of that name (the caller then draws
// nothing in its place). Nothing is shown or logged for a missing image.
QPixmap pmLoadImage(const QString& baseName);

// A new image of the same size holding `image` mirrored left to right (right-to-left layouts).
QPixmap pmFlipImage(const QPixmap& image);
