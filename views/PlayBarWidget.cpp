#include "views/PlayBarWidget.h"

#include "Utility/DiagnosticLog.h"
#include "Utility/Preferences.h"
#include "views/PlayBarIcons.h"
#include "views/SliderWidget.h"
#include "views/ViewStyle.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QToolButton>

#include <algorithm>

namespace {
constexpr int kVolumeMax = 10;
constexpr int kTimeBoxWidth = 52;
// What each speed state plays at, as the button shows it.
const char* const kSpeedTexts[PlayBarWidget::kSpeedStates] = {"1x", "1.5x", "2x", "1/4x", "1/2x"};
}  // namespace

PlayBarWidget::PlayBarWidget(NotificationCenter& notifications, QWidget* parent)
    : QWidget(parent),
      notifications_(notifications),
      identity_(QString::asprintf("PlayBar-%p", static_cast<void*>(this))) {
    setFixedHeight(kBarHeight);
    prevButton_ = makeButton("previousButton", kPrevious);
    playButton_ = makeButton("playButton", kPlay);
    nextButton_ = makeButton("nextButton", kNext);
    speedButton_ = makeButton("speedButton", kSpeed);
    speedButton_->setFixedWidth(48);
    speedButton_->setFont(pmViewFont(13, true));
    muteButton_ = makeButton("muteButton", kMute);
    fullScreenButton_ = makeButton("fullScreenButton", kFullScreen);
    prevButton_->setIcon(pmPlayBarIcon(PlayBarIcon::Previous));
    nextButton_->setIcon(pmPlayBarIcon(PlayBarIcon::Next));

    volumeSlider_ = new SliderWidget(notifications_, identity_, this);
    volumeSlider_->setObjectName("volumeSlider");
    volumeSlider_->setFixedWidth(84);
    volumeSlider_->setRange(0, kVolumeMax);
    volumeSlider_->setCurrentValue(std::clamp(pmGetProfileInt(kKeyVolume, kDefaultVolume), 0, kVolumeMax));
    timeSlider_ = new SliderWidget(notifications_, identity_, this);
    timeSlider_->setObjectName("timeSlider");
    timeSlider_->setRange(0, 1000);

    auto makeTime = [this](const char* name) {
        auto* label = new QLabel(timeText(0), this);
        label->setObjectName(name);
        label->setFont(pmViewFont(14));
        label->setAlignment(Qt::AlignCenter);
        label->setFixedWidth(kTimeBoxWidth);
        QPalette palette = label->palette();
        palette.setColor(QPalette::WindowText, Qt::white);
        label->setPalette(palette);
        return label;
    };
    playedTime_ = makeTime("playedTime");
    totalTime_ = makeTime("totalTime");

    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(6, 0, 6, 0);
    row->setSpacing(2);
    for (QWidget* widget : {static_cast<QWidget*>(prevButton_), static_cast<QWidget*>(playButton_),
                            static_cast<QWidget*>(nextButton_), static_cast<QWidget*>(speedButton_),
                            static_cast<QWidget*>(muteButton_)})
        row->addWidget(widget);
    row->addSpacing(4);
    row->addWidget(volumeSlider_);
    row->addSpacing(6);
    row->addWidget(playedTime_);
    row->addWidget(timeSlider_, 1);
    row->addWidget(totalTime_);
    row->addWidget(fullScreenButton_);

    showPlayState();
    showSpeedState();
    showMuteState();
    showFullScreenState();
    changeLanguage();

    sliderToken_ = notifications_.addObserver(NotificationCenter::fullName(notify::kSliderChanged),
                                              [this](const Notification& n) { relaySlider(n); });
}

PlayBarWidget::~PlayBarWidget() { notifications_.removeObserver(sliderToken_); }

QToolButton* PlayBarWidget::makeButton(const char* name, int code) {
    auto* button = new QToolButton(this);
    button->setObjectName(name);
    button->setAutoRaise(true);
    button->setIconSize(QSize(24, 24));
    button->setFixedSize(36, 36);
    button->setFocusPolicy(Qt::NoFocus);
    connect(button, &QToolButton::clicked, this, [this, code] { pressed(code); });
    return button;
}

void PlayBarWidget::pressed(int code) {
    switch (code) {
        case kPlay:
            // The play button shows what the next press does: it switches before telling the
            // controller, which posts pause when the pause image was showing.
            if (playIndex_ == 1) code = kPause;
            playIndex_ = playIndex_ == 0 ? 1 : 0;
            showPlayState();
            break;
        case kMute:
            mute_ = !mute_;
            showMuteState();
            break;
        case kSpeed:
            speedIndex_ = (speedIndex_ + 1) % kSpeedStates;
            showSpeedState();
            break;
        case kFullScreen:
            fullScreenIndex_ = fullScreenIndex_ == 0 ? 1 : 0;
            showFullScreenState();
            break;
        default: break;
    }
    notifications_.post(notify::kPlayBarButtonClicked, code);
}

