#include "ViewTestSupport.h"
#include "views/CalendarWidget.h"
#include "views/DashboardPanel.h"
#include "views/GSensorGraphWidget.h"
#include "views/MainWindow.h"
#include "views/MovieViewFrame.h"
#include "views/PlayBarWidget.h"
#include "views/RecordingListWidget.h"
#include "views/SkinnedButtons.h"
#include "views/ToolbarWidget.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QPushButton>
#include <QTest>

#include <map>

namespace {

struct ShownWindow {
    explicit ShownWindow(NotificationCenter& notifications) : window(notifications) {
        window.show();
        settle();
    }
    void settle() {
        for (int i = 0; i < 5; ++i) QApplication::processEvents();
    }
    QSize content() const { return window.centralWidget()->size(); }
    MainWindow window;
};

QRect frameRect(const MovieViewFrame& view) {
    const ViewFrame f = view.frame();
    return QRect(int(f.x), int(f.y), int(f.width), int(f.height));
}

// What the controller does to swap the two views.
void swapViews(MainWindow& window) {
    const ViewFrame first = window.movieView().frame();
    window.movieView().setFrame(window.movieView2().frame());
    window.movieView2().setFrame(first);
    window.movieView().setFillGray(55);
    window.movieView2().setFillGray(0);
}

}  // namespace

TEST(MainWindow, NormalLayoutPutsTheMovieOverThePanelsAndTheListInTheColumn) {
    ViewTest t;
    ShownWindow shown(t.notifications);
    MainWindow& window = shown.window;
    const QSize size = shown.content();
    ASSERT_GE(window.width(), MainWindow::kMinimumWidth);
    const int left = size.width() - MainWindow::kColumnWidth;
    const int panels = GSensorGraphWidget::kHeight;

    EXPECT_EQ(frameRect(window.movieView()), QRect(0, 0, left, size.height() - 44 - panels));
    EXPECT_EQ(window.playBar().geometry(), QRect(0, size.height() - 44 - panels, left, 44));
    EXPECT_EQ(window.gsensorGraph().geometry().bottomRight(), QPoint(left - 1, size.height() - 1));
    EXPECT_EQ(window.dashboard().geometry(), QRect(0, size.height() - panels, left - GSensorGraphWidget::kWidth, panels));
    EXPECT_EQ(window.calendar().geometry(), QRect(left, 0, 291, CalendarWidget::kFullHeight));
    EXPECT_EQ(window.recordingList().geometry(),
              QRect(left, CalendarWidget::kFullHeight, 291, size.height() - CalendarWidget::kFullHeight));
    EXPECT_TRUE(window.movieView2().isHidden());
    EXPECT_EQ(window.movieView().fillGray(), 0);
    EXPECT_EQ(window.movieView2().fillGray(), 55);
    EXPECT_FALSE(window.toolbar().isWindowSwitchVisible());

    const ControllerViews views = window.controllerViews();
    for (const void* view : {static_cast<const void*>(views.playBar), static_cast<const void*>(views.toolbar),
                             static_cast<const void*>(views.fileList), static_cast<const void*>(views.calendar),
                             static_cast<const void*>(views.map), static_cast<const void*>(views.gsensor),
                             static_cast<const void*>(views.movieView), static_cast<const void*>(views.movieView2),
                             static_cast<const void*>(views.layout)})
        EXPECT_NE(view, nullptr);

    const QImage image = ViewTest::shoot(window, "main-window-empty");
    ASSERT_FALSE(image.isNull());
    EXPECT_EQ(image.pixelColor(window.centralWidget()->mapTo(&window, QPoint(20, 20))), QColor(Qt::black));
}

TEST(MainWindow, DualCameraLayoutKeepsTheSwapAcrossRelayouts) {
    ViewTest t;
    ShownWindow shown(t.notifications);
    MainWindow& window = shown.window;
    const QSize size = shown.content();
    const int left = size.width() - MainWindow::kColumnWidth;
    const QRect large = frameRect(window.movieView());

    // What the controller does when the playlist holds pairs.
    window.toolbar().setWindowSwitchVisible(true);
    window.movieView2().setHidden(false);
    window.relayout(size.width(), size.height() + 22);
    const QRect small(left, 0, 291, MainWindow::kSmallMovieHeight);
    EXPECT_EQ(frameRect(window.movieView2()), small);
    EXPECT_EQ(window.calendar().geometry().top(), MainWindow::kSmallMovieHeight);
    EXPECT_EQ(window.recordingList().geometry().height(),
              size.height() - MainWindow::kSmallMovieHeight - CalendarWidget::kFullHeight);
    EXPECT_TRUE(window.toolbar().isWindowSwitchVisible());

    swapViews(window);
    window.resize(window.width() + 100, window.height() + 40);
    shown.settle();
    const QSize bigger = shown.content();
    // The rear view stays the large one at the new size.
    EXPECT_EQ(frameRect(window.movieView2()).size(), QSize(bigger.width() - 291, large.height() + 40));
    EXPECT_EQ(frameRect(window.movieView()), QRect(bigger.width() - 291, 0, 291, MainWindow::kSmallMovieHeight));
    ViewTest::shoot(window, "main-window-dual-swapped");
}

