#include "ViewTestSupport.h"
#include "views/GSensorGraphWidget.h"

#include <gtest/gtest.h>

namespace {

constexpr int kLeft = GSensorGraphWidget::kGraphicX;
constexpr int kTop = GSensorGraphWidget::kGraphicY;

// Curves with the origin at the plot's bottom left: X level 15 above the centre line, Y level
// 15 below it, Z climbing from the bottom to the top; the event at x 39.
SensorGraphic testCurves() {
    SensorGraphic g;
    g.present = true;
    for (int x = 0; x <= SensorGraphic::kWidth; x += 17) {
        g.xCurve.push_back({double(x), 46});
        g.yCurve.push_back({double(x), 16});
        g.zCurve.push_back({double(x), 62.0 * x / SensorGraphic::kWidth});
    }
    g.eventX = 39;
    return g;
}

// The panel pixel of a curve point.
QPoint at(double x, double y) { return {kLeft + int(x), kTop + SensorGraphic::kHeight - int(y)}; }

bool near(QColor a, QColor b) {
    return std::abs(a.red() - b.red()) < 40 && std::abs(a.green() - b.green()) < 40 && std::abs(a.blue() - b.blue()) < 40;
}

}  // namespace

TEST(GSensorGraphWidget, DrawsTheThreeCurvesTheEventLineAndTheIndicator) {
    ViewTest t;
    GSensorGraphWidget graph;
    graph.show();
    const SensorGraphic curves = testCurves();
    graph.setGensorGraphic(&curves, 1, 1.6);
    EXPECT_TRUE(graph.hasCurves());
    EXPECT_DOUBLE_EQ(graph.scaleValue(), 1.6);
    EXPECT_FALSE(graph.showsNoDataMessage());

    graph.drawIndicator(120, 250, 0, -1500);
    EXPECT_EQ(graph.indicatorX(), kLeft + 120);
    EXPECT_EQ(graph.valueText(GSensorGraphWidget::kX), "0.250");
    EXPECT_EQ(graph.valueText(GSensorGraphWidget::kY), "");  // zero: no arrow, no value
    EXPECT_EQ(graph.valueText(GSensorGraphWidget::kZ), "-1.500");

    const QImage image = ViewTest::shoot(graph, "gsensor-graph");
    ASSERT_FALSE(image.isNull());
    EXPECT_TRUE(near(image.pixelColor(at(100, 46)), graph.axisColor(GSensorGraphWidget::kX)));
    EXPECT_TRUE(near(image.pixelColor(at(100, 16)), graph.axisColor(GSensorGraphWidget::kY)));
    EXPECT_FALSE(near(image.pixelColor(at(100, 30)), graph.axisColor(GSensorGraphWidget::kX)));
    // The event line is red over the full height, the indicator white.
    for (int y : {1, 31, 58}) EXPECT_EQ(image.pixelColor(kLeft + 39, kTop + y), QColor(255, 0, 0)) << y;
    for (int y : {1, 31, 58}) EXPECT_EQ(image.pixelColor(kLeft + 120, kTop + y), QColor(Qt::white)) << y;
    EXPECT_NE(image.pixelColor(kLeft + 121, kTop + 31), QColor(Qt::white));

    // The X arrow for a positive value, the Z arrow for a negative one, none for Y.
    // The diagonal arrows are 26 x 20, the vertical ones 16 x 22.
    auto arrowCentre = [&](int x, int y) {
        return x == 162 ? image.pixelColor(x + 8, y + 11) : image.pixelColor(x + 13, y + 10);
    };
    EXPECT_TRUE(near(arrowCentre(114, 168), graph.axisColor(GSensorGraphWidget::kX)));
    EXPECT_FALSE(near(arrowCentre(210, 105), graph.axisColor(GSensorGraphWidget::kX)));
    EXPECT_TRUE(near(arrowCentre(162, 170), graph.axisColor(GSensorGraphWidget::kZ)));
    EXPECT_FALSE(near(arrowCentre(162, 90), graph.axisColor(GSensorGraphWidget::kZ)));
    for (QPoint arrow : {QPoint(210, 169), QPoint(107, 104)})
        EXPECT_FALSE(near(arrowCentre(arrow.x(), arrow.y()), graph.axisColor(GSensorGraphWidget::kY)));
}

TEST(GSensorGraphWidget, WithoutCurvesTheIndicatorOnlyMovesAndTheCameraKindSaysWhy) {
    ViewTest t;
    GSensorGraphWidget graph;
    graph.show();
    EXPECT_EQ(graph.indicatorX(), -1);
    EXPECT_DOUBLE_EQ(graph.scaleValue(), 2.0);
    EXPECT_FALSE(graph.showsNoDataMessage());  // nothing classified yet

    graph.drawIndicator(50, 100, 200, 300);
    EXPECT_EQ(graph.indicatorX(), kLeft + 50);
    EXPECT_EQ(graph.valueText(GSensorGraphWidget::kX), "");
    const QImage quiet = ViewTest::shoot(graph, "gsensor-graph-empty");
    EXPECT_NE(quiet.pixelColor(kLeft + 50, kTop + 31), QColor(Qt::white));

    // A camera that has a sensor but gave no values, of either name family, gets the message.
    for (int motor : {1, 2}) {
        graph.setGensorGraphic(nullptr, motor, 0.0);
        EXPECT_TRUE(graph.showsNoDataMessage()) << motor;
    }
    const SensorGraphic absent;  // present = false: no image at all
    graph.setGensorGraphic(&absent, 1, 0.0);
    EXPECT_FALSE(graph.hasCurves());
    ViewTest::shoot(graph, "gsensor-graph-no-data");

    // Curves handed over once are dropped by the next recording without them.
    const SensorGraphic curves = testCurves();
    graph.setGensorGraphic(&curves, 1, 2.0);
    graph.drawIndicator(10, 1, 1, 1);
    graph.setGensorGraphic(nullptr, 0, 0.0);
    EXPECT_FALSE(graph.hasCurves());
    EXPECT_EQ(graph.valueText(GSensorGraphWidget::kX), "");
}