void PlayBarWidget::pressButton(Code code) {
    QToolButton* button = nullptr;
    switch (code) {
        case kPlay:
        case kPause: button = playButton_; break;
        case kNext: button = nextButton_; break;
        case kPrevious: button = prevButton_; break;
        case kMute: button = muteButton_; break;
        case kSpeed: button = speedButton_; break;
        case kFullScreen: button = fullScreenButton_; break;
    }
    if (button) button->click();
}

void PlayBarWidget::relaySlider(const Notification& notification) {
    const auto slider = notification.userInfo.find("SLIDER_WINDOW");
    if (slider == notification.userInfo.end()) return;
    const char* type = nullptr;
    if (slider->second == volumeSlider_->identity().toStdString()) type = "volume";
    else if (slider->second == timeSlider_->identity().toStdString()) type = "time";
    if (!type) return;
    pmOutputDebugMsgF("sliderValueChanged - %d", static_cast<int>(notification.object));
    notifications_.post(notify::kDoSliderChanged, notification.object, {{"SLIDER_TYPE", type}});
}

void PlayBarWidget::setPlayButtonIndex(int index) {
    if (index != 0 && index != 1) return;
    playIndex_ = index;
    showPlayState();
}

void PlayBarWidget::resetPlayButtons() {
    playIndex_ = 0;
    showPlayState();
}

void PlayBarWidget::enableMediaButtons(bool enable) {
    for (QToolButton* button : {prevButton_, playButton_, nextButton_, speedButton_}) button->setEnabled(enable);
    // Full screen stays reachable once playing was possible: it is only ever switched on here.
    if (enable) fullScreenButton_->setEnabled(true);
}

void PlayBarWidget::setTimeSliderEnabled(bool enabled) { timeSlider_->setSliderEnabled(enabled); }
void PlayBarWidget::setTimeSliderRange(int minimum, int maximum) { timeSlider_->setRange(minimum, maximum); }
void PlayBarWidget::setTimeSliderValue(int value) { timeSlider_->setCurrentValue(value); }
int PlayBarWidget::timeSliderPosition() const { return timeSlider_->getCurrentPos(); }
void PlayBarWidget::setEventMarkPos(int second) { timeSlider_->setEventMarkPos(second); }
int PlayBarWidget::volume() const { return volumeSlider_->getCurrentValue(); }

void PlayBarWidget::setPlayTime(int playedSeconds, int totalSeconds, bool redraw) {
    if (playedSeconds != playedSeconds_) {
        playedSeconds_ = playedSeconds;
        if (redraw) playedTime_->setText(timeText(playedSeconds_));
    }
    if (totalSeconds != totalSeconds_) {
        totalSeconds_ = totalSeconds;
        if (redraw) totalTime_->setText(timeText(totalSeconds_));
    }
}

QString PlayBarWidget::playedTimeText() const { return playedTime_->text(); }
QString PlayBarWidget::totalTimeText() const { return totalTime_->text(); }

void PlayBarWidget::setMute(bool mute) {
    mute_ = mute;
    showMuteState();
}

QString PlayBarWidget::timeText(int seconds) {
    if (seconds <= 0) return QStringLiteral("00:00");
    return QString::asprintf("%02d:%02d", seconds / 60 % 60, seconds % 60);
}

void PlayBarWidget::showPlayState() {
    playButton_->setIcon(pmPlayBarIcon(playIndex_ == 0 ? PlayBarIcon::Play : PlayBarIcon::Pause));
    playButton_->setToolTip(pmViewString(playIndex_ == 0 ? "IDS_PLAY" : "IDS_PAUSE"));
}

void PlayBarWidget::showSpeedState() { speedButton_->setText(QString::fromLatin1(kSpeedTexts[speedIndex_])); }

void PlayBarWidget::showMuteState() {
    muteButton_->setIcon(pmPlayBarIcon(mute_ ? PlayBarIcon::VolumeOff : PlayBarIcon::VolumeOn));
}

void PlayBarWidget::showFullScreenState() {
    fullScreenButton_->setIcon(
        pmPlayBarIcon(fullScreenIndex_ == 0 ? PlayBarIcon::FullScreen : PlayBarIcon::NormalScreen));
    fullScreenButton_->setToolTip(pmViewString(fullScreenIndex_ == 0 ? "IDS_FULL_SCREEN" : "IDS_NORMAL_SCREEN"));
}

void PlayBarWidget::changeLanguage() {
    prevButton_->setToolTip(pmViewString("IDS_PRE_VIDEO"));
    nextButton_->setToolTip(pmViewString("IDS_NEXT_VIDEO"));
    speedButton_->setToolTip(pmViewString("IDS_PLAY_SPEED"));
    muteButton_->setToolTip(pmViewString("IDS_SOUND_MUTE"));
    showPlayState();
    showFullScreenState();
}

void PlayBarWidget::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    pmPaintBar(painter, rect());
    painter.setPen(QColor(60, 62, 68));
    painter.drawLine(0, 0, width(), 0);
}
