#pragma once
#include "ArtCanvas.h"

// The symbols on the skins' buttons, each in a 24 x 24 design square. No words: two languages
// share the images.
namespace glyph {
void open(QPainter& p, const QColor& ink);
void print(QPainter& p, const QColor& ink);
void backup(QPainter& p, const QColor& ink);
void capture(QPainter& p, const QColor& ink);
void settings(QPainter& p, const QColor& ink);
void windowSwitch(QPainter& p, const QColor& ink);
void exportTrack(QPainter& p, const QColor& ink);
void uploadArrow(QPainter& p, const QColor& ink);
void video(QPainter& p, const QColor& ink);
void people(QPainter& p, const QColor& ink);
void evidence(QPainter& p, const QColor& ink);
void previous(QPainter& p, const QColor& ink);
void next(QPainter& p, const QColor& ink);
void play(QPainter& p, const QColor& ink);
void pause(QPainter& p, const QColor& ink);
void playReverse(QPainter& p, const QColor& ink);
void volumeOn(QPainter& p, const QColor& ink);
void volumeOff(QPainter& p, const QColor& ink);
void fullScreen(QPainter& p, const QColor& ink);
void normalScreen(QPainter& p, const QColor& ink);
void gauge(QPainter& p, const QColor& ink);
void mapPin(QPainter& p, const QColor& ink);
void chevronLeft(QPainter& p, const QColor& ink);
void chevronRight(QPainter& p, const QColor& ink);
void chevronDown(QPainter& p, const QColor& ink);
void triangleUp(QPainter& p, const QColor& ink);
void triangleDown(QPainter& p, const QColor& ink);
void check(QPainter& p, const QColor& ink);
void grip(QPainter& p, const QColor& ink);
}  // namespace glyph
