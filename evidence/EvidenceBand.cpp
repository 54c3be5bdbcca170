#include "evidence/EvidenceBand.h"

#include "Utility/StringTables.h"
#include "telemetry/SampleText.h"

#include <QFontMetrics>
#include <QPainter>

#include <algorithm>

namespace {

// The items in the order they are placed: the mark, date and time, speed, heading, latitude,
// longitude, X, Y, Z; each with the widest text it can show.
enum Item { Mark, DateTime, Speed, Heading, Latitude, Longitude, GX, GY, GZ, kItemCount };

const QColor kAxisColours[3] = {QColor(0xFF, 0x60, 0x60), QColor(0x60, 0xDC, 0x6E), QColor(0x5A, 0xAA, 0xFF)};
const QColor kMarkColour(0xE8, 0x10, 0x10);
const QColor kBandColour(0x10, 0x10, 0x10);

int fontPixels(int width) { return std::clamp(width / 60, 11, 24); }
int lineHeight(int width) { return fontPixels(width) * 3 / 2; }
int padding(int width) { return std::max(4, fontPixels(width) / 2); }

}  // namespace

EvidenceBandPainter::EvidenceBandPainter(std::int16_t speedUnit) : speedUnit_(speedUnit) {}

QFont EvidenceBandPainter::font(int width) const {
    QFont font("Helvetica");
    font.setPixelSize(fontPixels(width));
    font.setBold(true);
    font.setHintingPreference(QFont::PreferNoHinting);
    return font;
}

std::vector<EvidenceBandPainter::Slot> EvidenceBandPainter::layout(int width, int* lines) const {
    const QFontMetrics metrics(font(width));
    const QString degree = QString::fromStdString(pmGetString("IDS_UNIT_DEGREE"));
    const QString widest[kItemCount] = {
        QString(),
        QStringLiteral("0000/00/00 00:00:00"),
        QStringLiteral("000 ") + QString::fromStdString(pmGetSpeedUnitString(speedUnit_)),
        QStringLiteral("NW 000") + degree,
        QStringLiteral("N 00") + degree + QStringLiteral("00'00.0\""),
        QStringLiteral("W 000") + degree + QStringLiteral("00'00.0\""),
        QStringLiteral("X -0.000"), QStringLiteral("Y -0.000"), QStringLiteral("Z -0.000"),
    };
    const int gap = fontPixels(width), pad = padding(width);
    std::vector<Slot> places(kItemCount);
    int x = pad, y = pad, count = 1;
    for (int item = 0; item < kItemCount; ++item) {
        const int w = item == Mark ? fontPixels(width) : metrics.horizontalAdvance(widest[item]);
        if (x > pad && x + w > width - pad) {
            x = pad;
            y += lineHeight(width);
            ++count;
        }
        places[std::size_t(item)] = {x, y, w};
        x += w + gap;
    }
    if (lines) *lines = count;
    return places;
}

int EvidenceBandPainter::height(int width) const {
    int lines = 1;
    layout(width, &lines);
    return lines * lineHeight(width) + 2 * padding(width);
}

QImage EvidenceBandPainter::draw(const EvidenceBandText& text, int width, int height) const {
    QImage image(width, height, QImage::Format_RGB888);
    image.fill(kBandColour);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);
    painter.setFont(font(width));
    const std::vector<Slot> places = layout(width);
    const int line = lineHeight(width);
    auto put = [&](Item item, const std::string& value, const QColor& colour) {
        const Slot& slot = places[std::size_t(item)];
        painter.setPen(colour);
        painter.drawText(QRect(slot.x, slot.y, slot.width + fontPixels(width), line), Qt::AlignLeft | Qt::AlignVCenter,
                         QString::fromStdString(value));
    };
    if (text.mark) {
        const Slot& slot = places[Mark];
        const int d = fontPixels(width);
        painter.setPen(Qt::NoPen);
        painter.setBrush(kMarkColour);
        painter.drawEllipse(QRect(slot.x, slot.y + (line - d) / 2, d, d));
    }
    put(DateTime, text.dateTime, Qt::white);
    put(Speed, text.speed, Qt::white);
    put(Heading, text.heading, Qt::white);
    put(Latitude, text.latitude, Qt::white);
    put(Longitude, text.longitude, Qt::white);
    static constexpr const char* kAxes[3] = {"X ", "Y ", "Z "};
    for (int axis = 0; axis < 3; ++axis)
        put(Item(GX + axis), kAxes[axis] + text.g[std::size_t(axis)], kAxisColours[axis]);
    return image;
}
