#pragma once
#include "outputs/EvidenceMoment.h"

#include <QFont>
#include <QImage>

// Draws the clip's band: white text on an opaque black band, the G values in the axis colours of
// the graph, and a red disc at the left during the moment's second. Every item has a place of its
// own, as wide as its widest text, so nothing moves from one second to the next; items flow onto
// as many lines as the width needs.
class EvidenceBandPainter {
public:
    explicit EvidenceBandPainter(std::int16_t speedUnit);

    int height(int width) const;
    QImage draw(const EvidenceBandText& text, int width, int height) const;

private:
    struct Slot {
        int x = 0;
        int y = 0;
        int width = 0;
    };
    std::vector<Slot> layout(int width, int* lines = nullptr) const;
    QFont font(int width) const;

    std::int16_t speedUnit_;
};
