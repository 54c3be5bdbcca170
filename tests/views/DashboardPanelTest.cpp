#include "ViewTestSupport.h"
#include "views/DashboardPanel.h"

#include <gtest/gtest.h>

#include "views/SkinnedButtons.h"


TEST(DashboardPanel, ShowsTheSampleInTheChosenUnit) {
    ViewTest t;
    DashboardPanel panel;
    panel.resize(349, 215);
    panel.show();

    // Before any sample: no altitude, no position.
    EXPECT_EQ(panel.shownSpeed(), 0);
    EXPECT_EQ(panel.headingText(), "N 0°");
    EXPECT_EQ(panel.altitudeText(), "-");
    EXPECT_EQ(panel.latitudeText(), "-");

    panel.setPosition(25.0f, 121.5125f, 105.4f, 12.25f, 359.6f);
    EXPECT_EQ(panel.shownSpeed(), 105);
    EXPECT_EQ(panel.headingText(), "N 360°");
    EXPECT_EQ(panel.altitudeText(), "12.2  m");
    EXPECT_EQ(panel.latitudeText(), "N 25°00'0.0\"");
    EXPECT_EQ(panel.longitudeText(), "E 121°30'45.0\"");
    ViewTest::shoot(panel, "dashboard");

    panel.setSpeedUnit(1);
    EXPECT_EQ(panel.shownSpeed(), 65);
    EXPECT_EQ(std::get<std::int32_t>(t.store.values.at("SpeedUnit")), 1);
    EXPECT_EQ(panel.speedUnitButton().bitmapTitle(), "mph");

    // An unknown speed hides the position and shows 0.
    panel.setPosition(25.0f, 121.5f, -1.0f, 65535.0f, -1.0f);
    EXPECT_EQ(panel.shownSpeed(), 0);
    EXPECT_EQ(panel.latitudeText(), "-");
    EXPECT_EQ(panel.longitudeText(), "-");
    EXPECT_EQ(panel.headingText(), "-");
    EXPECT_EQ(panel.altitudeText(), "-");
}

TEST(DashboardPanel, LedDigitsLeaveLeadingZerosDark) {
    ViewTest t;
    t.store.values["SpeedUnit"] = 0;
    DashboardPanel panel;
    panel.resize(349, 215);
    panel.show();
    const struct {
        float speed;
        std::array<int, 3> digits;
    } cases[] = {{7.0f, {-1, -1, 7}}, {0.2f, {-1, -1, 0}}, {100.0f, {1, 0, 0}}, {45.0f, {-1, 4, 5}}};
    for (const auto& c : cases) {
        panel.setPosition(1.0f, 1.0f, c.speed, 0.0f, 0.0f);
        EXPECT_EQ(panel.ledDigits(), c.digits) << c.speed;
    }
}

TEST(DashboardPanel, UnitComesFromTheSettingAndTheMapIsNotThereYet) {
    ViewTest t;
    t.store.values["SpeedUnit"] = 1;
    DashboardPanel panel;
    panel.resize(349, 215);
    panel.show();
    EXPECT_EQ(panel.getSpeedUnit(), 1);
    panel.setPosition(1.0f, 1.0f, 105.4f, 0.0f, 0.0f);
    EXPECT_EQ(panel.shownSpeed(), 65);

    EXPECT_FALSE(panel.isOnLine());
    EXPECT_FALSE(panel.isInternetConnected());
    panel.loadMap();
    panel.loadMap();
    EXPECT_EQ(panel.loadMapCalls(), 2);
    EXPECT_EQ(panel.getMapState(), 1);

    // No positions in the recording: the message and no unit button.
    panel.enableMap(-1);
    EXPECT_EQ(panel.getMapState(), -1);
    EXPECT_FALSE((&panel.speedUnitButton())->isVisible());
    const QImage image = ViewTest::shoot(panel, "dashboard-no-gps");
    EXPECT_EQ(image.pixelColor(2, 2), QColor(55, 55, 55));
    panel.enableMap(0);
    EXPECT_TRUE((&panel.speedUnitButton())->isVisible());
}
