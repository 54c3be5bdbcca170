#pragma once
#include "app/ControllerViews.h"
#include "app/SensorGraphic.h"

#include <QColor>
#include <QWidget>

#include <optional>

// The G-sensor panel: the recording's three acceleration curves over its whole length with the
// red event line, a white indicator at the current second, and for that second each axis's value
// with an arrow the way the car is pushed. Without curves it shows the no-data picture of the
// camera's kind.
class GSensorGraphWidget : public QWidget, public GSensorGraphView {
    Q_OBJECT
public:
    static constexpr int kWidth = 340;
    static constexpr int kHeight = 215;
    // Where the curves go, from the panel's top left.
    static constexpr int kGraphicX = 51;
    static constexpr int kGraphicY = 3;

    enum Axis { kX = 0, kY = 1, kZ = 2 };

    explicit GSensorGraphWidget(QWidget* parent = nullptr);

    // GSensorGraphView
    void setGensorGraphic(const SensorGraphic* graphic, int motorType, double range) override;
    void drawIndicator(int position, int x, int y, int z) override;
    void loadSkinBitmap() override { update(); }

    bool hasCurves() const { return curves_.has_value(); }
    // The indicator's x in the panel, -1 before the first move.
    int indicatorX() const { return indicatorX_; }
    double scaleValue() const { return scale_; }
    int motorType() const { return motorType_; }
    // The value text shown for an axis ("%.3f" in g), empty when none shows.
    QString valueText(Axis axis) const;
    bool showsNoDataMessage() const;
    static QColor axisColor(Axis axis);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void drawBackground(QPainter& p, bool dimmed) const;
    void drawCurves(QPainter& p) const;
    void drawValues(QPainter& p) const;

    std::optional<SensorGraphic> curves_;
    int motorType_ = 0;
    double scale_ = 2.0;
    double labelScale_ = 2.0;  // the labels change only with new curves
    int indicatorX_ = -1;
    int values_[3] = {0, 0, 0};  // thousandths of g
};
