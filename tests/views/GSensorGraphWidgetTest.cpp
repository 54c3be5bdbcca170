#include "ViewTestSupport.h"
#include "views/GSensorGraphWidget.h"

#include <tuple>

namespace {

using G = GSensorGraphWidget;

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

struct Graph : ViewTest {
    Graph() { graph.show(); }
    // The panel's colour at a point of the plot, from its top left.
    static QColor plot(const QImage& shot, int x, int y) { return shot.pixelColor(G::kGraphicX + x, G::kGraphicY + y); }
    G graph;
    const SensorGraphic curves = testCurves();
};

}  // namespace

TEST_F(Graph, CurvesEventLineIndicatorAndAnArrowPerNonZeroAxisOnlyWhileTheRecordingHasCurves) {
    // Without curves the indicator only moves: no line, no values.
    EXPECT_FALSE(graph.showsNoDataMessage());  // nothing classified yet
    graph.drawIndicator(50, 100, 200, 300);
    EXPECT_EQ(graph.indicatorX(), G::kGraphicX + 50);
    EXPECT_EQ(graph.valueText(G::kX), "");
    EXPECT_NE(plot(shoot(graph, "gsensor-graph-empty"), 50, 31), QColor(Qt::white));

    graph.setGensorGraphic(&curves, 1, 1.6);
    graph.drawIndicator(120, 250, 0, -1500);
    EXPECT_EQ(graph.indicatorX(), G::kGraphicX + 120);
    EXPECT_EQ(graph.valueText(G::kX) + "|" + graph.valueText(G::kY) + "|" + graph.valueText(G::kZ), "0.250||-1.500");
    // The curves stand on the plot's bottom edge; the event line is red over the full height, the
    // indicator white.
    const QImage image = shoot(graph, "gsensor-graph");
    ASSERT_FALSE(image.isNull());
    EXPECT_TRUE(near(plot(image, 100, SensorGraphic::kHeight - 46), G::axisColor(G::kX)));
    for (int y : {1, 31, 58}) {
        EXPECT_EQ(plot(image, 39, y), QColor(255, 0, 0)) << y;
        EXPECT_EQ(plot(image, 120, y), QColor(Qt::white)) << y;
    }
    // Arrows (top left) by direction: positive X and negative Z show, their opposites and Y none.
    const std::tuple<int, int, G::Axis, bool> arrows[] = {{114, 168, G::kX, true},  {210, 105, G::kX, false},
                                                          {162, 170, G::kZ, true},  {162, 90, G::kZ, false},
                                                          {210, 169, G::kY, false}, {107, 104, G::kY, false}};
    for (const auto& [x, y, axis, shown] : arrows)
        EXPECT_EQ(near(image.pixelColor(x + 12, y + 10), G::axisColor(axis)), shown) << "arrow at " << x << "," << y;

    // The next recording without curves drops them; a camera with a sensor, of either name family,
    // says why.
    const SensorGraphic absent;  // present = false: no image at all
    for (int motor : {1, 2}) {
        graph.setGensorGraphic(motor == 1 ? &absent : nullptr, motor, 0.0);
        EXPECT_TRUE(graph.showsNoDataMessage() && !graph.hasCurves() && graph.valueText(G::kX).isEmpty()) << motor;
    }
    shoot(graph, "gsensor-graph-no-data");
}
