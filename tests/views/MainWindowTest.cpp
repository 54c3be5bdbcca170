#include "ViewTestSupport.h"
#include "views/CalendarWidget.h"
#include "views/MapView.h"
#include "views/GSensorGraphWidget.h"
#include "views/MainWindow.h"
#include "views/MovieViewFrame.h"
#include "views/PlayBarWidget.h"
#include "views/RecordingListWidget.h"
#include "views/SkinnedButtons.h"
#include "views/ToolbarWidget.h"

#include <QAction>
#include <QPushButton>
#include <QTest>

#include <map>

namespace {

constexpr int kColumn = MainWindow::kColumnWidth;
constexpr int kBar = PlayBarWidget::kBarHeight;

struct Window : ViewTest {
    Window() { settle(); }
    // Shows the window and lets it lay itself out.
    void settle() {
        window.show();
        for (int i = 0; i < 5; ++i) QApplication::processEvents();
    }
    QSize content() const { return window.centralWidget()->size(); }
    MainWindow window{notifications};
};

}  // namespace

TEST_F(Window, MovieOverThePanelsOnTheLeftCalendarAndListInTheColumn) {
    const QSize size = content();
    const int left = size.width() - kColumn;
    const int panels = GSensorGraphWidget::kHeight;
    EXPECT_EQ(window.movieView().geometry(), QRect(0, 0, left, size.height() - kBar - panels));
    EXPECT_EQ(window.playBar().geometry(), QRect(0, size.height() - kBar - panels, left, kBar));
    EXPECT_EQ(window.gsensorGraph().geometry().bottomRight(), QPoint(left - 1, size.height() - 1));
    EXPECT_EQ(window.mapView().geometry(),
              QRect(0, size.height() - panels, left - GSensorGraphWidget::kWidth, panels));
    EXPECT_EQ(window.calendar().geometry(), QRect(left, 0, kColumn, CalendarWidget::kFullHeight));
    EXPECT_EQ(window.recordingList().geometry(),
              QRect(left, CalendarWidget::kFullHeight, kColumn, size.height() - CalendarWidget::kFullHeight));
    EXPECT_TRUE(window.movieView2().isHidden());  // one camera: no small view
    shoot(window, "main-window-empty");

    // Folding the calendar to its strip gives its height to the list.
    window.showCalendar(false);
    EXPECT_EQ(window.recordingList().geometry(), QRect(left, CalendarWidget::kStripHeight, kColumn,
                                                       size.height() - CalendarWidget::kStripHeight));
    shoot(window, "main-window-calendar-folded");
    window.showCalendar(true);
    EXPECT_EQ(window.recordingList().geometry().top(), CalendarWidget::kFullHeight);
}

