#pragma once
#include <QColor>
#include <QFont>
#include <QString>

#include <string>

class QApplication;
class QPainter;
class QRect;

// The look shared by the window's views until the skins arrive: Qt's Fusion style on a dark
// palette, and the sans-serif font the layouts are measured in.

// Installs Fusion with the dark palette on the whole application.
void pmApplyWindowTheme(QApplication& application);

// Helvetica at a size in pixels (the layouts are measured in pixels, not points).
QFont pmViewFont(int pixelSize, bool bold = false);

// Fills a bar (toolbar, play bar, header strips) with the shaded bar look.
void pmPaintBar(QPainter& painter, const QRect& area);

// The localised text of an `IDS_` key as a QString.
QString pmViewString(const std::string& key);

namespace viewcolor {
inline const QColor kWindow(24, 25, 28);
inline const QColor kPanel(34, 36, 40);
inline const QColor kStripe1(38, 40, 45);
inline const QColor kStripe2(30, 32, 36);
inline const QColor kAccent(61, 122, 196);
inline const QColor kText(232, 232, 232);
inline const QColor kDimText(160, 163, 170);
inline const QColor kDisabled(96, 98, 104);
inline const QColor kEvent(214, 64, 56);
inline const QColor kSliderGroove(70, 73, 80);
inline const QColor kSliderThumb(240, 240, 240);
inline const QColor kSliderThumbEdge(20, 20, 20);
}  // namespace viewcolor
