#pragma once
#include <QPixmap>
#include <QString>

// The map view's pictures, by the skin image names they stand for ("gps_panel_bg.png",
// "ovl_speedno_7.png", "bg_map.png", ...), drawn in the window's present look. A null pixmap
// where that look has no picture.
QPixmap pmMapPicture(const QString& name);