TEST_F(Window, DualCameraPutsTheSmallViewOnTopOfTheColumnAndTheBlackViewIsTheLargeOne) {
    MovieViewFrame& front = window.movieView();
    MovieViewFrame& rear = window.movieView2();
    // The picture widgets take their frame's fill, and stay up (their players need them before
    // they open anything) except for a slot they do not draw.
    QWidget* first = new QWidget;
    QWidget* second = new QWidget;
    std::map<QWidget*, int> fills;
    window.hostVideoWidgets(first, second, [&](QWidget* video, const QColor& c) { fills[video] = c.red(); });
    EXPECT_EQ(fills, (std::map<QWidget*, int>{{first, 0}, {second, 55}}));
    EXPECT_EQ(first->parentWidget(), &front);
    EXPECT_TRUE(first->isVisible());
    front.showPlayer(1);
    EXPECT_FALSE(first->isVisible());
    front.showPlayer(-1);
    EXPECT_TRUE(first->isVisible());

    const QSize size = content();
    const int largeHeight = front.height();
    rear.setHidden(false);
    rear.showPlayer(1);
    window.relayout(size.width(), size.height() + 22);  // the window's own size wins
    EXPECT_EQ(rear.geometry(), QRect(size.width() - kColumn, 0, kColumn, MainWindow::kSmallMovieHeight));
    EXPECT_EQ(window.recordingList().height(),
              size.height() - MainWindow::kSmallMovieHeight - CalendarWidget::kFullHeight);

    // The fills tell which view is large, also at the next size; the pictures follow their frames.
    front.setFillGray(55);
    rear.setFillGray(0);
    EXPECT_EQ(fills, (std::map<QWidget*, int>{{first, 55}, {second, 0}}));
    window.resize(window.width() + 100, window.height() + 40);
    settle();
    const QSize bigger = content();
    EXPECT_EQ(rear.size(), QSize(bigger.width() - kColumn, largeHeight + 40));
    EXPECT_EQ(front.geometry(), QRect(bigger.width() - kColumn, 0, kColumn, MainWindow::kSmallMovieHeight));
    EXPECT_EQ(second->geometry(), rear.rect());
    shoot(window, "main-window-dual-swapped");

    // Video full screen: the movie over the play bar, the small view over the large one's top right.
    window.showFullScreen(1);
    settle();
    const QSize full = content();
    EXPECT_EQ(rear.geometry(), QRect(0, 0, full.width(), full.height() - kBar));
    EXPECT_EQ(window.playBar().geometry(), QRect(0, full.height() - kBar, full.width(), kBar));
    EXPECT_TRUE(rear.geometry().contains(front.geometry()));
    EXPECT_GT(front.x(), full.width() / 2);
    shoot(window, "main-window-full-screen");

    // Escape asks the controller as the play bar's button would; only the controller leaves.
    QTest::keyClick(&window, Qt::Key_Escape);
    EXPECT_EQ(objectsNamed(notify::kPlayBarButtonClicked), (std::vector<long>{10}));
    EXPECT_EQ(window.screenMode(), 1);
    window.showFullScreen(0);
    settle();
    EXPECT_EQ(front.x(), content().width() - kColumn);

    // Map full screen (the whole-window test sees it fill the window): the movies play on out of
    // sight; Escape presses the map's full-map button.
    int mapPresses = 0;
    MainWindowActions actions;
    actions.mapFullScreen = [&] { ++mapPresses; };
    window.setActions(actions);
    window.showFullScreen(2);
    settle();
    EXPECT_TRUE(front.visibleRegion().isEmpty() && rear.visibleRegion().isEmpty() && !window.playBar().isVisible());
    QTest::keyClick(&window, Qt::Key_Escape);
    EXPECT_EQ(mapPresses, 1);
}

TEST_F(Window, ToolbarCalendarAndCloseReachTheApplicationThroughItsActions) {
    std::vector<std::string> calls;
    auto note = [&calls](const char* call) { return [&calls, call] { calls.push_back(call); }; };
    window.setActions({.browse = note("browse"), .windowSwitch = note("switch"),
                       .showCalendar = [&](bool show) { calls.push_back(show ? "calendar" : "all"); },
                       .windowWillClose = note("close"),
                       .switchButtonPosition = [](double listLeft, double) { return int(listLeft) - 22; }});
    // The window switch hangs left of the list, wherever a resize puts the list.
    for (int wider : {0, 150}) {
        window.resize(window.width() + wider, window.height());
        settle();
        EXPECT_EQ(window.toolbar().windowSwitchButton().x(), content().width() - kColumn - 22) << wider;
    }

    window.toolbar().openButton().click();
    window.toolbar().setWindowSwitchVisible(true);
    window.toolbar().windowSwitchButton().click();
    // The mode button names what the next press shows.
    BitmapButton& mode = window.calendar().modeButton();
    for (const char* title : {"All", "Calendar", "All"}) {
        EXPECT_EQ(mode.text(), title);
        QTest::mouseClick(&mode, Qt::LeftButton);
    }
    window.close();
    EXPECT_EQ(calls, (std::vector<std::string>{"browse", "switch", "all", "calendar", "all", "close"}));
}
