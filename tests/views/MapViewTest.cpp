#include "ViewTestSupport.h"
#include "views/DashboardPanel.h"
#include "views/MapView.h"

#include "views/SkinnedButtons.h"

TEST_F(ViewTest, TheMapViewsDashboardShowsTheSampleInTheChosenUnitAndDashesForWhatIsUnknown) {
    store.values["SpeedUnit"] = 1;  // miles, chosen before
    MapView view(notifications);
    showAt(view, 349, 215);  // its size in the smallest window
    DashboardPanel& panel = view.dashboard();
    auto texts = [&] {
        return QString::number(panel.shownSpeed()) + " " + panel.unitButton().text() + " | " + panel.headingText() +
               " | " + panel.altitudeText() + " | " + panel.latitudeText() + " | " + panel.longitudeText();
    };
    view.model().setPosition(25.0f, 121.5125f, 105.4f, 12.25f, 359.6f);
    EXPECT_EQ(texts(), "65 mph | N 360° | 12.2  m | N 25°00'0.0\" | E 121°30'45.0\"");
    shoot(view, "map-view-dashboard");
    view.model().setSpeedUnit(0);
    view.model().setPosition(25.0f, 121.5f, -1.0f, 65535.0f, -1.0f);  // unknown speed: no position, 0
    EXPECT_EQ(texts(), "0 km/h | - | - | - | -");
}
