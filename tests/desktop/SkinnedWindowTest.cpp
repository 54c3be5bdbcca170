#include "WindowProgramFixture.h"
#include "support/GraphicsDrivers.h"
#include "support/Screenshot.h"
#include "views/DashboardPanel.h"
#include "views/GSensorGraphWidget.h"
#include "views/MapView.h"
#include "views/SkinImages.h"
#include "views/ToolbarWidget.h"

namespace {

// A place in a view where the view shows one of its skin images as it is.
struct SkinSample {
    const char* view;
    QWidget* widget;
    QPoint at;
    const char* image;
    QPoint inImage;
};

QColor shownAt(QWidget& widget, QPoint at) { return widget.grab().toImage().pixelColor(at); }

QColor imageAt(const char* name, QPoint at) { return pmLoadImage(name).toImage().pixelColor(at); }

using SkinnedWindow = WindowProgramTest;

}  // namespace

// The program on the card with its first front/rear pair playing: each skin change reaches every
// view while the pair plays, and each skin is shot in both languages.
TEST_F(SkinnedWindow, EverySkinReachesEveryViewWhileAPairPlaysInBothLanguages) {
    for (const auto& [language, tag] : {std::pair{0, "en"}, std::pair{1, "zh"}}) {
        program.reset();
        store.values["SKIN_ID"] = 0;
        start(language);
        AppDelegate& controller = program->controller();
        // The card's first day holds its front/rear pairs.
        const SampleCardDate first = sampleCardTestOptions().firstDay;
        program->window().calendar().setActivateDay(first.year, first.month, first.day);
        controller.rebuildPlaylist();
        for (std::int32_t row = 0; row < std::int32_t(controller.playlist().size()); ++row)
            if (controller.library().getAnotherCameraFile(row) != -1) {
                controller.dblClickFile(row);
                break;
            }
        ASSERT_TRUE(spinUntil([&] { return program->player1().currentTime() > 1.0 && program->player2().currentTime() > 1.0; }));
        keepGraphicsDriversLoaded();

        MainWindow& window = program->window();
        ASSERT_TRUE(window.gsensorGraph().hasCurves()) << "the pair's log gives curves";
        const QRect dashboard = window.mapView().dashboard().dashboardRect();
        const int toolbarX = window.toolbar().width() - 3, barX = 345;
        for (int skin : {1, 2, 3, 0}) {
            controller.skinMenuItemClicked(skin);
            spinFor(0.3);
            const QImage tile = pmLoadImage("toolbar_background.png").toImage();
            const QImage barTile = pmLoadImage("playbar_background.png").toImage();
            const SkinSample samples[] = {
                {"toolbar", &window.toolbar(), {toolbarX, 40}, "toolbar_background.png", {toolbarX % tile.width(), 40}},
                {"play bar", &window.playBar(), {barX, 1}, "playbar_background.png", {barX % barTile.width(), 1}},
                {"calendar", &window.calendar(), {289, 2}, "calendar_background.png", {289, 2}},
                {"list", &window.recordingList(), {3, 28}, "bg_calendar_title.png", {3, 28}},
                {"dashboard", &window.mapView().dashboard(), dashboard.topLeft() + QPoint(10, 60), "gps_panel_bg.png", {10, 60}},
                {"graph", &window.gsensorGraph(), {330, 205}, "G-Sensor Screen_bg.png", {330, 205}},
            };
            for (const SkinSample& s : samples)
                EXPECT_EQ(shownAt(*s.widget, s.at), imageAt(s.image, s.inImage)) << s.view << " under skin " << skin;
            EXPECT_EQ(window.gsensorGraph().getGensorBitmap().pixelColor(330, 205), imageAt("G-Sensor Screen_bg.png", {330, 205}));
            EXPECT_EQ(QApplication::palette().color(QPalette::Window), pmSkinPalette(skin).color(QPalette::Window));
            saveScreenshot(window, QString("window-skin-%1-%2").arg(skin + 1).arg(tag));
        }
        EXPECT_TRUE(program->player2().currentTime() > 1.0) << "the pair plays on";
    }
}
