#pragma once
#include "app/ControllerViews.h"
#include "app/NotificationCenter.h"

#include <QWidget>

class QLabel;
class QToolButton;
class SliderWidget;

// The bar under the video: previous, play/pause, next, speed, mute, the volume slider, the played
// time, the time slider, the total time and full screen. Every press is posted to the controller
// as PlayBarButtonClickedNotification with its code; the sliders' changes are relayed as
// DoSliderChangedNotification with "SLIDER_TYPE" "volume" or "time". The bar plays nothing itself.
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
    int playButtonIndex() const override { return playIndex_; }
    void setPlayButtonIndex(int index) override;
    int speedButtonIndex() const override { return speedIndex_; }
    void enableMediaButtons(bool enable) override;
    void setTimeSliderEnabled(bool enabled) override;
    void setTimeSliderRange(int minimum, int maximum) override;
    void setTimeSliderValue(int value) override;
    int timeSliderPosition() const override;
    void setEventMarkPos(int second) override;
    void resetPlayButtons() override;
    void setPlayTime(int playedSeconds, int totalSeconds, bool redraw) override;
    void setMute(bool mute) override;

    bool isMute() const { return mute_; }
    bool isFullScreenShown() const { return fullScreenIndex_ == 1; }
    int volume() const;
    SliderWidget& timeSlider() { return *timeSlider_; }
    SliderWidget& volumeSlider() { return *volumeSlider_; }
    QString playedTimeText() const;
    QString totalTimeText() const;
    // Clicks the button of a code (kPlay: the play/pause button) as the pointer would: nothing
    // when it is disabled. The window's keys act through here.
    void pressButton(Code code);
    // Re-reads the tool tips (after a language change).
    void changeLanguage() override;

    // "%02d:%02d" of minutes and seconds; an hour is not shown, and 0 or less shows 00:00.
    static QString timeText(int seconds);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QToolButton* makeButton(const char* name, int code);
    void pressed(int code);
    void showPlayState();
    void showSpeedState();
    void showMuteState();
    void showFullScreenState();
    void relaySlider(const Notification& notification);

    NotificationCenter& notifications_;
    NotificationCenter::Token sliderToken_ = 0;
    QString identity_;
    QToolButton* prevButton_;
    QToolButton* playButton_;
    QToolButton* nextButton_;
    QToolButton* speedButton_;
    QToolButton* muteButton_;
    QToolButton* fullScreenButton_;
    SliderWidget* volumeSlider_;
    SliderWidget* timeSlider_;
    QLabel* playedTime_;
    QLabel* totalTime_;
    int playIndex_ = 0;
    int speedIndex_ = 0;
    int fullScreenIndex_ = 0;
    bool mute_ = false;
    int playedSeconds_ = 0;
    int totalSeconds_ = 0;
};
