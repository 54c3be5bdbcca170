#include "ViewTestSupport.h"
#include "views/DashboardPanel.h"

#include <QToolButton>

namespace {

struct Dashboard : ViewTest {
    Dashboard() {
        store.values["SpeedUnit"] = 1;  // miles, chosen before
        panel = std::make_unique<DashboardPanel>();
        showAt(*panel, 349, 215);
    }
    QString texts() const {
        return QString::number(panel->shownSpeed()) + " | " + panel->headingText() + " | " + panel->altitudeText() +
               " | " + panel->latitudeText() + " | " + panel->longitudeText();
    }
    // Whether any segment of an LED cell (0 hundreds, 1 tens, 2 units) is lit.
    bool cellLit(const QImage& image, int cell) const {
        const QRect area((panel->width() - DashboardPanel::kPanelWidth) / 2 + 40 + cell * 60,
                         std::max(0, (panel->height() - DashboardPanel::kPanelHeight) / 2) + 22, 48, 78);
        for (int y = area.top(); y <= area.bottom(); ++y)
            for (int x = area.left(); x <= area.right(); ++x)
                if (near(image.pixelColor(x, y), QColor(255, 214, 90))) return true;
        return false;
    }
    std::unique_ptr<DashboardPanel> panel;
};

}  // namespace

TEST_F(Dashboard, ShowsTheSampleInTheChosenUnitAndDashesForWhatIsUnknown) {
    EXPECT_EQ(texts(), "0 | N 0° | - | - | -");  // before any sample
    panel->setPosition(25.0f, 121.5125f, 105.4f, 12.25f, 359.6f);
    EXPECT_EQ(texts(), "65 | N 360° | 12.2  m | N 25°00'0.0\" | E 121°30'45.0\"");
    panel->setSpeedUnit(0);
    EXPECT_EQ(panel->shownSpeed(), 105);
    EXPECT_EQ(std::get<std::int32_t>(store.values.at("SpeedUnit")), 0);
    EXPECT_EQ(panel->findChild<QToolButton*>("speedUnitButton")->text(), "km/h");
    shoot(*panel, "dashboard");
    // An unknown speed hides the position and shows 0.
    panel->setPosition(25.0f, 121.5f, -1.0f, 65535.0f, -1.0f);
    EXPECT_EQ(texts(), "0 | - | - | - | -");
}

TEST_F(Dashboard, LedDigitsLeaveLeadingZerosDark) {
    const struct {
        float kmh;
        bool lit[3];
    } cases[] = {{7.0f, {false, false, true}}, {0.2f, {false, false, true}}, {100.0f, {true, true, true}},
                 {45.0f, {false, true, true}}};
    panel->setSpeedUnit(0);
    for (const auto& c : cases) {
        panel->setPosition(1.0f, 1.0f, c.kmh, 0.0f, 0.0f);
        const QImage image = shoot(*panel, "dashboard-led");
        for (int cell = 0; cell < 3; ++cell) EXPECT_EQ(cellLit(image, cell), c.lit[cell]) << c.kmh << " cell " << cell;
    }
}

TEST_F(Dashboard, WithoutPositionsOnlyTheGreyMessageShows) {
    panel->enableMap(-1);
    const QImage image = shoot(*panel, "dashboard-no-gps");
    // Grey also where the unit button sits: it is gone with the dashboard.
    const QRect button = panel->findChild<QToolButton*>("speedUnitButton")->geometry();
    for (QPoint at : {QPoint(2, 2), button.center()}) EXPECT_EQ(image.pixelColor(at), QColor(55, 55, 55));
    panel->enableMap(0);
    EXPECT_EQ(panel->grab().toImage().pixelColor(2, 2), QColor(Qt::black));
}
