#include "views/PlayBarWidget.h"

#include "Utility/DiagnosticLog.h"
#include "Utility/Preferences.h"
#include "views/SkinImages.h"
#include "views/SkinnedButtons.h"
#include "views/SliderWidget.h"
#include "views/ViewStyle.h"

#include <QPainter>

#include <algorithm>

namespace {

constexpr int kVolumeMax = 10;
constexpr int kTimeBoxWidth = 44;
constexpr int kTimeSliderX = 385;
constexpr int kEdge = 8;
// Fixed places from the left (top left within the 44-pixel bar).
const QRect kPreviousPlace(8, 6, 32, 32), kPlayPlace(44, 2, 40, 40), kNextPlace(88, 6, 32, 32),
    kSpeedPlace(126, 8, 46, 28), kMutePlace(178, 6, 32, 32);
const QRect kVolumeSlider(214, 14, 104, 16);
constexpr QSize kFullScreenSize(32, 32);
const char* const kSpeedImages[PlayBarWidget::kSpeedStates] = {
    "button_playback1", "button_playback1.5", "button_playback2", "button_playback", "button_playback1-2"};

}  // namespace

PlayBarWidget::PlayBarWidget(NotificationCenter& notifications, QWidget* parent)
    : QWidget(parent),
      notifications_(notifications),
      identity_(QString::asprintf("PlayBar-%p", static_cast<void*>(this))) {
    setFixedHeight(kBarHeight);
    auto button = [this]<class Button>(Button* made, const char* name, const QRect& place, int code) {
        made->setObjectName(name);
        made->setGeometry(place);
        connect(made, &QAbstractButton::clicked, this, [this, code] { pressed(code); });
        return made;
    };
    prevButton_ = button(new BitmapButton(this), "previousButton", kPreviousPlace, kPrevious);
    playButton_ = button(new MultiButtons(this), "playButton", kPlayPlace, kPlay);
    // Reverse playback is not offered: the button stays hidden on the play button's place.
    playReverseButton_ = new MultiButtons(this);
    playReverseButton_->setGeometry(kPlayPlace);
    playReverseButton_->hide();
    nextButton_ = button(new BitmapButton(this), "nextButton", kNextPlace, kNext);
    speedButton_ = button(new MultiButtons(this), "speedButton", kSpeedPlace, kSpeed);
    muteButton_ = button(new MultiButtons(this), "muteButton", kMutePlace, kMute);
    fullScreenButton_ = button(new MultiButtons(this), "fullScreenButton", QRect(QPoint(0, 6), kFullScreenSize), kFullScreen);

    volumeSlider_ = new SliderWidget(notifications_, identity_, "volume", this);
    volumeSlider_->setObjectName("volumeSlider");
    volumeSlider_->setGeometry(kVolumeSlider);
    volumeSlider_->setRange(0, kVolumeMax);
    volumeSlider_->setCurrentValue(std::clamp(pmGetProfileInt(kKeyVolume, kDefaultVolume), 0, kVolumeMax));
    timeSlider_ = new SliderWidget(notifications_, identity_, "track_bar", this);
    timeSlider_->setObjectName("timeSlider");
    timeSlider_->setRange(0, 1000);

    playedText_ = totalText_ = timeText(0);
    addLooks();
    loadSkinBitmap();
    changeLanguage();

    sliderToken_ = notifications_.addObserver(NotificationCenter::fullName(notify::kSliderChanged),
                                              [this](const Notification& n) { relaySlider(n); });
}

PlayBarWidget::~PlayBarWidget() { notifications_.removeObserver(sliderToken_); }

void PlayBarWidget::addLooks() {
    using F = SkinnedButton;
    prevButton_->setBitmapButton(F::family("button_previous"));
    nextButton_->setBitmapButton(F::family("button_next"));
    playButton_->addBitmapButton({}, F::family("button_play"));
    playButton_->addBitmapButton({}, F::family("button_pause"));
    playReverseButton_->addBitmapButton({}, F::family("button_play_previous"));
    playReverseButton_->addBitmapButton({}, F::family("button_pause"));
    for (const char* speed : kSpeedImages) speedButton_->addBitmapButton({}, F::family(speed));
    muteButton_->addBitmapButton({}, F::family("icon_volume_on"));
    muteButton_->addBitmapButton({}, F::family("icon_volume_off"));
    fullScreenButton_->addBitmapButton({}, F::family("button_full"));
    fullScreenButton_->addBitmapButton({}, F::family("button_full1"));
}

void PlayBarWidget::loadSkinBitmap() {
    background_ = pmLoadImage("playbar_background.png");
    for (SkinnedButton* b : std::initializer_list<SkinnedButton*>{prevButton_, playButton_, playReverseButton_,
                                                                  nextButton_, speedButton_, muteButton_,
                                                                  fullScreenButton_})
        b->loadSkinBitmap();
    volumeSlider_->loadSkinBitmap();
    timeSlider_->loadSkinBitmap();
    update();
}

