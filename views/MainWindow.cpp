#include "views/MainWindow.h"

#include "Utility/Skin.h"
#include "views/AppIcon.h"
#include "views/CalendarWidget.h"
#include "views/DashboardPanel.h"
#include "views/GSensorGraphWidget.h"
#include "views/MovieViewFrame.h"
#include "views/PlayBarWidget.h"
#include "views/RecordingListWidget.h"
#include "views/ToolbarWidget.h"
#include "views/ViewStyle.h"
#include "views/WindowKeys.h"

#include <QApplication>
#include <QCloseEvent>
#include <QGuiApplication>
#include <QScreen>

namespace {

// Lays the window's views out whenever its content changes size.
class ContentArea : public QWidget {
public:
    ContentArea(std::function<void()> relayout, QWidget* parent) : QWidget(parent), relayout_(std::move(relayout)) {
        setAutoFillBackground(true);
        QPalette palette = this->palette();
        palette.setColor(QPalette::Window, Qt::black);
        setPalette(palette);
    }

protected:
    void resizeEvent(QResizeEvent*) override { relayout_(); }

private:
    std::function<void()> relayout_;
};

constexpr int kLargeFill = 0;
constexpr int kSmallFill = 55;
constexpr int kFullScreenInset = 12;
// Where the window switch goes without a controller to place it.
constexpr int kNoListSwitchX = 668;

}  // namespace

MainWindow::MainWindow(NotificationCenter& notifications, QWidget* parent) : QMainWindow(parent) {
    setWindowTitle(pmViewString("IDR_MAINFRAME"));
    setMinimumSize(kMinimumWidth, kMinimumHeight);

    toolbar_ = new ToolbarWidget(this);
    setMenuWidget(toolbar_);

    content_ = new ContentArea([this] { layoutViews(); }, this);
    setCentralWidget(content_);
    movieView_ = new MovieViewFrame(content_);
    movieView_->setObjectName("movieView");
    movieView2_ = new MovieViewFrame(content_);
    movieView2_->setObjectName("movieView2");
    movieView_->setFillGray(kLargeFill);
    movieView2_->setFillGray(kSmallFill);
    movieView2_->setHidden(true);
    playBar_ = new PlayBarWidget(notifications, content_);
    dashboard_ = new DashboardPanel(content_);
    gsensor_ = new GSensorGraphWidget(content_);
    calendar_ = new CalendarWidget(notifications, content_);
    list_ = new RecordingListWidget(notifications, content_);
    new WindowKeys(*this);
    setWindowIcon(pmAppIcon());

    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect area = screen->availableGeometry();
        resize(minimumSize());
        move(area.center() - rect().center());
    }
}

void MainWindow::setActions(MainWindowActions actions) {
    actions_ = std::move(actions);
    toolbar_->setBrowseHandler(actions_.browse);
    toolbar_->setWindowSwitchHandler(actions_.windowSwitch);
    toolbar_->setOutputHandler(ToolbarView::Print, actions_.print);
    toolbar_->setOutputHandler(ToolbarView::Backup, actions_.backup);
    toolbar_->setOutputHandler(ToolbarView::Capture, actions_.capture);
    toolbar_->setOutputHandler(ToolbarView::Export, actions_.exportKml);
    toolbar_->setOutputHandler(ToolbarView::Evidence, actions_.evidence);
    toolbar_->setSettingsMenuActions({actions_.chooseLanguage, actions_.chooseSkin, actions_.about});
    calendar_->setModeHandler(actions_.showCalendar);
    calendar_->setRecordingQuery(actions_.hasRecordingOn);
    layoutViews();
}

void MainWindow::hostVideoWidgets(QWidget* first, QWidget* second,
                                  const std::function<void(QWidget*, const QColor&)>& setFill) {
    auto fillOf = [&](QWidget* video) -> MovieViewFrame::FillSetter {
        if (!setFill) return {};
        return [setFill, video](const QColor& color) { setFill(video, color); };
    };
    if (first) movieView_->hostVideoWidget(first, 0, fillOf(first));
    if (second) movieView2_->hostVideoWidget(second, 1, fillOf(second));
}

