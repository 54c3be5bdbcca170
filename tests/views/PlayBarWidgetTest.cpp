#include "ViewTestSupport.h"
#include "views/PlayBarWidget.h"
#include "views/SliderWidget.h"

#include <gtest/gtest.h>

#include <QMouseEvent>
#include <QAbstractButton>

namespace {

void click(PlayBarWidget& bar, const char* button) {
    auto* found = bar.findChild<QAbstractButton*>(button);
    ASSERT_NE(found, nullptr) << button;
    found->click();
}

void mouse(QWidget& widget, QEvent::Type type, int x) {
    const QPointF local(x, widget.height() / 2);
    const Qt::MouseButtons held = type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton;
    QMouseEvent event(type, local, widget.mapToGlobal(local), Qt::LeftButton, held, Qt::NoModifier);
    QApplication::sendEvent(&widget, &event);
}

void press(QWidget& widget, int x) { mouse(widget, QEvent::MouseButtonPress, x); }
void drag(QWidget& widget, int x) { mouse(widget, QEvent::MouseMove, x); }
void release(QWidget& widget, int x) { mouse(widget, QEvent::MouseButtonRelease, x); }

struct ShownBar {
    explicit ShownBar(NotificationCenter& notifications) : bar(notifications) {
        bar.resize(900, PlayBarWidget::kBarHeight);
        bar.show();
        QApplication::processEvents();
    }
    PlayBarWidget bar;
};

}  // namespace

TEST(PlayBarWidget, ButtonsPostTheirCodesAndSwitchTheirOwnStates) {
    ViewTest t;
    ShownBar shown(t.notifications);
    PlayBarWidget& bar = shown.bar;

    // Play shows pause after the press and posts play; the next press posts pause.
    click(bar, "playButton");
    EXPECT_EQ(bar.playButtonIndex(), 1);
    click(bar, "playButton");
    EXPECT_EQ(bar.playButtonIndex(), 0);
    click(bar, "nextButton");
    click(bar, "previousButton");
    click(bar, "muteButton");
    EXPECT_TRUE(bar.isMute());
    click(bar, "muteButton");
    EXPECT_FALSE(bar.isMute());
    click(bar, "fullScreenButton");
    EXPECT_TRUE(bar.isFullScreenShown());
    click(bar, "fullScreenButton");
    EXPECT_EQ(t.objectsNamed(notify::kPlayBarButtonClicked), (std::vector<long>{1, 2, 3, 4, 7, 7, 10, 10}));

    // Five speed presses come back to the first state.
    t.posted.clear();
    std::vector<int> states;
    for (int i = 0; i < 5; ++i) {
        click(bar, "speedButton");
        states.push_back(bar.speedButtonIndex());
    }
    EXPECT_EQ(states, (std::vector<int>{1, 2, 3, 4, 0}));
    EXPECT_EQ(t.objectsNamed(notify::kPlayBarButtonClicked), (std::vector<long>(5, 9)));
}

TEST(PlayBarWidget, ControllerSetStatesPostNothingAndDisabledButtonsStayQuiet) {
    ViewTest t;
    ShownBar shown(t.notifications);
    PlayBarWidget& bar = shown.bar;

    bar.setPlayButtonIndex(1);
    EXPECT_EQ(bar.playButtonIndex(), 1);
    bar.setPlayButtonIndex(5);  // no such image
    EXPECT_EQ(bar.playButtonIndex(), 1);
    bar.setMute(true);
    EXPECT_TRUE(bar.isMute());
    bar.resetPlayButtons();
    EXPECT_EQ(bar.playButtonIndex(), 0);
    EXPECT_TRUE(t.posted.empty());

    // Disabling leaves mute and full screen usable; enabling again brings the media buttons back.
    bar.enableMediaButtons(false);
    for (const char* name : {"playButton", "nextButton", "previousButton", "speedButton"}) click(bar, name);
    EXPECT_TRUE(t.posted.empty());
    EXPECT_EQ(bar.playButtonIndex(), 0);
    click(bar, "fullScreenButton");
    click(bar, "muteButton");
    EXPECT_EQ(t.objectsNamed(notify::kPlayBarButtonClicked), (std::vector<long>{10, 7}));
    bar.enableMediaButtons(true);
    click(bar, "playButton");
    EXPECT_EQ(t.objectsNamed(notify::kPlayBarButtonClicked).back(), 1);
}

TEST(PlayBarWidget, TimeSliderPressGivesTheValueUnderThePointerWithinTheRange) {
    ViewTest t;
    ShownBar shown(t.notifications);
    PlayBarWidget& bar = shown.bar;
    SliderWidget& slider = bar.timeSlider();
    bar.setTimeSliderRange(0, 60);
    bar.setTimeSliderValue(30);
    const int length = slider.width() - SliderWidget::kThumbWidth;
    ASSERT_GT(length, 120);

    press(slider, 0);  // left of the first thumb centre
    release(slider, 0);
    press(slider, slider.width() - 1);
    release(slider, slider.width() - 1);
    const int x = SliderWidget::kThumbWidth / 2 + length / 3;
    press(slider, x);
    release(slider, x);
    EXPECT_EQ(t.objectsNamed(notify::kDoSliderChanged), (std::vector<long>{0, 60, 60 * (length / 3) / length}));
    for (const auto& n : t.postedNamed(notify::kDoSliderChanged)) EXPECT_EQ(n.userInfo.at("SLIDER_TYPE"), "time");
    for (const auto& n : t.postedNamed(notify::kSliderChanged))
        EXPECT_EQ(n.userInfo.at("SLIDER_WINDOW"), slider.identity().toStdString());

    // The thumb's offset follows the value, and the indicator reads it from there.
    EXPECT_EQ(bar.timeSliderPosition(), slider.getCurrentValue() * length / 60);

    // A disabled slider ignores presses.
    t.posted.clear();
    bar.setTimeSliderEnabled(false);
    press(slider, 0);
    EXPECT_TRUE(t.posted.empty());
    EXPECT_EQ(slider.getCurrentValue(), 60 * (length / 3) / length);
}

