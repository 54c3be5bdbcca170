#include "views/ViewStyle.h"

#include "Utility/Skin.h"
#include "Utility/StringTables.h"

#include <QApplication>
#include <QStyleFactory>

namespace {

QColor toColor(const SkinColor& color) { return QColor::fromRgbF(color.red, color.green, color.blue, color.alpha); }

struct PaletteColors {
    QColor window, base, alternate, button, highlight, disabled;
};

// Per skin, the surfaces the toolkit draws its parts on: dark for skins 0 and 3, whose dialog
// text is white, light for 1 and 2.
const PaletteColors kSkinColors[kSkinCount] = {
    {QColor(0x23272D), QColor(0x1B1E23), QColor(0x262A30), QColor(0x353A42), QColor(0x3D8BFD), QColor(0x7A808A)},
    {QColor(0xF2F4F7), QColor(0xFFFFFF), QColor(0xF3F5F8), QColor(0xE6EAF0), QColor(0x2F6FEB), QColor(0x9AA1AC)},
    {QColor(0xEEF2F6), QColor(0xFFFFFF), QColor(0xEDF1F5), QColor(0xDDE5EC), QColor(0x14A3A3), QColor(0x94A3B0)},
    {QColor(0x333538), QColor(0x2A2B2E), QColor(0x333538), QColor(0x46494D), QColor(0xF28C28), QColor(0x85888D)},
};

}  // namespace

QPalette pmSkinPalette(int skinId) {
    const PaletteColors& c = kSkinColors[skinId >= 0 && skinId < kSkinCount ? skinId : 0];
    const QColor text = toColor(pmGetSkinDialogTextColor(skinId));
    QPalette palette;
    palette.setColor(QPalette::Window, c.window);
    palette.setColor(QPalette::WindowText, text);
    palette.setColor(QPalette::Base, c.base);
    palette.setColor(QPalette::AlternateBase, c.alternate);
    palette.setColor(QPalette::ToolTipBase, c.base);
    palette.setColor(QPalette::ToolTipText, text);
    palette.setColor(QPalette::Text, text);
    palette.setColor(QPalette::Button, c.button);
    palette.setColor(QPalette::ButtonText, text);
    palette.setColor(QPalette::BrightText, Qt::white);
    palette.setColor(QPalette::Highlight, c.highlight);
    palette.setColor(QPalette::HighlightedText, Qt::white);
    palette.setColor(QPalette::Link, c.highlight);
    palette.setColor(QPalette::PlaceholderText, c.disabled);
    for (const auto role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText})
        palette.setColor(QPalette::Disabled, role, c.disabled);
    return palette;
}

void pmApplyWindowTheme(QApplication& application) {
    if (QStyle* fusion = QStyleFactory::create("Fusion")) application.setStyle(fusion);
    application.setPalette(pmSkinPalette(pmGetSkinID()));
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

QString pmViewString(const std::string& key) { return QString::fromStdString(pmGetString(key)); }