ControllerViews MainWindow::controllerViews() {
    ControllerViews views;
    views.playBar = playBar_;
    views.toolbar = toolbar_;
    views.fileList = list_;
    views.calendar = calendar_;
    views.map = dashboard_;
    views.gsensor = gsensor_;
    views.movieView = movieView_;
    views.movieView2 = movieView2_;
    views.layout = this;
    return views;
}

void MainWindow::relayout(double, double) { layoutViews(); }

void MainWindow::layoutViews() {
    const int width = content_->width();
    const int height = content_->height();
    // The large view is the black one: the controller swaps the frames and fills of the two.
    MovieViewFrame* large = movieView_->fillGray() == kLargeFill ? movieView_ : movieView2_;
    MovieViewFrame* small = large == movieView_ ? movieView2_ : movieView_;
    const bool dual = !movieView2_->isHidden();
    const int bar = PlayBarWidget::kBarHeight;

    if (fullScreen_) {
        large->setFrame({0, 0, double(width), double(height - bar)});
        small->setFrame({double(width - kColumnWidth - kFullScreenInset), double(kFullScreenInset), double(kColumnWidth),
                         double(kSmallMovieHeight)});
        playBar_->setGeometry(0, height - bar, width, bar);
        return;
    }

    const int left = width - kColumnWidth;
    const int bottom = GSensorGraphWidget::kHeight;
    large->setFrame({0, 0, double(left), double(height - bar - bottom)});
    playBar_->setGeometry(0, height - bar - bottom, left, bar);
    dashboard_->setGeometry(0, height - bottom, left - GSensorGraphWidget::kWidth, bottom);
    gsensor_->move(left - GSensorGraphWidget::kWidth, height - bottom);

    // The window switch hangs from the toolbar just left of the recording list.
    toolbar_->setWindowSwitchX(actions_.switchButtonPosition ? actions_.switchButtonPosition(left, kColumnWidth)
                                                             : kNoListSwitchX);

    // The small view keeps its place at the top of the column even while hidden, so that the
    // two views' widths always tell which one is large.
    small->setFrame({double(left), 0, double(kColumnWidth), double(kSmallMovieHeight)});
    int top = dual ? kSmallMovieHeight : 0;
    const int calendarHeight = calendar_->isShrunk() ? CalendarWidget::kStripHeight : CalendarWidget::kFullHeight;
    calendar_->setGeometry(left, top, kColumnWidth, calendarHeight);
    top += calendarHeight;
    list_->setGeometry(left, top, kColumnWidth, height - top);
}

void MainWindow::showFullScreen(bool fullScreen) {
    if (fullScreen == fullScreen_) return;
    fullScreen_ = fullScreen;
    for (QWidget* panel : {static_cast<QWidget*>(toolbar_), static_cast<QWidget*>(calendar_),
                           static_cast<QWidget*>(list_), static_cast<QWidget*>(dashboard_),
                           static_cast<QWidget*>(gsensor_)})
        panel->setVisible(!fullScreen);
    if (fullScreen) {
        maximizedBeforeFullScreen_ = isMaximized();
        QMainWindow::showFullScreen();
    } else if (maximizedBeforeFullScreen_) {
        showMaximized();
    } else {
        showNormal();
    }
    layoutViews();
}

void MainWindow::applySkinPalette() { QApplication::setPalette(pmSkinPalette(pmGetSkinID())); }

void MainWindow::showCalendar(bool show) {
    calendar_->shrinkCalendarView(!show);
    layoutViews();
}

void MainWindow::closeEvent(QCloseEvent* event) {
    if (actions_.windowWillClose) actions_.windowWillClose();
    event->accept();
}

void MainWindow::changeLanguage() { setWindowTitle(pmViewString("IDR_MAINFRAME")); }

void MainWindow::pressScreenModeButton() { playBar_->pressButton(PlayBarWidget::kFullScreen); }

void MainWindow::changeEvent(QEvent* event) {
    QMainWindow::changeEvent(event);
    // The window manager ended full screen (its own key, another workspace): the screen mode
    // follows as if the user had pressed the button, once the window manager is done.
    if (event->type() == QEvent::WindowStateChange && fullScreen_ && !(windowState() & Qt::WindowFullScreen))
        QMetaObject::invokeMethod(this, [this] {
            if (fullScreen_ && !(windowState() & Qt::WindowFullScreen)) pressScreenModeButton();
        }, Qt::QueuedConnection);
}