TEST(MainWindow, CalendarFoldGivesItsHeightToTheList) {
    ViewTest t;
    ShownWindow shown(t.notifications);
    MainWindow& window = shown.window;
    const int listHeight = window.recordingList().height();

    window.showCalendar(false);
    EXPECT_TRUE(window.calendar().isShrunk());
    EXPECT_EQ(window.calendar().height(), CalendarWidget::kStripHeight);
    EXPECT_EQ(window.recordingList().height(), listHeight + CalendarWidget::kFullHeight - CalendarWidget::kStripHeight);
    EXPECT_EQ(window.recordingList().geometry().top(), CalendarWidget::kStripHeight);
    ViewTest::shoot(window, "main-window-calendar-folded");

    window.showCalendar(true);
    EXPECT_EQ(window.recordingList().height(), listHeight);
}

TEST(MainWindow, VideoFullScreenShowsOnlyTheMoviesAndThePlayBar) {
    ViewTest t;
    ShownWindow shown(t.notifications);
    MainWindow& window = shown.window;
    window.movieView2().setHidden(false);

    window.showFullScreen(true);
    shown.settle();
    EXPECT_TRUE(window.isVideoFullScreen());
    for (QWidget* panel : {static_cast<QWidget*>(&window.toolbar()), static_cast<QWidget*>(&window.calendar()),
                           static_cast<QWidget*>(&window.recordingList()), static_cast<QWidget*>(&window.dashboard()),
                           static_cast<QWidget*>(&window.gsensorGraph())})
        EXPECT_FALSE(panel->isVisible());
    const QSize size = shown.content();
    EXPECT_EQ(frameRect(window.movieView()), QRect(0, 0, size.width(), size.height() - 44));
    EXPECT_EQ(window.playBar().geometry(), QRect(0, size.height() - 44, size.width(), 44));
    // The small view over the large one's top right corner.
    const QRect small = frameRect(window.movieView2());
    EXPECT_EQ(small.size(), QSize(291, MainWindow::kSmallMovieHeight));
    EXPECT_TRUE(frameRect(window.movieView()).contains(small));
    ViewTest::shoot(window, "main-window-full-screen");

    // Escape asks the controller as the play bar's button would.
    QTest::keyClick(&window, Qt::Key_Escape);
    EXPECT_EQ(t.objectsNamed(notify::kPlayBarButtonClicked), (std::vector<long>{10}));
    window.showFullScreen(false);
    shown.settle();
    EXPECT_FALSE(window.isVideoFullScreen());
    EXPECT_TRUE(window.recordingList().isVisible());
    EXPECT_TRUE(window.toolbar().isVisible());
    EXPECT_EQ(frameRect(window.movieView2()).left(), shown.content().width() - 291);
}

TEST(MainWindow, ToolbarAndCalendarReachTheApplicationThroughItsActions) {
    ViewTest t;
    ShownWindow shown(t.notifications);
    MainWindow& window = shown.window;
    std::vector<std::string> calls;
    MainWindowActions actions;
    actions.browse = [&] { calls.push_back("browse"); };
    actions.windowSwitch = [&] { calls.push_back("switch"); };
    actions.showCalendar = [&](bool show) { calls.push_back(show ? "calendar" : "all"); };
    actions.windowWillClose = [&] { calls.push_back("close"); };
    window.setActions(actions);

    window.toolbar().openButton().click();
    window.toolbar().setWindowSwitchVisible(true);
    window.toolbar().windowSwitchButton().click();
    QTest::mouseClick(&window.calendar().modeButton(), Qt::LeftButton);
    window.close();
    EXPECT_EQ(calls, (std::vector<std::string>{"browse", "switch", "all", "close"}));
}

TEST(MainWindow, MovieViewsHostThePictureWidgetsAndPassTheirFillOn) {
    ViewTest t;
    ShownWindow shown(t.notifications);
    MainWindow& window = shown.window;
    QWidget* first = new QWidget;
    QWidget* second = new QWidget;
    std::map<QWidget*, std::vector<int>> fills;
    window.hostVideoWidgets(first, second, [&](QWidget* video, const QColor& c) { fills[video].push_back(c.red()); });
    EXPECT_EQ(first->parentWidget(), &window.movieView());
    EXPECT_EQ(second->parentWidget(), &window.movieView2());
    EXPECT_EQ(fills[first], (std::vector<int>{0}));
    EXPECT_EQ(fills[second], (std::vector<int>{55}));

    // The picture widget is up from the start (its player needs it before it opens anything) and
    // fills its frame; it hides only for a slot it does not draw.
    EXPECT_TRUE(first->isVisible());
    window.movieView().showPlayer(0);
    EXPECT_TRUE(first->isVisible());
    EXPECT_EQ(first->geometry(), window.movieView().rect());
    window.movieView().showPlayer(1);
    EXPECT_FALSE(first->isVisible());
    window.movieView().showPlayer(-1);
    EXPECT_TRUE(first->isVisible());
    EXPECT_EQ(window.movieView().shownSlot(), -1);

    window.movieView2().setHidden(false);
    window.relayout(0, 0);
    window.movieView2().showPlayer(1);
    swapViews(window);
    EXPECT_EQ(fills[first].back(), 55);
    EXPECT_EQ(fills[second].back(), 0);
    EXPECT_EQ(second->geometry(), window.movieView2().rect());
    EXPECT_GT(second->width(), 291);
}
