#include "app/NotificationCenter.h"

#include <gtest/gtest.h>

TEST(NotificationCenter, DeliversByFullNameInOrderAndSurvivesChangesDuringDelivery) {
    NotificationCenter center;
    std::vector<std::string> calls;
    NotificationCenter::Token second = 0;
    center.addObserver(NotificationCenter::fullName(notify::kDoSliderChanged), [&](const Notification& n) {
        calls.push_back("first " + std::to_string(n.object) + " " + n.userInfo.at("SLIDER_TYPE"));
        center.removeObserver(second);  // removed before its turn: not called
        center.addObserver(n.name, [&](const Notification&) { calls.push_back("late"); });
    });
    second = center.addObserver(NotificationCenter::fullName(notify::kDoSliderChanged),
                                [&](const Notification&) { calls.push_back("second"); });
    center.addObserver(NotificationCenter::fullName(notify::kPlayBarButtonClicked),
                       [&](const Notification&) { calls.push_back("other"); });

    center.post(notify::kDoSliderChanged, 7, {{"SLIDER_TYPE", "volume"}});
    EXPECT_EQ(calls, (std::vector<std::string>{"first 7 volume"}));
    EXPECT_EQ(NotificationCenter::fullName("X"), "com.norvel.cartenamanager:X");
}
