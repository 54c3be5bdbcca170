#pragma once
#include "app/ControllerViews.h"

#include <QMainWindow>

#include <cstdint>
#include <functional>

class CalendarWidget;
class QColor;
class GSensorGraphWidget;
class MapView;
class MovieViewFrame;
class NotificationCenter;
class PlayBarWidget;
class RecordingListWidget;
class ToolbarWidget;

// What the window's controls ask of the application directly, besides the notifications.
struct MainWindowActions {
    std::function<void()> browse{};                          // the toolbar's Open
    std::function<void()> windowSwitch{};                    // swap the front and rear views
    std::function<void()> print{};                           // the toolbar's outputs
    std::function<void()> backup{};
    std::function<void()> capture{};
    std::function<void()> exportKml{};
    std::function<void()> evidence{};
    std::function<void()> uploadYouTube{};
    std::function<void()> uploadFacebook{};
    std::function<void(bool showCalendar)> showCalendar{};   // the calendar's mode button
    std::function<bool(int year, int month, int day)> hasRecordingOn{};  // marks the calendar's days
    std::function<void()> windowWillClose{};
    std::function<void(std::int32_t languageId)> chooseLanguage{};  // the settings menu
    std::function<void(std::int32_t skinId)> chooseSkin{};
    std::function<void()> about{};
    std::function<void()> mapFullScreen{};                   // the map's full-map button
    // The window switch's x for the recording list's left edge and width (the controller's rule).
    std::function<int(double listLeft, double listWidth)> switchButtonPosition{};
};

// The main window: toolbar on top; the large movie view, the play bar, the map view and the
// G-sensor graph on the left; the small movie view (dual-camera playback), the calendar and the
// recording list in a column on the right. In video full screen the movie fills the screen above
// the play bar, the small view over its top right corner; in map full screen the map fills it.
class MainWindow : public QMainWindow, public WindowLayout {
    Q_OBJECT
public:
    static constexpr int kColumnWidth = 291;
    static constexpr int kSmallMovieHeight = 184;
    static constexpr int kMinimumWidth = 980;
    static constexpr int kMinimumHeight = 660;

    explicit MainWindow(NotificationCenter& notifications, QWidget* parent = nullptr);

    void setActions(MainWindowActions actions);
    // The widgets that draw the two player slots' pictures, with what gives each its fill colour.
    void hostVideoWidgets(QWidget* first, QWidget* second,
                          const std::function<void(QWidget*, const QColor&)>& setFill = {});
    ControllerViews controllerViews();

    // WindowLayout. The window's real size wins over the numbers passed: Qt knows it exactly.
    void relayout(double width, double height) override;
    void showFullScreen(int screenMode) override;
    void showCalendar(bool show) override;
    void changeLanguage() override;
    void applySkinPalette() override;

    int screenMode() const { return screenMode_; }
    bool isFullScreenMode() const;
    // Presses the button that switches the current screen mode: the map's full-map button in map
    // full screen, else the play bar's full-screen button (F11, Escape, the window manager ending
    // full screen).
    void pressScreenModeButton();
    PlayBarWidget& playBar() { return *playBar_; }
    ToolbarWidget& toolbar() { return *toolbar_; }
    RecordingListWidget& recordingList() { return *list_; }
    CalendarWidget& calendar() { return *calendar_; }
    MapView& mapView() { return *map_; }
    GSensorGraphWidget& gsensorGraph() { return *gsensor_; }
    MovieViewFrame& movieView() { return *movieView_; }
    MovieViewFrame& movieView2() { return *movieView2_; }

protected:
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void layoutViews();

    QWidget* content_;
    ToolbarWidget* toolbar_;
    PlayBarWidget* playBar_;
    RecordingListWidget* list_;
    CalendarWidget* calendar_;
    MapView* map_;
    GSensorGraphWidget* gsensor_;
    MovieViewFrame* movieView_;
    MovieViewFrame* movieView2_;
    MainWindowActions actions_;
    int screenMode_ = 0;  // 0 normal, 1 video full screen, 2 map full screen
    bool maximizedBeforeFullScreen_ = false;
};
