#include "ViewTestSupport.h"
#include "views/GSensorGraphWidget.h"

using G = GSensorGraphWidget;

TEST_F(ViewTest, GSensorValuesShowForNonZeroAxesOnlyWhileTheRecordingHasCurves) {
    G graph;
    graph.show();
    // Without curves the indicator only moves: no values.
    EXPECT_FALSE(graph.showsNoDataMessage());  // nothing classified yet
    graph.drawIndicator(50, 100, 200, 300);
    EXPECT_EQ(graph.indicatorX(), G::kGraphicX + 50);
    EXPECT_EQ(graph.valueText(G::kX), "");

    // X level above the centre line, Y below it, Z climbing; the event at x 39.
    const SensorGraphic curves{.present = true, .xCurve = {{0, 46}, {238, 46}}, .yCurve = {{0, 16}, {238, 16}},
                               .zCurve = {{0, 0}, {238, 62}}, .eventX = 39};
    graph.setGensorGraphic(&curves, 1, 1.6);
    graph.drawIndicator(120, 250, 0, -1500);
    EXPECT_EQ(graph.indicatorX(), G::kGraphicX + 120);
    EXPECT_EQ(graph.valueText(G::kX) + "|" + graph.valueText(G::kY) + "|" + graph.valueText(G::kZ), "0.250||-1.500");
    shoot(graph, "gsensor-graph");

    // The next recording without curves drops them; a camera with a sensor, of either name family,
    // says why.
    const SensorGraphic absent;  // present = false: no image at all
    for (int motor : {1, 2}) {
        graph.setGensorGraphic(motor == 1 ? &absent : nullptr, motor, 0.0);
        EXPECT_TRUE(graph.showsNoDataMessage() && !graph.hasCurves() && graph.valueText(G::kX).isEmpty()) << motor;
    }
    shoot(graph, "gsensor-graph-no-data");
}
