#pragma once
#include <QColor>

// The colours of one skin. Every text colour the window fixes is drawn over one of these, so the
// choices obey them: list text and the calendar's mode title are white on skins 0 and 3 only, day
// numbers and combo text are dark everywhere, check-box titles, play-bar times, graph labels and
// dashboard texts are white or pink on dark, the no-data texts mid grey on light.
struct SkinPalette {
    QColor strip;         // window and toolbar strip
    QColor stripGlyph;    // symbols drawn on the strip
    QColor face;          // raised control face on the strip
    QColor accent;        // focus ring, thumb, progress, hover ring
    QColor panel;         // the G-sensor stage and the calendar's frame
    QColor panelGlyph;    // lines and shapes drawn on the panel
    QColor row1, row2;    // list rows, slot 1 and slot 2
    QColor selected;      // the selected row ("list_d")
    QColor cell, focus;   // calendar cells and the focus day ("calendar_pic_d")
    QColor band;          // the weekday band: white and (125,15,15) both read on it
    QColor modeFace;      // the calendar's mode button: dark where its title is white
    QColor header;        // the list header strip: dark, under white check-box titles
    QColor dashboard;     // "gps_panel_bg"
    QColor ledOn, ledOff; // LED digits
    QColor axisX, axisY, axisZ;
    QColor bar;           // the play bar: dark on every skin, under white times
    QColor plot;          // the G-sensor plot and its label strip: dark, under white labels
    QColor event;         // event marks
};

inline constexpr int kArtSkinCount = 4;
const SkinPalette& skinPalette(int skin);
