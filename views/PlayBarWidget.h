#pragma once
#include "app/ControllerViews.h"
#include "app/NotificationCenter.h"

#include <QPixmap>
#include <QWidget>

class BitmapButton;
class MultiButtons;
class SliderWidget;

// The bar under the video, drawn from the skin: previous, play/pause, next, the speed (its looks
// show the rate), mute, the volume slider, the played time, the time slider with the event mark,
// the recording's length and full screen. Every press is posted to the controller as
// PlayBarButtonClickedNotification with its code; the sliders' changes are relayed as
// DoSliderChangedNotification with "SLIDER_TYPE" "volume" or "time". The bar plays nothing itself.
//
// The buttons and the volume slider keep fixed places from the left; the time slider starts at
// 385 and stretches to the length and full-screen button kept at the right end, so the bar fills
// any width the window gives it.
class PlayBarWidget : public QWidget, public PlayBarView {
    Q_OBJECT
public:
    // The codes posted for the buttons.
    enum Code { kPlay = 1, kPause = 2, kNext = 3, kPrevious = 4, kMute = 7, kSpeed = 9, kFullScreen = 10 };
    static constexpr int kSpeedStates = 5;
    static constexpr int kBarHeight = 44;

    explicit PlayBarWidget(NotificationCenter& notifications, QWidget* parent = nullptr);
    ~PlayBarWidget() override;

    // PlayBarView
    int playButtonIndex() const override;
    void setPlayButtonIndex(int index) override;
    int speedButtonIndex() const override;
    void enableMediaButtons(bool enable) override;
    void setTimeSliderEnabled(bool enabled) override;
    void setTimeSliderRange(int minimum, int maximum) override;
    void setTimeSliderValue(int value) override;
    int timeSliderPosition() const override;
    void setEventMarkPos(int second) override;
    void resetPlayButtons() override;
    void setPlayTime(int playedSeconds, int totalSeconds, bool redraw) override;
    void setMute(bool mute) override;
    void loadSkinBitmap() override;

    bool isMute() const;
    bool isFullScreenShown() const;
    int volume() const;
    SliderWidget& timeSlider() { return *timeSlider_; }
    SliderWidget& volumeSlider() { return *volumeSlider_; }
    const QString& playedTimeText() const { return playedText_; }
    const QString& totalTimeText() const { return totalText_; }
    // Clicks the button of a code (kPlay: the play/pause button) as the pointer would: nothing
    // when it is disabled. The window's keys act through here.
    void pressButton(Code code);
    // Re-reads the tool tips (after a language change).
    void changeLanguage() override;

    // "%02d:%02d" of minutes and seconds; an hour is not shown, and 0 or less shows 00:00.
    static QString timeText(int seconds);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void pressed(int code);
    void relaySlider(const Notification& notification);
    void addLooks();
    QRect playedBox() const;
    QRect totalBox() const;

    NotificationCenter& notifications_;
    NotificationCenter::Token sliderToken_ = 0;
    QString identity_;
    QPixmap background_;
    BitmapButton* prevButton_;
    MultiButtons* playButton_;
    MultiButtons* playReverseButton_;
    BitmapButton* nextButton_;
    MultiButtons* speedButton_;
    MultiButtons* muteButton_;
    MultiButtons* fullScreenButton_;
    SliderWidget* volumeSlider_;
    SliderWidget* timeSlider_;
    int playedSeconds_ = 0;
    int totalSeconds_ = 0;
    QString playedText_;
    QString totalText_;
};