void PlayBarWidget::changeLanguage() {
    prevButton_->setToolTip(pmViewString("IDS_PRE_VIDEO"));
    nextButton_->setToolTip(pmViewString("IDS_NEXT_VIDEO"));
    const QString play = pmViewString("IDS_PLAY"), pause = pmViewString("IDS_PAUSE");
    playButton_->changeToolTips({play, pause});
    playReverseButton_->changeToolTips({play, pause});
    const QString speed = pmViewString("IDS_PLAY_SPEED");
    speedButton_->changeToolTips({speed, speed, speed, speed, speed});
    const QString mute = pmViewString("IDS_SOUND_MUTE");
    muteButton_->changeToolTips({mute, mute});
    fullScreenButton_->changeToolTips({pmViewString("IDS_FULL_SCREEN"), pmViewString("IDS_NORMAL_SCREEN")});
}

QRect PlayBarWidget::totalBox() const {
    const int fullScreenX = width() - kEdge - kFullScreenSize.width();
    return QRect(fullScreenX - 6 - kTimeBoxWidth, 0, kTimeBoxWidth, kBarHeight);
}

QRect PlayBarWidget::playedBox() const { return QRect(kTimeSliderX - kTimeBoxWidth, 0, kTimeBoxWidth, kBarHeight); }

void PlayBarWidget::resizeEvent(QResizeEvent*) {
    fullScreenButton_->move(width() - kEdge - kFullScreenSize.width(), fullScreenButton_->y());
    const int sliderHeight = SliderWidget::kHeight;
    timeSlider_->setGeometry(kTimeSliderX, (kBarHeight - sliderHeight) / 2,
                             std::max(SliderWidget::kThumbWidth * 3, totalBox().left() - 4 - kTimeSliderX), sliderHeight);
}

void PlayBarWidget::pressed(int code) {
    switch (code) {
        case kPlay:
            // The play button shows what the next press does: it switches before telling the
            // controller, which posts pause when the pause image was showing.
            if (playButton_->getCurButtonIndex() == 1) code = kPause;
            playButton_->changeButtonIndex();
            break;
        case kMute: muteButton_->changeButtonIndex(); break;
        case kSpeed: speedButton_->changeButtonIndex(); break;
        case kFullScreen: fullScreenButton_->changeButtonIndex(); break;
        default: break;
    }
    notifications_.post(notify::kPlayBarButtonClicked, code);
}

void PlayBarWidget::pressButton(Code code) {
    SkinnedButton* button = nullptr;
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

int PlayBarWidget::playButtonIndex() const { return playButton_->getCurButtonIndex(); }
void PlayBarWidget::setPlayButtonIndex(int index) { playButton_->setButtonIndex(index); }
int PlayBarWidget::speedButtonIndex() const { return speedButton_->getCurButtonIndex(); }
bool PlayBarWidget::isMute() const { return muteButton_->getCurButtonIndex() == 1; }
bool PlayBarWidget::isFullScreenShown() const { return fullScreenButton_->getCurButtonIndex() == 1; }

void PlayBarWidget::resetPlayButtons() {
    playButton_->resetButtonState();
    playReverseButton_->resetButtonState();
}

void PlayBarWidget::enableMediaButtons(bool enable) {
    for (SkinnedButton* button : std::initializer_list<SkinnedButton*>{prevButton_, playButton_, playReverseButton_,
                                                                       nextButton_, speedButton_})
        button->setEnabled(enable);
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
        if (redraw) {
            playedText_ = timeText(playedSeconds_);
            update(playedBox());
        }
    }
    if (totalSeconds != totalSeconds_) {
        totalSeconds_ = totalSeconds;
        if (redraw) {
            totalText_ = timeText(totalSeconds_);
            update(totalBox());
        }
    }
}

void PlayBarWidget::setMute(bool mute) { muteButton_->setButtonIndex(mute ? 1 : 0); }

QString PlayBarWidget::timeText(int seconds) {
    if (seconds <= 0) return QStringLiteral("00:00");
    return QString::asprintf("%02d:%02d", seconds / 60 % 60, seconds % 60);
}

void PlayBarWidget::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    if (!background_.isNull())
        for (int x = 0; x < width(); x += background_.width()) painter.drawPixmap(x, 0, background_);
    painter.setFont(pmViewFont(14));
    painter.setPen(Qt::white);
    painter.drawText(playedBox(), Qt::AlignCenter, playedText_);
    painter.drawText(totalBox(), Qt::AlignCenter, totalText_);
}
