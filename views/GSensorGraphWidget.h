#pragma once
#include "app/ControllerViews.h"
#include "app/SensorGraphic.h"

#include <QColor>
#include <QImage>
#include <QWidget>

#include <array>
#include <optional>

// The G-sensor panel, composed from the skin's images: the background of the camera's kind with
// the legend and the scale, the recording's three curves over "GSensorGraphic.png" with the red
// event line, a white indicator at the current second, and for that second each axis's value
// with an arrow the way the car is pushed. Without curves it shows the no-data picture of the
// camera's kind, with its message. The axis colours are the centre pixels of the skin's arrows.
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
    void loadSkinBitmap() override;

    // A copy of the composed panel, as shown (the print page takes it).
    QImage getGensorBitmap() const { return composed_; }
    QColor axisColor(Axis axis) const { return axisColors_[axis]; }

    bool hasCurves() const { return curves_.has_value(); }
    // The indicator's x in the panel, -1 before the first move.
    int indicatorX() const { return indicatorX_; }
    double scaleValue() const { return scale_; }
    int motorType() const { return motorType_; }
    // The value text shown for an axis ("%.3f" in g), empty when none shows.
    QString valueText(Axis axis) const;
    // Whether the no-data picture on show carries its message.
    bool showsNoDataMessage() const;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    bool isShowNoSensorMsg() const;
    void xCheckArrowColor();
    void xCreateBackgroundBitmap();
    QImage xCombineBitmapWithText(const QImage& image, const QString& text) const;
    void renderCurves();
    void createGensorBitmap(int x, int y, int z);
    const QImage& noDataPicture() const;

    QImage background_;       // the skin's background with the legend and the scale labels
    QImage disableBitmap_;    // no data, a camera with a sensor
    QImage unknownBitmap_;    // no recording classified
    QImage disableMotoBitmap_;  // no data, the second name family's cameras
    QImage curvesImage_;      // the curves over "GSensorGraphic.png"
    QImage composed_;
    std::array<std::array<QImage, 2>, 3> arrows_;  // per axis: positive, zero or negative
    std::array<QColor, 3> axisColors_;
    std::optional<SensorGraphic> curves_;
    int motorType_ = 0;
    double scale_ = 2.0;
    int indicatorX_ = -1;
    std::array<int, 3> values_{};  // thousandths of g
};
