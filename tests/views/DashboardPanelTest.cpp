#include "ViewTestSupport.h"
#include "views/DashboardPanel.h"

#include <gtest/gtest.h>

#include <QToolButton>

namespace {

// Whether any segment of an LED cell (0 hundreds, 1 tens, 2 units) is lit.
bool cellLit(const QImage& image, const DashboardPanel& panel, int cell) {
    const int left = (panel.width() - DashboardPanel::kPanelWidth) / 2 + 40 + cell * 60;
    const int top = std::max(0, (panel.height() - DashboardPanel::kPanelHeight) / 2) + 22;
    for (int y = top; y < top + 78; ++y)
        for (int x = left; x < left + 48; ++x) {
            const QColor c = image.pixelColor(x, y);
            if (c.red() > 200 && c.green() > 160) return true;
        }
    return false;
}

}  // namespace

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
    EXPECT_EQ(panel.findChild<QToolButton*>("speedUnitButton")->text(), "mph");

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
        bool lit[3];
    } cases[] = {{7.0f, {false, false, true}}, {0.2f, {false, false, true}}, {100.0f, {true, true, true}},
                 {45.0f, {false, true, true}}};
    for (const auto& c : cases) {
        panel.setPosition(1.0f, 1.0f, c.speed, 0.0f, 0.0f);
        const QImage image = ViewTest::shoot(panel, "dashboard-led");
        for (int cell = 0; cell < 3; ++cell)
            EXPECT_EQ(cellLit(image, panel, cell), c.lit[cell]) << c.speed << " cell " << cell;
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
    EXPECT_FALSE(panel.findChild<QToolButton*>("speedUnitButton")->isVisible());
    const QImage image = ViewTest::shoot(panel, "dashboard-no-gps");
    EXPECT_EQ(image.pixelColor(2, 2), QColor(55, 55, 55));
    panel.enableMap(0);
    EXPECT_TRUE(panel.findChild<QToolButton*>("speedUnitButton")->isVisible());
}
