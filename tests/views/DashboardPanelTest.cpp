#include "ViewTestSupport.h"
#include "views/DashboardPanel.h"

#include "views/SkinnedButtons.h"

TEST_F(ViewTest, DashboardShowsTheSampleInTheChosenUnitAndDashesForWhatIsUnknown) {
    store.values["SpeedUnit"] = 1;  // miles, chosen before
    DashboardPanel panel;
    showAt(panel, 349, 215);
    auto texts = [&] {
        return QString::number(panel.shownSpeed()) + " | " + panel.headingText() + " | " + panel.altitudeText() +
               " | " + panel.latitudeText() + " | " + panel.longitudeText();
    };
    EXPECT_EQ(texts(), "0 | N 0° | - | - | -");  // before any sample
    panel.setPosition(25.0f, 121.5125f, 105.4f, 12.25f, 359.6f);
    EXPECT_EQ(texts(), "65 | N 360° | 12.2  m | N 25°00'0.0\" | E 121°30'45.0\"");
    panel.setSpeedUnit(0);
    EXPECT_EQ(panel.shownSpeed(), 105);
    EXPECT_EQ(std::get<std::int32_t>(store.values.at("SpeedUnit")), 0);
    EXPECT_EQ(panel.speedUnitButton().text(), "km/h");
    shoot(panel, "dashboard");
    // An unknown speed hides the position and shows 0; without positions only the grey message shows.
    panel.setPosition(25.0f, 121.5f, -1.0f, 65535.0f, -1.0f);
    EXPECT_EQ(texts(), "0 | - | - | - | -");
    panel.enableMap(-1);
    EXPECT_EQ(shoot(panel, "dashboard-no-gps").pixelColor(2, 2), QColor(55, 55, 55));
}
