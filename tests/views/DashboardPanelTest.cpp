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
    // The LED cells (hundreds, tens, units) as shown: "8" for a digit, "_" for a dark cell. The
    // lower right segment is lit for every digit but 2.
    QString ledCells(const QImage& image) const {
        const QPoint panelOrigin((panel->width() - DashboardPanel::kPanelWidth) / 2,
                                 std::max(0, (panel->height() - DashboardPanel::kPanelHeight) / 2));
        QString cells;
        for (int cell = 0; cell < 3; ++cell)
            cells += near(image.pixelColor(panelOrigin + QPoint(84 + cell * 60, 78)), QColor(255, 214, 90)) ? "8" : "_";
        return cells;
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
    // An unknown speed hides the position and shows 0; without positions only the grey message shows.
    panel->setPosition(25.0f, 121.5f, -1.0f, 65535.0f, -1.0f);
    EXPECT_EQ(texts(), "0 | - | - | - | -");
    panel->enableMap(-1);
    EXPECT_EQ(shoot(*panel, "dashboard-no-gps").pixelColor(2, 2), QColor(55, 55, 55));
}

TEST_F(Dashboard, LedDigitsLeaveLeadingZerosDark) {
    const std::pair<float, const char*> cases[] = {{7.0f, "__8"}, {0.2f, "__8"}, {100.0f, "888"}, {45.0f, "_88"}};
    panel->setSpeedUnit(0);
    for (const auto& [kmh, cells] : cases) {
        panel->setPosition(1.0f, 1.0f, kmh, 0.0f, 0.0f);
        EXPECT_EQ(ledCells(shoot(*panel, "dashboard-led")), cells) << kmh;
    }
}
