#include "ArtCatalogue.h"
#include "Glyphs.h"

#include <cmath>

namespace {

ArtFamily single(const QString& stem, QSize size, std::function<void(QPainter&, const QRectF&)> paint,
                 const QString& extension = ".png") {
    return {stem, extension, size, 1, [paint](QPainter& p, const QRectF& box, ButtonState) { paint(p, box); }};
}

void hairline(QPainter& p, qreal y, qreal x0, qreal x1, const QColor& color) {
    p.setPen(QPen(color, 1.0));
    p.drawLine(QPointF(x0, y + 0.5), QPointF(x1, y + 0.5));
}

// Whether a colour is light enough that lines on it should be dark.
bool isLight(const QColor& color) { return color.lightnessF() > 0.6; }

// ---- strips -------------------------------------------------------------------------------

void strips(std::vector<ArtFamily>& art, const SkinPalette& s) {
    // The toolbar: a 30-pixel button row over a 15-pixel lip that the settings tab hangs into.
    art.push_back(single("toolbar_background", QSize(64, 45), [s](QPainter& p, const QRectF& r) {
        p.fillRect(QRectF(0, 0, r.width(), 30), verticalShade(QRectF(0, 0, 1, 30), s.strip.lighter(108), s.strip));
        const QColor lip = isLight(s.strip) ? s.strip.darker(106) : s.strip.darker(125);
        p.fillRect(QRectF(0, 30, r.width(), 15), verticalShade(QRectF(0, 30, 1, 15), lip, lip.darker(104)));
        hairline(p, 0, 0, r.width(), withAlpha(Qt::white, isLight(s.strip) ? 0.7 : 0.06));
        hairline(p, 30, 0, r.width(), isLight(s.strip) ? s.strip.darker(112) : s.strip.darker(140));
        hairline(p, 44, 0, r.width(), isLight(s.strip) ? s.strip.darker(125) : QColor(0, 0, 0, 150));
    }));
    art.push_back(single("playbar_background", QSize(64, 44), [s](QPainter& p, const QRectF& r) {
        p.fillRect(r, verticalShade(r, s.bar.lighter(135), s.bar));
        hairline(p, 0, 0, r.width(), withAlpha(Qt::white, 0.10));
        hairline(p, 43, 0, r.width(), QColor(0, 0, 0, 140));
    }));
    art.push_back(single("bg_calendar_title", QSize(291, 31), [s](QPainter& p, const QRectF& r) {
        p.fillRect(r, verticalShade(r, s.header.lighter(118), s.header));
        hairline(p, 0, 0, r.width(), withAlpha(Qt::white, 0.08));
        hairline(p, 30, 0, r.width(), s.header.darker(150));
    }));
    // The map's info bar: a picture for its right end and the slice that fills the rest.
    auto infoBar = [](QPainter& p, const QRectF& r) {
        p.fillRect(r, verticalShade(r, QColor(0x343A44), QColor(0x1D2127)));
        hairline(p, 0, 0, r.width(), withAlpha(Qt::white, 0.10));
    };
    art.push_back(single("bg_map", QSize(160, 20), infoBar));
    art.push_back(single("bg_map_info", QSize(8, 20), infoBar, ".bmp"));
}

// ---- sliders ------------------------------------------------------------------------------

void sliders(std::vector<ArtFamily>& art, const SkinPalette& s) {
    auto groove = [](QColor top, QColor bottom) {
        return [top, bottom](QPainter& p, const QRectF& r) {
            const QRectF g(0.5, 6, r.width() - 1, 4.5);
            p.setPen(Qt::NoPen);
            p.setBrush(verticalShade(g, top, bottom));
            p.drawPath(roundedPath(g, 2.25));
        };
    };
    const QColor empty = mix(s.bar, Qt::white, 0.2);
    art.push_back(single("track_bar_bg", QSize(240, 16), groove(empty.darker(130), empty)));
    art.push_back(single("track_bar_full", QSize(240, 16), groove(s.accent.lighter(115), s.accent)));
    art.push_back(single("volume_bg", QSize(84, 16), groove(empty.darker(130), empty)));
    art.push_back(single("volume_full", QSize(84, 16), groove(s.accent.lighter(115), s.accent)));
    art.push_back(single("volume_button", QSize(16, 16), [s](QPainter& p, const QRectF&) {
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(0, 0, 0, 70));
        p.drawEllipse(QRectF(1.5, 2.2, 13, 13));
        p.setBrush(verticalShade(QRectF(1.5, 1.5, 13, 13), QColor(0xFFFFFF), QColor(0xE3E7EC)));
        p.setPen(QPen(QColor(0, 0, 0, 60), 0.8));
        p.drawEllipse(QRectF(1.5, 1.5, 13, 13));
        p.setPen(Qt::NoPen);
        p.setBrush(s.accent);
        p.drawEllipse(QPointF(8, 8), 2.3, 2.3);
    }));
    art.push_back(single("icon_m1", QSize(12, 8), [s](QPainter& p, const QRectF&) {
        QPainterPath mark;
        mark.moveTo(1, 0.8);
        mark.lineTo(11, 0.8);
        mark.lineTo(6, 7.2);
        mark.closeSubpath();
        p.setPen(QPen(QColor(255, 255, 255, 220), 0.9, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.setBrush(s.event);
        p.drawPath(mark);
    }));
}

// ---- calendar -----------------------------------------------------------------------------

constexpr int kCellWidth = 41;  // a seventh of 291
constexpr int kCellStartX = 2;

QRectF cellFace(qreal x, qreal top) { return QRectF(x + 1, top, kCellWidth - 2, 31); }

void calendar(std::vector<ArtFamily>& art, const SkinPalette& s) {
    const QColor cellEdge = mix(s.cell, s.panelGlyph, 0.35);
    art.push_back(single("calendar_background", QSize(291, 240), [s, cellEdge](QPainter& p, const QRectF& r) {
        p.fillRect(r, s.panel);
        // Top strip for the arrows, the two combo boxes and the mode button.
        p.fillRect(QRectF(0, 0, r.width(), 31), verticalShade(QRectF(0, 0, 1, 31), s.strip.lighter(108), s.strip));
        hairline(p, 30, 0, r.width(), isLight(s.strip) ? s.strip.darker(112) : s.strip.darker(140));
        // The weekday band, a mid tone under white and dark-red captions.
        p.fillRect(QRectF(0, 31, r.width(), 12), s.band);
        p.setPen(QPen(cellEdge, 1.0));
        p.setBrush(s.cell);
        for (int row = 0; row < 6; ++row)
            for (int column = 0; column < 7; ++column)
                p.drawPath(roundedPath(cellFace(kCellStartX + column * kCellWidth, 44 + row * 33).adjusted(0.5, 0.5, -0.5, -0.5), 3));
    }));
    art.push_back(single("calendar_pic_d", QSize(kCellWidth, 31), [s](QPainter& p, const QRectF&) {
        p.setPen(QPen(s.focus.darker(122), 1.2));
        p.setBrush(verticalShade(QRectF(0, 0, 1, 31), s.focus.lighter(108), s.focus));
        p.drawPath(roundedPath(cellFace(0, 0).adjusted(0.6, 0.6, -0.6, -0.6), 3));
    }));
    // The recording marks: a dot under the day number.
    auto mark = [](QColor color) {
        return [color](QPainter& p, const QRectF&) {
            p.setPen(Qt::NoPen);
            p.setBrush(color);
            p.drawEllipse(QPointF(kCellWidth / 2.0, 3.6), 2.3, 2.3);
        };
    };
    art.push_back(single("icon_calendar_black", QSize(kCellWidth, 8), mark(s.accent.darker(isLight(s.accent) ? 150 : 115))));
    art.push_back(single("icon_calendar_white", QSize(kCellWidth, 8), mark(Qt::white)));
    art.push_back(single("enter_calendar", QSize(67, 27), [](QPainter& p, const QRectF& r) {
        const QRectF field = r.adjusted(0.5, 0.5, -0.5, -0.5);
        p.setPen(QPen(QColor(0xAEB6C2), 1.0));
        p.setBrush(verticalShade(field, QColor(0xFFFFFF), QColor(0xEEF1F5)));
        p.drawPath(roundedPath(field, 4));
        p.setPen(QPen(QColor(0xD3D8E0), 1.0));
        p.drawLine(QPointF(45.5, 5), QPointF(45.5, 22));
    }));
    // The drop-down's rows stay light on every skin, under dark text.
    auto listRow = [](QColor fill) {
        return [fill](QPainter& p, const QRectF& r) {
            p.fillRect(r, fill);
            hairline(p, r.height() - 1, 0, r.width(), fill.darker(106));
        };
    };
    art.push_back(single("calendar_list_bg_1", QSize(53, 18), listRow(QColor(0xFFFFFF))));
    art.push_back(single("calendar_list_bg_2", QSize(53, 18), listRow(QColor(0xF1F3F6))));
    art.push_back(single("calendar_list_d", QSize(53, 18), listRow(s.selected)));
}

// ---- recording list -------------------------------------------------------------------------

void recordingList(std::vector<ArtFamily>& art, const SkinPalette& s) {
    auto row = [](QColor fill) {
        return [fill](QPainter& p, const QRectF& r) {
            p.fillRect(r, fill);
            hairline(p, r.height() - 1, 0, r.width(), isLight(fill) ? fill.darker(108) : fill.darker(125));
        };
    };
    art.push_back(single("list_bg_1", QSize(277, 48), row(s.row1)));
    art.push_back(single("list_bg_2", QSize(277, 48), row(s.row2)));
    art.push_back(single("list_d", QSize(277, 48), [s](QPainter& p, const QRectF& r) {
        p.fillRect(r, verticalShade(r, s.selected.lighter(104), s.selected));
        p.fillRect(QRectF(0, 0, 2, r.height()), s.accent);
        hairline(p, r.height() - 1, 0, r.width(), s.selected.darker(110));
    }));
    const QColor track = mix(s.row2, s.panelGlyph, 0.18);
    art.push_back(single("scrollbar_background", QSize(14, 16), [track](QPainter& p, const QRectF& r) {
        p.fillRect(r, track);
        p.setPen(QPen(track.darker(112), 1.0));
        p.drawLine(QPointF(0.5, 0), QPointF(0.5, r.height()));
    }));
    art.push_back(single("icon_play", QSize(16, 16), [s](QPainter& p, const QRectF&) {
        p.setPen(Qt::NoPen);
        p.setBrush(s.accent);
        p.drawEllipse(QRectF(0.5, 0.5, 15, 15));
        drawGlyph(p, QRectF(2, 2, 12, 12), glyph::play, Qt::white);
    }));
    art.push_back(single("icon_event", QSize(22, 22), [s](QPainter& p, const QRectF&) {
        QPainterPath sign;
        sign.moveTo(11, 2);
        sign.lineTo(20.5, 19);
        sign.lineTo(1.5, 19);
        sign.closeSubpath();
        p.setPen(QPen(s.event, 2.2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.setBrush(s.event);
        p.drawPath(sign);
        p.setPen(Qt::NoPen);
        p.setBrush(Qt::white);
        p.drawPath(roundedPath(QRectF(9.9, 7.2, 2.2, 6.6), 1.1));
        p.drawEllipse(QPointF(11, 16.1), 1.3, 1.3);
    }));
    art.push_back(single("icon_parking", QSize(22, 22), [](QPainter& p, const QRectF&) {
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(0x2563C9));
        p.drawPath(roundedPath(QRectF(2, 2, 18, 18), 4));
        p.setBrush(Qt::white);
        p.drawPath(symbolText("P", 13, QPointF(11.3, 11)));
    }));
}

// ---- dashboard and map pictures -------------------------------------------------------------

constexpr QSize kDashboardSize(330, 205);

// One LED digit: seven slanted segments, the lit ones glowing over the dark ones.
void ledDigit(QPainter& p, int digit, const QColor& on, const QColor& off) {
    static const unsigned char kLit[10] = {0x3F, 0x06, 0x5B, 0x4F, 0x66, 0x6D, 0x7D, 0x07, 0x7F, 0x6F};
    const qreal w = 38, h = 74, t = 7.5, x0 = 3, y0 = 3;
    auto horizontal = [&](qreal y) {
        QPainterPath s;
        s.moveTo(x0 + t * 0.6, y);
        s.lineTo(x0 + t, y - t / 2);
        s.lineTo(x0 + w - t, y - t / 2);
        s.lineTo(x0 + w - t * 0.6, y);
        s.lineTo(x0 + w - t, y + t / 2);
        s.lineTo(x0 + t, y + t / 2);
        s.closeSubpath();
        return s;
    };
    auto vertical = [&](qreal x, qreal yTop, qreal yBottom) {
        QPainterPath s;
        s.moveTo(x, yTop + t * 0.6);
        s.lineTo(x + t / 2, yTop + t);
        s.lineTo(x + t / 2, yBottom - t);
        s.lineTo(x, yBottom - t * 0.6);
        s.lineTo(x - t / 2, yBottom - t);
        s.lineTo(x - t / 2, yTop + t);
        s.closeSubpath();
        return s;
    };
    const qreal mid = y0 + h / 2;
    const QPainterPath segments[7] = {
        horizontal(y0 + t / 2),                      // top
        vertical(x0 + w - t / 2, y0, mid),           // top right
        vertical(x0 + w - t / 2, mid, y0 + h),       // bottom right
        horizontal(y0 + h - t / 2),                  // bottom
        vertical(x0 + t / 2, mid, y0 + h),           // bottom left
        vertical(x0 + t / 2, y0, mid),               // top left
        horizontal(mid),                             // middle
    };
    QTransform slant;
    slant.translate(0, y0 + h);
    slant.shear(-0.07, 0);
    slant.translate(2, -(y0 + h));
    p.setPen(Qt::NoPen);
    for (int segment = 0; segment < 7; ++segment) {
        const bool lit = (kLit[digit] >> segment) & 1;
        const QPainterPath shape = slant.map(segments[segment]);
        if (lit) {
            p.setPen(QPen(withAlpha(on, 0.28), 2.6, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
            p.setBrush(on);
        } else {
            p.setPen(Qt::NoPen);
            p.setBrush(off);
        }
        p.drawPath(shape);
    }
}

// A light card for the pictures that carry a mid-grey message.
void messageCard(QPainter& p, const QRectF& card) {
    p.setPen(QPen(QColor(0xC5CBD3), 1.0));
    p.setBrush(verticalShade(card, QColor(0xEEF0F3), QColor(0xE1E5EA)));
    p.drawPath(roundedPath(card, 10));
}

void slash(QPainter& p, QPointF from, QPointF to, const QColor& ink, const QColor& gap) {
    p.setPen(QPen(gap, 6.5, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(from, to);
    p.setPen(QPen(ink, 3.2, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(from, to);
}

void dashboard(std::vector<ArtFamily>& art, const SkinPalette& s) {
    art.push_back(single("gps_panel_bg", kDashboardSize, [s](QPainter& p, const QRectF& r) {
        const QRectF panel = r.adjusted(0.5, 0.5, -0.5, -0.5);
        p.setPen(QPen(withAlpha(Qt::white, 0.08), 1.0));
        p.setBrush(verticalShade(panel, s.dashboard.lighter(125), s.dashboard));
        p.drawPath(roundedPath(panel, 10));
        // The glass behind the LED digits.
        const QRectF glass(56, 19, 190, 84);
        p.setPen(QPen(withAlpha(Qt::white, 0.06), 1.0));
        p.setBrush(s.dashboard.darker(135));
        p.drawPath(roundedPath(glass, 6));
        const QColor rule = withAlpha(Qt::white, 0.10);
        hairline(p, 101, 16, r.width() - 16, rule);
        hairline(p, 148, 16, r.width() - 16, rule);
        p.setPen(QPen(rule, 1.0));
        p.drawLine(QPointF(150.5, 108), QPointF(150.5, 196));
        p.drawLine(QPointF(280.5, 108), QPointF(280.5, 196));
    }));
    for (int digit = 0; digit <= 9; ++digit)
        art.push_back(single(QString("ovl_speedno_%1").arg(digit), QSize(50, 80),
                             [s, digit](QPainter& p, const QRectF&) { ledDigit(p, digit, s.ledOn, s.ledOff); }));

    const QColor ink(0x8A929E);
    art.push_back(single("map_no_gps", kDashboardSize, [ink](QPainter& p, const QRectF& r) {
        messageCard(p, r.adjusted(10, 6, -10, -6));
        drawGlyph(p, QRectF(r.center().x() - 30, 34, 60, 60), glyph::mapPin, ink);
        slash(p, {r.center().x() - 26, 40}, {r.center().x() + 26, 90}, ink, QColor(0xE8EBEF));
    }));
    art.push_back(single("map_disable", kDashboardSize, [ink](QPainter& p, const QRectF& r) {
        messageCard(p, r.adjusted(10, 6, -10, -6));
        // A cloud, struck through: the map needs the network.
        QPainterPath cloud;
        const qreal cx = r.center().x(), cy = r.center().y() - 8;
        cloud.addEllipse(QPointF(cx - 18, cy + 6), 16, 14);
        cloud.addEllipse(QPointF(cx + 4, cy - 6), 22, 21);
        cloud.addEllipse(QPointF(cx + 24, cy + 7), 15, 13);
        cloud.addRoundedRect(QRectF(cx - 34, cy + 4, 73, 17), 8, 8);
        p.setPen(Qt::NoPen);
        p.setBrush(ink);
        p.drawPath(cloud.simplified());
        slash(p, {cx - 34, cy - 30}, {cx + 36, cy + 36}, ink, QColor(0xE6E9ED));
    }));
}

// ---- G-sensor panel -----------------------------------------------------------------------

constexpr QSize kGraphSize(340, 215);
const QRectF kCurves(51, 3, 238, 63);
constexpr qreal kStripHeight = 70;
const QPointF kCentre(172, 144);
// Arrow places (top left) by axis and direction, and the arrow sizes, as the panel lays them out.
const QPointF kArrowAt[3][2] = {{{114, 168}, {210, 105}}, {{210, 169}, {107, 104}}, {{162, 90}, {162, 170}}};
const QSizeF kDiagonalArrow(26, 20);
const QSizeF kVerticalArrow(16, 22);

QSizeF arrowSize(int axis) { return axis == 2 ? kVerticalArrow : kDiagonalArrow; }
QPointF arrowCentre(int axis, int direction) {
    const QSizeF size = arrowSize(axis);
    return kArrowAt[axis][direction] + QPointF(size.width() / 2, size.height() / 2);
}

// The stage under the curves' strip: dark skins keep it dark, light skins light.
QColor stageInk(const SkinPalette& s) { return isLight(s.panel) ? s.panelGlyph.darker(110) : s.panelGlyph; }

void graphStrip(QPainter& p, const SkinPalette& s, const QRectF& r) {
    p.fillRect(r, isLight(s.panel) ? verticalShade(r, s.panel, s.panel.darker(104)) : verticalShade(r, s.panel.lighter(108), s.panel));
    const QRectF strip(0, 0, r.width(), kStripHeight);
    p.fillRect(strip, mix(s.plot, Qt::white, 0.05));
    hairline(p, kStripHeight - 1, 0, r.width(), s.plot.darker(150));
}

void curveFrame(QPainter& p, const SkinPalette& s) {
    p.setPen(QPen(withAlpha(Qt::white, 0.14), 1.0));
    p.setBrush(s.plot);
    p.drawRect(kCurves.adjusted(-0.5, -0.5, 0.5, 0.5));
    // Ticks beside the three scale labels.
    p.setPen(QPen(withAlpha(Qt::white, 0.35), 1.0));
    for (qreal y : {13.0, 36.0, 58.0}) p.drawLine(QPointF(46, y + 0.5), QPointF(50, y + 0.5));
}

void axisGuides(QPainter& p, const SkinPalette& s) {
    QPen guide(withAlpha(stageInk(s), 0.45), 1.0, Qt::DashLine);
    guide.setDashPattern({3, 3});
    p.setPen(guide);
    for (int axis = 0; axis < 3; ++axis) p.drawLine(arrowCentre(axis, 0), arrowCentre(axis, 1));
}

void car(QPainter& p, const SkinPalette& s) {
    const QColor body = isLight(s.panel) ? QColor(0xC3CBD6) : QColor(0x545C69);
    const QColor dark = isLight(s.panel) ? QColor(0x6E7786) : QColor(0x20242A);
    const qreal x = kCentre.x(), y = kCentre.y();
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0, 0, 0, 50));
    p.drawEllipse(QPointF(x, y + 21), 36, 5);
    p.setBrush(dark);
    p.drawPath(roundedPath(QRectF(x - 31, y + 8, 12, 14), 3));
    p.drawPath(roundedPath(QRectF(x + 19, y + 8, 12, 14), 3));
    p.setBrush(verticalShade(QRectF(x - 34, y - 6, 68, 26), body.lighter(112), body));
    p.drawPath(roundedPath(QRectF(x - 34, y - 6, 68, 24), 7));
    QPainterPath cabin;
    cabin.moveTo(x - 22, y - 5);
    cabin.lineTo(x - 16, y - 21);
    cabin.lineTo(x + 16, y - 21);
    cabin.lineTo(x + 22, y - 5);
    cabin.closeSubpath();
    p.setBrush(body.darker(108));
    p.drawPath(cabin);
    p.setBrush(isLight(s.panel) ? QColor(0x8FA3BC) : QColor(0x2C3440));
    QPainterPath glass;
    glass.moveTo(x - 17, y - 7);
    glass.lineTo(x - 13, y - 18);
    glass.lineTo(x + 13, y - 18);
    glass.lineTo(x + 17, y - 7);
    glass.closeSubpath();
    p.drawPath(glass);
    p.setBrush(QColor(0xE0453A));
    p.drawPath(roundedPath(QRectF(x - 30, y + 1, 11, 5), 2));
    p.drawPath(roundedPath(QRectF(x + 19, y + 1, 11, 5), 2));
    p.setBrush(dark);
    p.drawPath(roundedPath(QRectF(x - 10, y + 7, 20, 6), 1.5));
}

void motorbike(QPainter& p, const SkinPalette& s) {
    const QColor body = isLight(s.panel) ? QColor(0xA9B3C0) : QColor(0x5C6471);
    const QColor dark = isLight(s.panel) ? QColor(0x5E6674) : QColor(0x1E2227);
    const qreal x = kCentre.x(), y = kCentre.y() + 2;
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0, 0, 0, 45));
    p.drawEllipse(QPointF(x, y + 20), 36, 4);
    p.setPen(QPen(dark, 5));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(QPointF(x - 22, y + 7), 11, 11);
    p.drawEllipse(QPointF(x + 22, y + 7), 11, 11);
    p.setPen(QPen(body, 4, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    QPainterPath frame;
    frame.moveTo(x - 22, y + 7);
    frame.lineTo(x - 6, y - 5);
    frame.lineTo(x + 10, y - 4);
    frame.lineTo(x + 22, y + 7);
    frame.moveTo(x + 10, y - 4);
    frame.lineTo(x + 15, y - 17);
    frame.lineTo(x + 21, y - 19);
    p.drawPath(frame);
    p.setPen(Qt::NoPen);
    p.setBrush(body.lighter(110));
    p.drawPath(roundedPath(QRectF(x - 14, y - 12, 22, 7), 3.5));
    p.setBrush(body.darker(115));
    p.drawPath(roundedPath(QRectF(x - 4, y - 6, 13, 11), 3));
}

// The three axes meeting in a ball: a recording whose camera is not known.
void axesBall(QPainter& p, const SkinPalette& s) {
    const QColor ink = stageInk(s);
    p.setPen(Qt::NoPen);
    p.setBrush(verticalShade(QRectF(kCentre.x() - 14, kCentre.y() - 14, 28, 28), ink.lighter(125), ink.darker(115)));
    p.drawEllipse(kCentre, 13, 13);
    p.setPen(QPen(withAlpha(Qt::white, 0.35), 1.5));
    p.setBrush(Qt::NoBrush);
    p.drawArc(QRectF(kCentre.x() - 9, kCentre.y() - 9, 18, 18), 70 * 16, 70 * 16);
}

void graphArrow(QPainter& p, const QSizeF& size, QPointF direction, const QColor& color) {
    const qreal length = std::hypot(direction.x(), direction.y());
    const QPointF u(direction.x() / length, direction.y() / length);
    const QPointF side(-u.y(), u.x());
    const QPointF c(size.width() / 2, size.height() / 2);
    const qreal reach = (std::abs(u.x()) * size.width() + std::abs(u.y()) * size.height()) / 2 - 1.5;
    const QPointF tip = c + u * reach, tail = c - u * reach;
    const qreal head = 7.5, halfWidth = 5.5, shaft = 2.1;
    QPainterPath arrow;
    arrow.moveTo(tail + side * shaft);
    arrow.lineTo(tip - u * head + side * shaft);
    arrow.lineTo(tip - u * head + side * halfWidth);
    arrow.lineTo(tip);
    arrow.lineTo(tip - u * head - side * halfWidth);
    arrow.lineTo(tip - u * head - side * shaft);
    arrow.lineTo(tail - side * shaft);
    arrow.closeSubpath();
    p.setPen(QPen(withAlpha(color.darker(170), 0.7), 1.0, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(color);
    p.drawPath(arrow);
    // The centre gives the window the axis colour: keep it solid.
    p.setPen(Qt::NoPen);
    p.drawEllipse(c, 1.8, 1.8);
}

void gsensor(std::vector<ArtFamily>& art, const SkinPalette& s) {
    art.push_back(single("GSensorGraphic", kCurves.size().toSize(), [s](QPainter& p, const QRectF& r) {
        p.fillRect(r, s.plot);
        p.setPen(QPen(withAlpha(Qt::white, 0.05), 1.0));
        for (int line = 1; line < 8; ++line) {
            const qreal x = std::floor(r.width() * line / 8) + 0.5;
            p.drawLine(QPointF(x, 0), QPointF(x, r.height()));
        }
        // The curves' centre line sits 31 rows above the bottom; their full scale 30 rows either side.
        hairline(p, 31, 0, r.width(), withAlpha(Qt::white, 0.28));
        QPen half(withAlpha(Qt::white, 0.12), 1.0, Qt::DashLine);
        half.setDashPattern({2, 3});
        p.setPen(half);
        for (qreal y : {16.0, 46.0}) p.drawLine(QPointF(0, y + 0.5), QPointF(r.width(), y + 0.5));
        hairline(p, 1, 0, r.width(), withAlpha(Qt::white, 0.06));
        hairline(p, 61, 0, r.width(), withAlpha(Qt::white, 0.06));
    }));
    // Backgrounds by the camera's kind: a car, a motorbike, or neither.
    auto background = [s](std::function<void(QPainter&, const SkinPalette&)> vehicle) {
        return [s, vehicle](QPainter& p, const QRectF& r) {
            graphStrip(p, s, r);
            curveFrame(p, s);
            axisGuides(p, s);
            vehicle(p, s);
        };
    };
    art.push_back(single("G-Sensor Screen_bg", kGraphSize, background(car)));
    art.push_back(single("G-Sensor Screen_default", kGraphSize, background(motorbike)));
    // The no-data pictures cover the whole panel: the vehicle dimmed and a light card where the
    // curves would be, for the mid-grey message.
    auto noData = [s](std::function<void(QPainter&, const SkinPalette&)> vehicle) {
        return [s, vehicle](QPainter& p, const QRectF& r) {
            graphStrip(p, s, r);
            p.setOpacity(0.4);
            axisGuides(p, s);
            vehicle(p, s);
            p.setOpacity(1.0);
            messageCard(p, QRectF(60, 17, 220, 44));
        };
    };
    art.push_back(single("G-Sensor Screen_disable", kGraphSize, noData(car)));
    art.push_back(single("G-Sensor Screen_default_d", kGraphSize, noData(axesBall)));

    const QColor axes[3] = {s.axisX, s.axisY, s.axisZ};
    const char* names[3] = {"arrow_x", "arrow_y", "arrow_z"};
    for (int axis = 0; axis < 3; ++axis)
        for (int direction = 0; direction < 2; ++direction) {
            const QPointF way = arrowCentre(axis, direction) - arrowCentre(axis, 1 - direction);
            art.push_back(single(QString("%1%2").arg(names[axis]).arg(direction + 1), arrowSize(axis).toSize(),
                                 [size = arrowSize(axis), way, color = axes[axis]](QPainter& p, const QRectF&) {
                                     graphArrow(p, size, way, color);
                                 }));
        }
}

void logo(std::vector<ArtFamily>& art, const SkinPalette& s) {
    art.push_back(single("icon_logo", QSize(96, 96), [s](QPainter& p, const QRectF&) {
        const QRectF tile(4, 4, 88, 88);
        p.setPen(Qt::NoPen);
        p.setBrush(verticalShade(tile, s.accent.lighter(115), s.accent.darker(135)));
        p.drawPath(roundedPath(tile, 20));
        // A dash camera: body, lens and the recording light.
        p.setBrush(QColor(0x1D2127));
        p.drawPath(roundedPath(QRectF(18, 30, 60, 40), 10));
        p.setBrush(QColor(0x3A414C));
        p.drawEllipse(QPointF(48, 50), 16, 16);
        p.setBrush(QColor(0x0E1013));
        p.drawEllipse(QPointF(48, 50), 10, 10);
        p.setBrush(withAlpha(Qt::white, 0.55));
        p.drawEllipse(QPointF(44, 46), 3, 3);
        p.setBrush(QColor(0xF0453A));
        p.drawEllipse(QPointF(70, 37), 3, 3);
        p.setBrush(QColor(0x2A3038));
        p.drawPath(roundedPath(QRectF(40, 22, 16, 9), 3));
    }));
}

}  // namespace

std::vector<ArtFamily> panelArtwork(const SkinPalette& palette) {
    std::vector<ArtFamily> art;
    strips(art, palette);
    sliders(art, palette);
    calendar(art, palette);
    recordingList(art, palette);
    dashboard(art, palette);
    gsensor(art, palette);
    logo(art, palette);
    return art;
}
