#include "views/ViewStyle.h"

#include "Utility/StringTables.h"

#include <QApplication>
#include <QPainter>
#include <QPalette>
#include <QStyleFactory>

void pmApplyWindowTheme(QApplication& application) {
    if (QStyle* fusion = QStyleFactory::create("Fusion")) application.setStyle(fusion);
    QPalette palette;
    palette.setColor(QPalette::Window, viewcolor::kWindow);
    palette.setColor(QPalette::WindowText, viewcolor::kText);
    palette.setColor(QPalette::Base, viewcolor::kStripe2);
    palette.setColor(QPalette::AlternateBase, viewcolor::kStripe1);
    palette.setColor(QPalette::ToolTipBase, viewcolor::kPanel);
    palette.setColor(QPalette::ToolTipText, viewcolor::kText);
    palette.setColor(QPalette::Text, viewcolor::kText);
    palette.setColor(QPalette::Button, viewcolor::kPanel);
    palette.setColor(QPalette::ButtonText, viewcolor::kText);
    palette.setColor(QPalette::BrightText, Qt::white);
    palette.setColor(QPalette::Highlight, viewcolor::kAccent);
    palette.setColor(QPalette::HighlightedText, Qt::white);
    palette.setColor(QPalette::Link, viewcolor::kAccent);
    palette.setColor(QPalette::PlaceholderText, viewcolor::kDimText);
    for (const auto role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText})
        palette.setColor(QPalette::Disabled, role, viewcolor::kDisabled);
    application.setPalette(palette);
    // Menus, tool tips and message boxes too.
    QFont font = application.font();
    font.setFamilies(pmViewFontFamilies());
    application.setFont(font);
}

QStringList pmViewFontFamilies() {
    // "Helvetica" is only a fontconfig alias: listed with a CJK font, Qt would draw the Latin text
    // in the CJK font too. Nimbus Sans has Helvetica's metrics; Han text falls to the Traditional
    // Chinese forms rather than fontconfig's first CJK face (the Japanese one).
    return {QStringLiteral("Nimbus Sans"), QStringLiteral("Noto Sans CJK TC")};
}

QFont pmViewFont(int pixelSize, bool bold) {
    QFont font;
    font.setFamilies(pmViewFontFamilies());
    font.setPixelSize(pixelSize);
    font.setBold(bold);
    return font;
}

void pmPaintBar(QPainter& painter, const QRect& area) {
    QLinearGradient shade(0, area.top(), 0, area.bottom() + 1);
    shade.setColorAt(0, QColor(50, 53, 60));
    shade.setColorAt(1, QColor(32, 34, 39));
    painter.fillRect(area, shade);
}

QString pmViewString(const std::string& key) { return QString::fromStdString(pmGetString(key)); }
