#pragma once
#include <QPixmap>
#include <QString>
#include <QWidget>

class NotificationCenter;

// A horizontal slider for whole values (volume, playback second). A press off the thumb jumps to
// the value under the pointer; dragging moves by the distance travelled. Every change the user
// makes is posted as SliderChangedNotification with the value and the identities of the owner
// ("PARENT_WINDOW") and of this slider ("SLIDER_WINDOW"); values set by the program post nothing.
// It can carry one mark (the strongest G-sensor moment) above the track. It is drawn from the skin:
// the empty track, the filled track up to the thumb's centre, the mark and the thumb; the track
// images stretch to the slider's width with their rounded ends kept.
class SliderWidget : public QWidget {
    Q_OBJECT
public:
    static constexpr int kThumbWidth = 16;
    static constexpr int kHeight = 16;

    // `track` names the track images: "volume" for "volume_bg.png" and "volume_full.png".
    SliderWidget(NotificationCenter& notifications, const QString& ownerIdentity, const QString& track,
                 QWidget* parent = nullptr);

    void loadSkinBitmap();
    const QString& identity() const { return identity_; }

    // Stops a drag in progress; the value is kept as it is.
    void setRange(int minimum, int maximum);
    int minimum() const { return minimum_; }
    int maximum() const { return maximum_; }
    void setCurrentValue(int value);
    int getCurrentValue() const { return current_; }
    // The thumb's x offset: the first pixel whose value is the current one (see xForValue).
    int getCurrentPos() const;

    // -1 removes the mark.
    void setEventMarkPos(int value);
    // The mark's centre x, -1 without a mark.
    int eventMarkX() const;

    // Moves the value by `delta` as a user's change (keys); nothing when disabled or unchanged.
    void stepByUser(int delta);

    // A disabled slider ignores presses (it is still drawn, dimmed).
    void setSliderEnabled(bool enabled);
    bool isSliderEnabled() const { return enabled_; }

    QSize sizeHint() const override { return {120, kHeight}; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    int span() const { return maximum_ - minimum_; }
    int sliderLength() const { return width() - kThumbWidth; }
    int clamped(long value) const;
    // The one pair of conversions between values and thumb offsets, used for painting, pressing,
    // dragging and the event mark. A thumb offset x holds the value minimum + x × (maximum −
    // minimum) ÷ (width − thumb width), cut; a value sits at the first offset that holds it, so a
    // value converts to an offset and back unchanged wherever each value has a pixel of its own.
    int xForValue(int value) const;
    long valueAtX(int x) const;
    void changeByUser(int value);

    NotificationCenter& notifications_;
    QString ownerIdentity_;
    QString identity_;
    QString track_;
    QPixmap emptyImage_, fullImage_, thumbImage_, eventImage_;
    int minimum_ = 0;
    int maximum_ = 10;
    int current_ = 0;
    int startValue_ = 0;
    int pressX_ = 0;
    bool dragging_ = false;
    int eventValue_ = -1;
    bool enabled_ = true;
};