TEST(PlayBarWidget, DraggingPostsOnlyWholeSteps) {
    ViewTest t;
    ShownBar shown(t.notifications);
    SliderWidget& slider = shown.bar.timeSlider();
    shown.bar.setTimeSliderRange(0, 10);
    shown.bar.setTimeSliderValue(0);
    const int length = slider.width() - SliderWidget::kThumbWidth;
    const int step = (length + 9) / 10;  // pixels per value, at least
    ASSERT_GT(step, 4);

    // Grab the thumb: a drag, no jump.
    press(slider, 3);
    drag(slider, 3 + step / 2);
    EXPECT_TRUE(t.posted.empty()) << "less than a step moved the value";
    drag(slider, 3 + step + 1);
    drag(slider, 3 + 3 * step + 1);
    drag(slider, 3 + 3 * step + 2);  // within the same step
    drag(slider, 3 - 5 * step);       // far left: clamped at the minimum
    release(slider, 3 - 5 * step);
    drag(slider, 3 + 8 * step);       // released: no drag any more
    EXPECT_EQ(t.objectsNamed(notify::kDoSliderChanged), (std::vector<long>{1, 3, 0}));
}

TEST(PlayBarWidget, EventMarkSitsOverTheSecondOnTheTrack) {
    ViewTest t;
    SliderWidget slider(t.notifications, "owner", "track_bar");
    slider.resize(214, SliderWidget::kHeight);
    slider.setRange(0, 60);
    EXPECT_EQ(slider.eventMarkX(), -1);
    slider.setEventMarkPos(0);
    EXPECT_EQ(slider.eventMarkX(), SliderWidget::kThumbWidth / 2);
    slider.setEventMarkPos(60);
    EXPECT_EQ(slider.eventMarkX(), 214 - SliderWidget::kThumbWidth / 2);
    slider.setEventMarkPos(20);
    EXPECT_EQ(slider.eventMarkX(), SliderWidget::kThumbWidth / 2 + (214 - SliderWidget::kThumbWidth) * 20 / 60);

    // It is drawn: red at the top of the track above its second, nothing red elsewhere.
    slider.setCurrentValue(50);
    const QImage image = ViewTest::shoot(slider, "slider-event-mark");
    ASSERT_FALSE(image.isNull());
    auto reddish = [](QColor c) { return c.red() > 150 && c.green() < 110 && c.blue() < 110; };
    EXPECT_TRUE(reddish(image.pixelColor(slider.eventMarkX(), 2)));
    EXPECT_FALSE(reddish(image.pixelColor(100, 2)));
    slider.setEventMarkPos(-1);
    EXPECT_EQ(slider.eventMarkX(), -1);
}

TEST(PlayBarWidget, TimesShowMinutesAndSecondsWithoutHours) {
    ViewTest t;
    ShownBar shown(t.notifications);
    PlayBarWidget& bar = shown.bar;
    const struct {
        int seconds;
        const char* text;
    } cases[] = {{3725, "02:05"}, {59, "00:59"}, {60, "01:00"}, {3599, "59:59"}, {0, "00:00"}, {-4, "00:00"}};
    for (const auto& c : cases) EXPECT_EQ(PlayBarWidget::timeText(c.seconds), c.text) << c.seconds;

    bar.setPlayTime(3725, 59, true);
    EXPECT_EQ(bar.playedTimeText(), "02:05");
    EXPECT_EQ(bar.totalTimeText(), "00:59");
    // Without the redraw flag the values are kept but the texts stay.
    bar.setPlayTime(10, 20, false);
    EXPECT_EQ(bar.playedTimeText(), "02:05");
    bar.setPlayTime(10, 20, true);  // same values: nothing changed, nothing redrawn
    EXPECT_EQ(bar.playedTimeText(), "02:05");
    bar.setPlayTime(11, 21, true);
    EXPECT_EQ(bar.playedTimeText(), "00:11");
    EXPECT_EQ(bar.totalTimeText(), "00:21");

    bar.setTimeSliderRange(0, 120);
    bar.setTimeSliderValue(40);
    bar.setEventMarkPos(90);
    bar.setPlayButtonIndex(1);
    ViewTest::shoot(bar, "play-bar");
}

TEST(PlayBarWidget, VolumeStartsAtTheSettingAndIsRelayedAsVolume) {
    ViewTest t;
    {
        PlayBarWidget bar(t.notifications);
        EXPECT_EQ(bar.volume(), 8);  // no setting: the default
    }
    t.store.values["Volume"] = 3;
    ShownBar shown(t.notifications);
    EXPECT_EQ(shown.bar.volume(), 3);
    SliderWidget& volume = shown.bar.volumeSlider();
    press(volume, volume.width() - 1);
    release(volume, volume.width() - 1);
    const auto relayed = t.postedNamed(notify::kDoSliderChanged);
    ASSERT_EQ(relayed.size(), 1u);
    EXPECT_EQ(relayed[0].object, 10);
    EXPECT_EQ(relayed[0].userInfo.at("SLIDER_TYPE"), "volume");

    // A slider the bar does not own is not relayed.
    t.posted.clear();
    t.notifications.post(notify::kSliderChanged, 4, {{"SLIDER_WINDOW", "someone else"}});
    EXPECT_TRUE(t.postedNamed(notify::kDoSliderChanged).empty());
}
