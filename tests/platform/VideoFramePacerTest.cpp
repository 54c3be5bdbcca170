#include "platform/VideoFramePacer.h"

#include "support/QtWait.h"

#include <gtest/gtest.h>

#include <QTimer>

#include <map>
#include <string>

namespace {

class VideoFramePacerTest : public QtTestCase {};

using Clock = VideoFramePacer::Clock;

}  // namespace

TEST_F(VideoFramePacerTest, PicturesDueTogetherArePresentedInOneTurnAndNoneBeforeItsTime) {
    VideoFramePacer pacer;
    const int views[3] = {};
    std::map<std::string, Clock::time_point> presented;
    bool turnEnded = false;  // set by the first event after the front's turn
    bool rearInFrontsTurn = false;
    const Clock::time_point start = Clock::now();
    const auto front = start + std::chrono::milliseconds(40), later = start + std::chrono::milliseconds(120);
    pacer.schedule(&views[0], front, [&] {
        presented["front"] = Clock::now();
        QTimer::singleShot(0, [&] { turnEnded = true; });
    });
    // Due 2 ms after the front: it goes with it.
    pacer.schedule(&views[1], front + std::chrono::milliseconds(2), [&] {
        presented["rear"] = Clock::now();
        rearInFrontsTurn = !turnEnded && presented.contains("front");
    });
    // A view's new request replaces its old one.
    pacer.schedule(&views[2], start, [&] { presented["replaced"] = Clock::now(); });
    pacer.schedule(&views[2], later, [&] { presented["third"] = Clock::now(); });
    ASSERT_TRUE(spinUntil([&] { return presented.contains("third"); }, 5.0));
    EXPECT_TRUE(rearInFrontsTurn);
    EXPECT_FALSE(presented.contains("replaced"));
    EXPECT_GE(presented["front"], front - VideoFramePacer::kTogether);
    EXPECT_GE(presented["third"], later - VideoFramePacer::kTogether);

    // A cancelled picture is never presented.
    bool cancelledRan = false;
    pacer.schedule(&views[0], Clock::now(), [&] { cancelledRan = true; });
    pacer.cancel(&views[0]);
    spinFor(0.05);
    EXPECT_FALSE(cancelledRan);
}
