#include "views/MainWindow.h"

#include "Utility/Skin.h"
#include "views/AppIcon.h"
#include "views/CalendarWidget.h"
#include "views/GSensorGraphWidget.h"
#include "views/MapView.h"
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
constexpr int kNormalScreen = 0, kVideoFullScreen = 1, kMapFullScreen = 2;
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
    map_ = new MapView(notifications, content_);
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
    toolbar_->setOutputHandler(ToolbarView::UploadYouTube, actions_.uploadYouTube);
    toolbar_->setOutputHandler(ToolbarView::UploadFacebook, actions_.uploadFacebook);
    toolbar_->setSettingsMenuActions({actions_.chooseLanguage, actions_.chooseSkin, actions_.about});
    calendar_->setModeHandler(actions_.showCalendar);
    calendar_->setRecordingQuery(actions_.hasRecordingOn);
    map_->model().setMapFullScreenHandler(actions_.mapFullScreen);
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
    views.map = &map_->model();
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

    if (screenMode_ == kVideoFullScreen) {
        large->setFrame({0, 0, double(width), double(height - bar)});
        small->setFrame({double(width - kColumnWidth - kFullScreenInset), double(kFullScreenInset), double(kColumnWidth),
                         double(kSmallMovieHeight)});
        playBar_->setGeometry(0, height - bar, width, bar);
        return;
    }
    if (screenMode_ == kMapFullScreen) {
        // The movies play on out of sight, beside the window's content, at their sizes.
        large->setFrame({double(width), 0, double(width), double(height)});
        small->setFrame({double(width), 0, double(kColumnWidth), double(kSmallMovieHeight)});
        map_->setGeometry(0, 0, width, height);
        return;
    }

    const int left = width - kColumnWidth;
    const int bottom = GSensorGraphWidget::kHeight;
    large->setFrame({0, 0, double(left), double(height - bar - bottom)});
    playBar_->setGeometry(0, height - bar - bottom, left, bar);
    map_->setGeometry(0, height - bottom, left - GSensorGraphWidget::kWidth, bottom);
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

void MainWindow::showFullScreen(int screenMode) {
    if (screenMode == screenMode_) return;
    screenMode_ = screenMode;
    const bool normal = screenMode == kNormalScreen;
    for (QWidget* panel : {static_cast<QWidget*>(toolbar_), static_cast<QWidget*>(calendar_),
                           static_cast<QWidget*>(list_), static_cast<QWidget*>(gsensor_)})
        panel->setVisible(normal);
    map_->setVisible(screenMode != kVideoFullScreen);
    playBar_->setVisible(screenMode != kMapFullScreen);
    if (normal && maximizedBeforeFullScreen_) {
        showMaximized();
    } else if (normal) {
        showNormal();
    } else if (!isFullScreen()) {
        maximizedBeforeFullScreen_ = isMaximized();
        QMainWindow::showFullScreen();
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

bool MainWindow::isFullScreenMode() const { return screenMode_ != kNormalScreen; }

void MainWindow::pressScreenModeButton() {
    if (screenMode_ == kMapFullScreen) map_->pressFullMap();
    else playBar_->pressButton(PlayBarWidget::kFullScreen);
}

void MainWindow::changeEvent(QEvent* event) {
    QMainWindow::changeEvent(event);
    // The window manager ended full screen (its own key, another workspace): the screen mode
    // follows as if the user had pressed the button, once the window manager is done.
    if (event->type() == QEvent::WindowStateChange && isFullScreenMode() && !(windowState() & Qt::WindowFullScreen))
        QMetaObject::invokeMethod(this, [this] {
            if (isFullScreenMode() && !(windowState() & Qt::WindowFullScreen)) pressScreenModeButton();
        }, Qt::QueuedConnection);
}
