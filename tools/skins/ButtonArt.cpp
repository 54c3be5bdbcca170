#include "ArtCatalogue.h"
#include "Glyphs.h"

namespace {

using Content = std::function<void(QPainter&, const QRectF& face, const QColor& ink)>;

// A family whose every state is a button face with content.
ArtFamily button(const QString& stem, QSize size, int states, const ButtonLook& look, Content content) {
    return {stem, ".png", size, states, [look, content](QPainter& p, const QRectF& box, ButtonState state) {
                paintButton(p, box, state, look, content);
            }};
}

// Content: one symbol of `side` pixels, centred in the face, optionally nudged.
Content symbol(const Glyph& g, qreal side, QPointF offset = {}) {
    return [g, side, offset](QPainter& p, const QRectF& face, const QColor& ink) {
        const QPointF c = face.center() + offset;
        drawGlyph(p, QRectF(c.x() - side / 2, c.y() - side / 2, side, side), g, ink);
    };
}

// Content: symbols side by side, centred as a group.
Content symbols(std::vector<Glyph> gs, qreal side, qreal gap) {
    return [gs, side, gap](QPainter& p, const QRectF& face, const QColor& ink) {
        const qreal total = gs.size() * side + (gs.size() - 1) * gap;
        qreal x = face.center().x() - total / 2;
        for (const Glyph& g : gs) {
            drawGlyph(p, QRectF(x, face.center().y() - side / 2, side, side), g, ink);
            x += side + gap;
        }
    };
}

// Content: nothing; the window draws the button's title over the face.
Content titled() {
    return [](QPainter&, const QRectF&, const QColor&) {};
}

// Content: digits and signs as shapes.
Content digits(const QString& text, qreal pixelSize, QPointF offset = {}) {
    return [text, pixelSize, offset](QPainter& p, const QRectF& face, const QColor& ink) {
        p.setPen(Qt::NoPen);
        p.setBrush(ink);
        p.drawPath(symbolText(text, pixelSize, face.center() + offset));
    };
}

Content camera(const QString& number) {
    return [number](QPainter& p, const QRectF& face, const QColor& ink) {
        const QPointF c = face.center();
        drawGlyph(p, QRectF(c.x() - 21, c.y() - 11, 22, 22), glyph::capture, ink);
        p.setPen(Qt::NoPen);
        p.setBrush(ink);
        p.drawPath(symbolText(number, 14, QPointF(c.x() + 12 + number.size() * 2.5, c.y())));
    };
}

void toolbarButtons(std::vector<ArtFamily>& art, const SkinPalette& s) {
    const ButtonLook look{ButtonLook::Shape::kFlat, s.face, s.stripGlyph, s.accent, 5, 2};
    const QSize size(45, 30);
    art.push_back(button("button_open", size, 4, look, symbol(glyph::open, 22)));
    art.push_back(button("button_print", size, 4, look, symbol(glyph::print, 22)));
    art.push_back(button("button_backup", size, 4, look, symbol(glyph::backup, 22)));
    art.push_back(button("button_capture", size, 4, look, symbol(glyph::capture, 22)));
    art.push_back(button("button_window_switch", size, 4, look, symbol(glyph::windowSwitch, 22)));
    art.push_back(button("button_export", size, 4, look, symbol(glyph::exportTrack, 22)));
    art.push_back(button("button_evidence", size, 4, look, symbol(glyph::evidence, 22)));
    art.push_back(button("button_youtube", QSize(60, 30), 4, look, symbols({glyph::video, glyph::uploadArrow}, 20, 2)));
    art.push_back(
        button("button_facebook", QSize(90, 30), 4, look, symbols({glyph::people, glyph::uploadArrow}, 20, 2)));
    // Settings hangs below the strip's button row as a tab, with the mark of its menu.
    art.push_back(button("button_settings", QSize(45, 45), 4, look, [](QPainter& p, const QRectF& face, const QColor& ink) {
        drawGlyph(p, QRectF(face.center().x() - 11, 2, 22, 22), glyph::settings, ink);
        drawGlyph(p, QRectF(face.center().x() - 6, 30, 12, 12), glyph::chevronDown, withAlpha(ink, 0.75));
    }));
}

void playBarButtons(std::vector<ArtFamily>& art, const SkinPalette& s) {
    const QColor ink(0xEEF1F5);
    const ButtonLook flat{ButtonLook::Shape::kFlat, s.bar.lighter(175), ink, s.accent, 6, 1};
    const QSize small(32, 32);
    art.push_back(button("button_previous", small, 4, flat, symbol(glyph::previous, 22)));
    art.push_back(button("button_next", small, 4, flat, symbol(glyph::next, 22)));
    art.push_back(button("icon_volume_on", small, 4, flat, symbol(glyph::volumeOn, 22)));
    art.push_back(button("icon_volume_off", small, 4, flat, symbol(glyph::volumeOff, 22)));
    art.push_back(button("button_full", small, 4, flat, symbol(glyph::fullScreen, 20)));
    art.push_back(button("button_full1", small, 4, flat, symbol(glyph::normalScreen, 20)));

    const ButtonLook round{ButtonLook::Shape::kCircle, s.accent, QColor(Qt::white), QColor(255, 255, 255, 200), 0, 1};
    const QSize big(40, 40);
    art.push_back(button("button_play", big, 4, round, symbol(glyph::play, 24, {1, 0})));
    art.push_back(button("button_pause", big, 4, round, symbol(glyph::pause, 24)));
    art.push_back(button("button_play_previous", big, 4, round, symbol(glyph::playReverse, 24, {-1, 0})));

    // The speed looks carry the rate they play at.
    const ButtonLook pill{ButtonLook::Shape::kRounded, s.bar.lighter(160), ink, s.accent, 7, 2};
    const QSize speed(46, 28);
    art.push_back(button("button_playback1", speed, 4, pill, digits(QStringLiteral("1×"), 13)));
    art.push_back(button("button_playback1.5", speed, 4, pill, digits(QStringLiteral("1.5×"), 13)));
    art.push_back(button("button_playback2", speed, 4, pill, digits(QStringLiteral("2×"), 13)));
    art.push_back(button("button_playback", speed, 4, pill, digits(QStringLiteral("¼×"), 14)));
    art.push_back(button("button_playback1-2", speed, 4, pill, digits(QStringLiteral("½×"), 14)));
}

void calendarControls(std::vector<ArtFamily>& art, const SkinPalette& s) {
    const ButtonLook strip{ButtonLook::Shape::kFlat, s.face, s.stripGlyph, s.accent, 5, 2};
    art.push_back(button("button_calendar_back", QSize(30, 30), 4, strip, symbol(glyph::chevronLeft, 20)));
    art.push_back(button("button_calendar_next", QSize(30, 30), 4, strip, symbol(glyph::chevronRight, 20)));
    const ButtonLook mode{ButtonLook::Shape::kRounded, s.modeFace, s.stripGlyph, s.accent, 7, 3};
    art.push_back(button("button_calendar", QSize(85, 30), 4, mode, titled()));
    // The combo box's spin sits on its light field: dark symbol.
    const ButtonLook spin{ButtonLook::Shape::kFlat, QColor(0xD8DEE6), QColor(0x3A4250), s.accent, 3, 1};
    art.push_back(button("button_enter", QSize(16, 19), 4, spin, symbol(glyph::chevronDown, 13)));

    // Check boxes on the dark list header.
    auto box = [s](bool checked) {
        return [s, checked](QPainter& p, const QRectF& r, ButtonState state) {
            QRectF face = r.adjusted(1.5, 1.5, -1.5, -1.5);
            if (state == ButtonState::kPressed) face.adjust(0.5, 0.5, -0.5, -0.5);
            const qreal opacity = state == ButtonState::kDisabled ? 0.4 : 1.0;
            p.setOpacity(opacity);
            QColor fill = checked ? s.accent : QColor(255, 255, 255, 24);
            if (state == ButtonState::kPressed) fill = checked ? s.accent.darker(125) : QColor(255, 255, 255, 48);
            if (state == ButtonState::kHover && checked) fill = s.accent.lighter(112);
            p.setBrush(fill);
            const QColor edge = state == ButtonState::kHover ? s.accent.lighter(130) : QColor(255, 255, 255, checked ? 0 : 200);
            p.setPen(QPen(edge, state == ButtonState::kHover ? 1.6 : 1.3));
            p.drawPath(roundedPath(face, 3));
            if (checked) drawGlyph(p, face.adjusted(1, 1, -1, -1), glyph::check, Qt::white);
            p.setOpacity(1.0);
        };
    };
    art.push_back({"calendar_checkbox", ".png", QSize(16, 16), 4, box(true)});
    art.push_back({"calendar_uncheckbox", ".png", QSize(16, 16), 4, box(false)});
}

void scrollBarControls(std::vector<ArtFamily>& art, const SkinPalette& s) {
    const QColor track = mix(s.row2, s.panelGlyph, 0.18);
    const ButtonLook arrow{ButtonLook::Shape::kFlat, mix(track, s.panelGlyph, 0.35), s.panelGlyph.darker(115), s.accent, 3, 1};
    art.push_back(button("button_bar_up", QSize(14, 14), 4, arrow, symbol(glyph::triangleUp, 13)));
    art.push_back(button("button_bar_down", QSize(14, 14), 4, arrow, symbol(glyph::triangleDown, 13)));
    art.push_back({"slider", ".png", QSize(14, 30), 4, [s](QPainter& p, const QRectF& r, ButtonState state) {
                       QRectF thumb = r.adjusted(3, 1.5, -3, -1.5);
                       QColor fill = s.panelGlyph;
                       if (state == ButtonState::kHover) fill = s.accent;
                       if (state == ButtonState::kPressed) fill = s.accent.darker(120), thumb.adjust(0.5, 0.5, -0.5, -0.5);
                       if (state == ButtonState::kDisabled) fill = withAlpha(s.panelGlyph, 0.4);
                       p.setPen(Qt::NoPen);
                       p.setBrush(fill);
                       p.drawPath(roundedPath(thumb, 4));
                   }});
}

void mapButtons(std::vector<ArtFamily>& art, const SkinPalette& s) {
    const QColor ink(0xEEF1F5);
    const ButtonLook bar{ButtonLook::Shape::kFlat, QColor(0x4A5260), ink, s.accent, 4, 1};
    art.push_back(button("button_full_map", QSize(30, 20), 4, bar, symbol(glyph::fullScreen, 15)));
    art.push_back(button("button_full1_map", QSize(30, 20), 4, bar, symbol(glyph::normalScreen, 15)));
    art.push_back(button("button_google_map", QSize(30, 20), 3, bar, symbol(glyph::gauge, 17)));
    const ButtonLook unit{ButtonLook::Shape::kRounded, mix(s.dashboard, s.accent, 0.28), ink, s.accent, 6, 1};
    art.push_back(button("km_map", QSize(40, 20), 3, unit, titled()));
    art.push_back(button("km_gps", QSize(70, 25), 3, unit, titled()));
    const ButtonLook link{ButtonLook::Shape::kCircle, mix(s.dashboard, s.accent, 0.35), ink, s.accent, 0, 3};
    art.push_back(button("gps_link", QSize(40, 40), 3, link, symbol(glyph::mapPin, 22)));
}

void dialogButtons(std::vector<ArtFamily>& art, const SkinPalette& s) {
    const ButtonLook look{ButtonLook::Shape::kRounded, s.face, s.stripGlyph, s.accent, 6, 2};
    const QSize size(76, 35);
    art.push_back(button("button_print_camera1", size, 3, look, camera("1")));
    art.push_back(button("button_print_camera2", size, 3, look, camera("2")));
    art.push_back(button("button_print_camera12", size, 3, look, camera("1+2")));
}

}  // namespace

std::vector<ArtFamily> buttonArtwork(const SkinPalette& palette) {
    std::vector<ArtFamily> art;
    toolbarButtons(art, palette);
    playBarButtons(art, palette);
    calendarControls(art, palette);
    scrollBarControls(art, palette);
    mapButtons(art, palette);
    dialogButtons(art, palette);
    return art;
}

QStringList artFileNames(const ArtFamily& family) {
    static const char* const kSuffixes[] = {"", "_d", "_f", "_g"};
    QStringList names;
    for (int state = 0; state < family.states; ++state)
        names << family.stem + kSuffixes[state] + family.extension;
    return names;
}
