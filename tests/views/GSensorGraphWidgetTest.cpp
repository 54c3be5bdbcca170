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
    // The composed panel the print page takes: the white indicator over the curves, the red event
    // line, X's arrow for a positive value, Z's for a negative one, none for Y.
    const QImage composed = graph.getGensorBitmap();
    const auto at = [&composed](int x, int y) { return composed.pixelColor(x, y); };
    EXPECT_EQ(at(G::kGraphicX + 120, G::kGraphicY + 20), QColor(Qt::white));
    EXPECT_EQ(at(G::kGraphicX + 39, G::kGraphicY + 20), QColor(255, 0, 0));
    EXPECT_EQ(at(114 + 13, 168 + 10), graph.axisColor(G::kX));
    EXPECT_EQ(at(162 + 8, 170 + 11), graph.axisColor(G::kZ));
    EXPECT_NE(at(210 + 13, 169 + 10), graph.axisColor(G::kY));
    EXPECT_EQ(shoot(graph, "gsensor-graph"), composed.convertToFormat(QImage::Format_RGB32)) << "shown as composed";

    // The next recording without curves drops them; a camera with a sensor, of either name family,
    // says why.
    const SensorGraphic absent;  // present = false: no image at all
    for (int motor : {1, 2}) {
        graph.setGensorGraphic(motor == 1 ? &absent : nullptr, motor, 0.0);
        EXPECT_TRUE(graph.showsNoDataMessage() && !graph.hasCurves() && graph.valueText(G::kX).isEmpty()) << motor;
    }
    shoot(graph, "gsensor-graph-no-data");
}
