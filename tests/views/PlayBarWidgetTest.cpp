#include "ViewTestSupport.h"
#include "views/PlayBarWidget.h"
#include "views/SliderWidget.h"

#include <QTest>
#include <QAbstractButton>

namespace {

// A left-button event at x, half way down the slider.
void mouse(QWidget& slider, QEvent::Type type, int x) { ViewTest::sendMouse(slider, type, {x, 8}); }
void clickAt(QWidget& slider, int x) { QTest::mouseClick(&slider, Qt::LeftButton, {}, QPoint(x, 8)); }

struct PlayBar : ViewTest {
    PlayBar() { showAt(bar, 900, PlayBarWidget::kBarHeight); }
    void click(std::initializer_list<const char*> buttons) {
        for (const char* name : buttons) bar.findChild<QAbstractButton*>(name)->click();
    }
    std::vector<long> codes() const { return objectsNamed(notify::kPlayBarButtonClicked); }
    PlayBarWidget bar{notifications};
    SliderWidget& slider = bar.timeSlider();
};

}  // namespace

TEST_F(PlayBar, ButtonsPostTheirCodesAndSwitchTheirStatesButTheControllersCallsPostNothing) {
    // Play shows pause after the press and posts play; the next press posts pause.
    click({"playButton", "playButton", "nextButton", "previousButton", "muteButton", "fullScreenButton"});
    EXPECT_EQ(bar.playButtonIndex(), 0);
    EXPECT_TRUE(bar.isMute() && bar.isFullScreenShown());
    // Five speed presses come back to the first state.
    std::vector<int> states;
    for (int i = 0; i < 5; ++i) states.push_back((click({"speedButton"}), bar.speedButtonIndex()));
    EXPECT_EQ(states, (std::vector<int>{1, 2, 3, 4, 0}));

    bar.setPlayButtonIndex(1);
    bar.setMute(false);
    bar.resetPlayButtons();
    EXPECT_EQ(bar.playButtonIndex(), 0);
    // Disabling leaves mute and full screen usable; enabling again brings the media buttons back.
    bar.enableMediaButtons(false);
    click({"playButton", "nextButton", "previousButton", "speedButton", "fullScreenButton", "muteButton"});
    EXPECT_EQ(bar.playButtonIndex(), 0);
    bar.enableMediaButtons(true);
    click({"playButton"});
    EXPECT_EQ(codes(), (std::vector<long>{1, 2, 3, 4, 7, 10, 9, 9, 9, 9, 9, 10, 7, 1}));
}

TEST_F(PlayBar, TimeSliderJumpsWithinTheRangeAndDragsByWholeSteps) {
    bar.setTimeSliderRange(0, 60);
    bar.setTimeSliderValue(30);
    const int length = slider.width() - SliderWidget::kThumbWidth;
    ASSERT_GT(length, 120);
    // Beyond the thumb centres' ends, the ends (the slider's own tests pin every value between).
    clickAt(slider, 0);
    clickAt(slider, slider.width() - 1);
    EXPECT_EQ(objectsNamed(notify::kDoSliderChanged), (std::vector<long>{0, 60}));
    for (const auto& n : postedNamed(notify::kDoSliderChanged)) EXPECT_EQ(n.userInfo.at("SLIDER_TYPE"), "time");

    // Grab the thumb at 0 on a range of 10: a drag, no jump; less than a step moves nothing.
    posted.clear();
    bar.setTimeSliderRange(0, 10);
    bar.setTimeSliderValue(0);
    const int step = (length + 9) / 10;  // pixels per value, at least
    mouse(slider, QEvent::MouseButtonPress, 3);
    mouse(slider, QEvent::MouseMove, 3 + step / 2);
    EXPECT_TRUE(posted.empty()) << "less than a step moved the value";
    for (int x : {3 + step + 1, 3 + 3 * step + 1, 3 + 3 * step + 2, 3 - 5 * step}) mouse(slider, QEvent::MouseMove, x);
    mouse(slider, QEvent::MouseButtonRelease, 0);
    mouse(slider, QEvent::MouseMove, 3 + 8 * step);  // released: no drag any more
    EXPECT_EQ(objectsNamed(notify::kDoSliderChanged), (std::vector<long>{1, 3, 0}));

    // A disabled slider ignores presses.
    posted.clear();
    bar.setTimeSliderEnabled(false);
    clickAt(slider, slider.width() - 1);
    EXPECT_TRUE(posted.empty());
}

TEST_F(PlayBar, TimesShowMinutesAndSecondsWithoutHours) {
    const std::pair<int, const char*> cases[] = {{3725, "02:05"}, {59, "00:59"}, {60, "01:00"},
                                                 {3599, "59:59"}, {0, "00:00"},  {-4, "00:00"}};
    for (const auto& [seconds, text] : cases) EXPECT_EQ(PlayBarWidget::timeText(seconds), text) << seconds;
    bar.setPlayTime(3725, 59, true);
    EXPECT_EQ(bar.playedTimeText() + " " + bar.totalTimeText(), "02:05 00:59");
    bar.setTimeSliderRange(0, 120);
    bar.setEventMarkPos(90);
    shoot(bar, "play-bar");
}

TEST_F(ViewTest, PlayBarVolumeStartsAtTheSettingAndOnlyItsOwnSlidersAreRelayed) {
    EXPECT_EQ(PlayBarWidget(notifications).volume(), 8);  // no setting: the default
    store.values["Volume"] = 3;
    PlayBarWidget bar(notifications);
    showAt(bar, 900, PlayBarWidget::kBarHeight);
    EXPECT_EQ(bar.volume(), 3);
    clickAt(bar.volumeSlider(), bar.volumeSlider().width() - 1);
    notifications.post(notify::kSliderChanged, 4, {{"SLIDER_WINDOW", "someone else"}});
    const auto relayed = postedNamed(notify::kDoSliderChanged);
    ASSERT_EQ(relayed.size(), 1u);
    EXPECT_EQ(std::to_string(relayed[0].object) + " " + relayed[0].userInfo.at("SLIDER_TYPE"), "10 volume");
}
