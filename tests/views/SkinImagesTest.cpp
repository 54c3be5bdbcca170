#include "ViewTestSupport.h"
#include "views/SkinImages.h"
#include "views/TextLayout.h"

#include <gtest/gtest.h>

#include <QFontMetrics>

TEST_F(ViewTest, TextLayoutVerticalAlignmentMovesTheTopByTheRoomLeftOver) {
    // The layouts' own example: a rectangle 40 high, a font whose sample line is 14 high. From the
    // bottom left, alignment 0 adds 26 to y, 1 adds 13, 2 nothing; from the top left that is a
    // top moved by 0, 13 and 26.
    QFont font = pmViewFont(10);
    for (int size = 8; size <= 20 && QFontMetrics(font).boundingRect("TEST").height() != 14; ++size)
        font.setPixelSize(size);
    ASSERT_EQ(QFontMetrics(font).boundingRect("TEST").height(), 14) << "no Helvetica size with a 14-pixel line";
    const std::pair<int, int> cases[] = {{kTextTop, 0}, {kTextCentre, 13}, {kTextBottom, 26}};
    for (const auto& [alignment, moved] : cases) {
        QRect rect(5, 100, 80, 40);
        pmCalcTextInRect(rect, font, alignment);
        EXPECT_EQ(rect, QRect(5, 100 + moved, 80, 14)) << "alignment " << alignment;
    }
}

TEST_F(ViewTest, SkinImagesMissingImageIsNullAndMirroringReversesRows) {
    EXPECT_TRUE(pmLoadImage("no_such_image.png").isNull());
    EXPECT_TRUE(pmFlipImage(QPixmap()).isNull());

    QImage strip(3, 2, QImage::Format_ARGB32);
    const QRgb colours[3] = {qRgb(255, 0, 0), qRgb(0, 255, 0), qRgba(0, 0, 255, 128)};
    for (int x = 0; x < 3; ++x)
        for (int y = 0; y < 2; ++y) strip.setPixel(x, y, colours[x]);
    const QImage flipped = pmFlipImage(QPixmap::fromImage(strip)).toImage().convertToFormat(QImage::Format_ARGB32);
    ASSERT_EQ(flipped.size(), strip.size());
    for (int x = 0; x < 3; ++x)
        for (int y = 0; y < 2; ++y) EXPECT_EQ(flipped.pixel(x, y), colours[2 - x]) << x << "," << y;
}
