#include "ViewTestSupport.h"
#include "interfaces/Connectivity.h"
#include "views/DashboardPanel.h"
#include "views/MapView.h"

#include <QMenu>
#include <QTest>
#include <QTimer>
#include <QToolButton>

namespace {

struct Offline : Connectivity {
    bool isInternetConnected() override {
        ++asked;
        return false;
    }
    void checkInBackground(std::function<void(bool)>) override {}
    int asked = 0;
};

// Chooses an item of the menu that the next press opens.
void chooseInNextMenu(int item) {
    QTimer::singleShot(50, [item] {
        if (auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget())) {
            menu->actions().at(item)->trigger();
            menu->close();
        }
    });
}

}  // namespace

TEST_F(ViewTest, TheMapViewsDashboardShowsTheSampleInTheChosenUnitAndStaysWhenOffline) {
    store.values["SpeedUnit"] = 1;  // miles, chosen before
    Offline offline;
    MapView view(notifications);
    view.configure(&offline, MapServices{});
    showAt(view, 349, 215);  // its size in the smallest window
    DashboardPanel& panel = view.dashboard();
    auto texts = [&] {
        return QString::number(panel.shownSpeed()) + " " + panel.unitButton().text() + " | " + panel.headingText() +
               " | " + panel.altitudeText() + " | " + panel.latitudeText() + " | " + panel.longitudeText();
    };
    view.model().setPosition(25.0f, 121.5125f, 105.4f, 12.25f, 359.6f);
    EXPECT_EQ(texts(), "65 mph | N 360° | 12.2  m | N 25°00'0.0\" | E 121°30'45.0\"");
    chooseInNextMenu(0);
    QTest::mouseClick(&panel.unitButton(), Qt::LeftButton);
    EXPECT_EQ(texts(), "105 km/h | N 360° | 12.2  m | N 25°00'0.0\" | E 121°30'45.0\"");
    EXPECT_EQ(std::get<std::int32_t>(store.values.at("SpeedUnit")), 0);
    shoot(view, "map-view-dashboard");

    // An unknown speed hides the position and shows 0.
    view.model().setPosition(25.0f, 121.5f, -1.0f, 65535.0f, -1.0f);
    EXPECT_EQ(texts(), "0 km/h | - | - | - | -");

    // The map button asks the network; offline the dashboard stays and no web view is made.
    auto* mapButton = view.findChild<QToolButton*>("mapButton");
    ASSERT_TRUE(mapButton && mapButton->isVisible());
    QTest::mouseClick(mapButton, Qt::LeftButton);
    EXPECT_EQ(offline.asked, 1);
    EXPECT_EQ(view.webView(), nullptr);
    EXPECT_TRUE(panel.isVisible());

    // No positions: the grey picture with its message, no buttons.
    view.model().enableMap(-1);
    EXPECT_FALSE(panel.isVisible() || mapButton->isVisible());
    EXPECT_EQ(shoot(view, "map-view-no-gps").pixelColor(2, 2), QColor(55, 55, 55));
}
