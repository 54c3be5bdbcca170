#pragma once
#include <QColor>
#include <QTimer>
#include <QWidget>

#include <vector>

// The turning indicator of the waiting window: twelve fins around a centre, the brightest one
// stepping on every 50 ms while the others fade behind it. It runs on the GUI thread's timer;
// long work runs elsewhere so that the timer keeps firing.
class SpinningIndicator : public QWidget {
    Q_OBJECT
public:
    static constexpr int kFins = 12;
    static constexpr double kFade = 0.85;
    static constexpr double kMinimumAlpha = 0.15;

    explicit SpinningIndicator(QWidget* parent = nullptr);

    void setColor(const QColor& color);
    QColor color() const { return foreColor_; }
    void setBackgroundColor(const QColor& color);
    void setDrawsBackground(bool draws);

    void startAnimation();
    void stopAnimation();
    bool isAnimating() const { return animating_; }

    // One step of the animation: the bright fin moves back by one, the others fade.
    void updateFrame();
    // The fin that is brightest now, and each fin's alpha (0..1).
    int position() const { return position_; }
    double finAlpha(int fin) const { return alphas_[static_cast<std::size_t>(fin)]; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QTimer timer_;
    std::vector<double> alphas_;
    QColor foreColor_ = Qt::black;
    QColor backColor_ = Qt::transparent;
    bool drawsBackground_ = false;
    bool animating_ = false;
    int position_ = 0;
};
