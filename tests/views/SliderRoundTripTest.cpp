#include "ViewTestSupport.h"
#include "views/SliderWidget.h"

#include <gtest/gtest.h>


namespace {

void send(SliderWidget& slider, QEvent::Type type, int x) {
    ViewTest::sendMouse(slider, type, {x, SliderWidget::kHeight / 2});
}

constexpr int kHalfThumb = SliderWidget::kThumbWidth / 2;

using SliderRoundTrip = ViewTest;

}  // namespace

// The thumb, the event mark and a press agree on where each value is, also for ranges that do not
// start at 0. Where each value has a pixel of its own a value goes to a pixel and back; where
// values outnumber pixels a pixel goes to a value and back.
TEST_F(SliderRoundTrip, ThumbMarkAndPressAgreeOnEveryValue) {
    const struct { int minimum, maximum, width; } ranges[] = {{0, 60, 214}, {100, 110, 163}, {30, 630, 261}};
    for (const auto& r : ranges) {
        SliderWidget slider(notifications, "owner", "track_bar");
        slider.resize(r.width, SliderWidget::kHeight);
        slider.setRange(r.minimum, r.maximum);
        const int length = r.width - SliderWidget::kThumbWidth;
        const auto thumbAt = [&](int value) { return slider.setCurrentValue(value), slider.getCurrentPos(); };
        const auto pressAt = [&](int x) {  // with the thumb parked away from x
            slider.setCurrentValue(x < length / 2 ? r.maximum : r.minimum);
            send(slider, QEvent::MouseButtonPress, x);
            send(slider, QEvent::MouseButtonRelease, x);
            return slider.getCurrentValue();
        };
        const bool pixelPerValue = r.maximum - r.minimum <= length;
        for (int i = 0; i <= (pixelPerValue ? r.maximum - r.minimum : length); ++i) {
            const int value = pixelPerValue ? r.minimum + i : pressAt(i + kHalfThumb);
            const int x = thumbAt(value);
            const std::string row = std::to_string(r.minimum) + ".." + std::to_string(r.maximum) + " value " +
                                    std::to_string(value) + " at " + std::to_string(x);
            EXPECT_EQ(pressAt(x + kHalfThumb), value) << row;
            if (!pixelPerValue) {
                EXPECT_EQ(x, i) << row;
            }
            slider.setEventMarkPos(value);
            EXPECT_EQ(slider.eventMarkX(), x + kHalfThumb) << row;
        }
    }
}

// Grabbed on the thumb or pressed beside it, the value follows the pointer.
TEST_F(SliderRoundTrip, PressAndDragLandOnTheValueUnderThePointer) {
    SliderWidget slider(notifications, "owner", "track_bar"), ruler(notifications, "ruler", "track_bar");
    for (SliderWidget* s : {&slider, &ruler}) {
        s->resize(163, SliderWidget::kHeight);
        s->setRange(100, 110);
    }
    const auto centreOf = [&](int value) { return ruler.setCurrentValue(value), ruler.getCurrentPos() + kHalfThumb; };
    slider.setCurrentValue(103);
    send(slider, QEvent::MouseButtonPress, centreOf(103));  // on the thumb: no jump
    for (int value : {110, 100, 107, 103}) send(slider, QEvent::MouseMove, centreOf(value));
    send(slider, QEvent::MouseButtonRelease, centreOf(103));
    send(slider, QEvent::MouseButtonPress, centreOf(108));  // beside it: a jump, then a drag
    send(slider, QEvent::MouseMove, centreOf(101));
    EXPECT_EQ(objectsNamed(notify::kSliderChanged), (std::vector<long>{110, 100, 107, 103, 108, 101}));
}
