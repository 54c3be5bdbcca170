#pragma once
#include <QFont>
#include <QPalette>
#include <QString>
#include <QStringList>

#include <string>

class QApplication;

// The look the window's views share beyond their skin images: the toolkit's own parts (menus,
// message boxes, tool tips, dialogs, the month grid) take a palette that follows the skin, light
// where the skin's dialog text is dark, and the layouts' font.

// The palette of the toolkit's parts under a skin.
QPalette pmSkinPalette(int skinId);
// Installs Fusion with the current skin's palette and the view font's families on the whole
// application; called again after a skin change.
void pmApplyWindowTheme(QApplication& application);

// The families of the window's text: the Helvetica-metric sans for Latin text and digits, then the
// Traditional Chinese CJK font for Han text.
QStringList pmViewFontFamilies();
// The view font at a size in pixels (the layouts are measured in pixels, not points).
QFont pmViewFont(int pixelSize, bool bold = false);

// The localised text of an `IDS_` key as a QString.
QString pmViewString(const std::string& key);
