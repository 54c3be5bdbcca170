#pragma once
#include "ArtCanvas.h"
#include "SkinPalette.h"

#include <QString>
#include <QStringList>

#include <vector>

// One image family of a skin: a base name with its states, its size and how it is drawn.
struct ArtFamily {
    QString stem;                   // "button_play", "G-Sensor Screen_bg"
    QString extension = ".png";     // ".bmp" for the one image the map's info bar tiles
    QSize size;
    int states = 1;                 // 4: "", "_d", "_f", "_g"; 3: "", "_d", "_f"; 1: the image alone
    std::function<void(QPainter&, const QRectF& box, ButtonState state)> paint;
};

// The file names of a family, one per state in suffix order.
QStringList artFileNames(const ArtFamily& family);

// Every image of one skin: the buttons and controls, then the panels, pictures and digits.
std::vector<ArtFamily> buttonArtwork(const SkinPalette& palette);
std::vector<ArtFamily> panelArtwork(const SkinPalette& palette);
