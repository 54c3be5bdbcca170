#include "SkinPalette.h"

namespace {

const SkinPalette kPalettes[kArtSkinCount] = {
    // 0 Dark: blue accent on charcoal.
    {.strip = QColor(0x1E2126), .stripGlyph = QColor(0xE4E7EC), .face = QColor(0x353A42), .accent = QColor(0x3D8BFD),
     .panel = QColor(0x2A2E35), .panelGlyph = QColor(0x8B93A1), .row1 = QColor(0x262A30), .row2 = QColor(0x2C3037),
     .selected = QColor(0xCFE3FF), .cell = QColor(0xE9ECF1), .focus = QColor(0x9FB8DA), .band = QColor(0x7E8796),
     .modeFace = QColor(0x3A414C), .header = QColor(0x2B3038), .dashboard = QColor(0x15181C),
     .ledOn = QColor(0xFFC940), .ledOff = QColor(0x3A3320), .axisX = QColor(0xFF6060), .axisY = QColor(0x60DC6E),
     .axisZ = QColor(0x5AAAFF), .bar = QColor(0x17191D), .plot = QColor(0x101216), .event = QColor(0xF0524A)},
    // 1 Light: white panels, a light strip, dark symbols.
    {.strip = QColor(0xF2F4F7), .stripGlyph = QColor(0x2D3440), .face = QColor(0xE3E8EF), .accent = QColor(0x2F6FEB),
     .panel = QColor(0xF6F8FA), .panelGlyph = QColor(0x9AA3B1), .row1 = QColor(0xFFFFFF), .row2 = QColor(0xF3F5F8),
     .selected = QColor(0xCFE3FF), .cell = QColor(0xFFFFFF), .focus = QColor(0x9FB8DA), .band = QColor(0x7E8796),
     .modeFace = QColor(0xDCE3EC), .header = QColor(0x4A5567), .dashboard = QColor(0x20242B),
     .ledOn = QColor(0xFFC940), .ledOff = QColor(0x3A3320), .axisX = QColor(0xE03C3C), .axisY = QColor(0x2FA84F),
     .axisZ = QColor(0x2F6FEB), .bar = QColor(0x23272E), .plot = QColor(0x1A1D23), .event = QColor(0xE5443C)},
    // 2 Two-Tone: a deep slate strip over light panels, teal accent.
    {.strip = QColor(0x23303F), .stripGlyph = QColor(0xE6EDF4), .face = QColor(0x2F4155), .accent = QColor(0x14A3A3),
     .panel = QColor(0xEEF2F6), .panelGlyph = QColor(0x8497A8), .row1 = QColor(0xF7F9FB), .row2 = QColor(0xEDF1F5),
     .selected = QColor(0xBFEDED), .cell = QColor(0xF7F9FB), .focus = QColor(0x8FCFCF), .band = QColor(0x7A909E),
     .modeFace = QColor(0xD5E0EA), .header = QColor(0x2B3B4D), .dashboard = QColor(0x1B2632),
     .ledOn = QColor(0x5CE1E6), .ledOff = QColor(0x183438), .axisX = QColor(0xE5484D), .axisY = QColor(0x1F9D55),
     .axisZ = QColor(0x2F7FDB), .bar = QColor(0x1C2733), .plot = QColor(0x141D27), .event = QColor(0xE5484D)},
    // 3 Graphite: warm greys, orange accent.
    {.strip = QColor(0x2E3033), .stripGlyph = QColor(0xECECEC), .face = QColor(0x46494D), .accent = QColor(0xF28C28),
     .panel = QColor(0x3B3D40), .panelGlyph = QColor(0x8E9196), .row1 = QColor(0x333538), .row2 = QColor(0x3A3C40),
     .selected = QColor(0xFFE0C2), .cell = QColor(0xE6E6E6), .focus = QColor(0xE0A66A), .band = QColor(0x8A857E),
     .modeFace = QColor(0x55585D), .header = QColor(0x26282B), .dashboard = QColor(0x1F2022),
     .ledOn = QColor(0xFF9F43), .ledOff = QColor(0x3B2A18), .axisX = QColor(0xFF7A59), .axisY = QColor(0x7BD389),
     .axisZ = QColor(0x6FB7FF), .bar = QColor(0x242528), .plot = QColor(0x1A1B1D), .event = QColor(0xF0603A)},
};

}  // namespace

const SkinPalette& skinPalette(int skin) { return kPalettes[skin]; }
