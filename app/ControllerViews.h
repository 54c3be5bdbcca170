#pragma once
#include <cstdint>
#include <string>
#include <vector>

class AMediaFile;
class ControllerDialogs;
class GpsList;
struct SensorGraphic;

// What the controller tells the views of the main window. The window implements these on its
// widgets; controller tests use fakes. Views answer questions about their own state (which button
// image shows, which row is selected) but own no recording data.

class PlayBarView {
public:
    virtual ~PlayBarView() = default;
    // Play button: 0 shows the play image, 1 the pause image.
    virtual int playButtonIndex() const = 0;
    virtual void setPlayButtonIndex(int index) = 0;
    // Speed button state 0..4.
    virtual int speedButtonIndex() const = 0;
    // Play, previous, next, reverse play, speed, direction; full screen only when enabling.
    virtual void enableMediaButtons(bool enable) = 0;
    // Time slider.
    virtual void setTimeSliderEnabled(bool enabled) = 0;
    virtual void setTimeSliderRange(int minimum, int maximum) = 0;
    virtual void setTimeSliderValue(int value) = 0;
    virtual int timeSliderPosition() const = 0;  // the thumb's x offset in pixels
    virtual void setEventMarkPos(int second) = 0;  // -1 removes the mark
    // Play and reverse-play buttons back to their first state.
    virtual void resetPlayButtons() = 0;
    virtual void setPlayTime(int playedSeconds, int totalSeconds, bool redraw) = 0;
    virtual void setMute(bool mute) = 0;
    // Re-reads every localised text of the view and redraws it (after a language change).
    virtual void changeLanguage() = 0;
    // Every view loads its images again after a skin change.
    virtual void loadSkinBitmap() = 0;
};

class ToolbarView {
public:
    virtual ~ToolbarView() = default;
    enum Button { Backup, Print, Capture, Export, Evidence, UploadYouTube, UploadFacebook };
    virtual void setButtonEnabled(Button button, bool enabled) = 0;
    virtual void setWindowSwitchVisible(bool visible) = 0;
    virtual void changeLanguage() = 0;
    virtual void loadSkinBitmap() = 0;
};

class RecordingListView {
public:
    virtual ~RecordingListView() = default;
    virtual bool isShowNormalFile() const = 0;
    virtual bool isShowEventFile() const = 0;
    virtual bool isShowParkingFile() const = 0;
    virtual void buildFileList(const std::vector<AMediaFile>& playlist) = 0;
    virtual int getCurSel() const = 0;  // -1 when no row is selected
    virtual void setCurSel(int index, bool scrollTo) = 0;
    virtual void showPlayMark(int index) = 0;
    virtual void changeLanguage() = 0;
    virtual void loadSkinBitmap() = 0;
};

class CalendarPanel {
public:
    virtual ~CalendarPanel() = default;
    virtual void videoLibIsReady() = 0;
    virtual void setActivateDay(int year, int month, int day) = 0;
    virtual void getSelectDay(int& year, int& month, int& day) const = 0;
    virtual void changeLanguage() = 0;
    virtual void loadSkinBitmap() = 0;
};

class MapPanel {
public:
    virtual ~MapPanel() = default;
    virtual void setPosition(float latitude, float longitude, float speed, float altitude, float direction) = 0;
    virtual void drawPath(const GpsList* track) = 0;  // nullptr: no path
    virtual void loadMap() = 0;
    virtual bool isOnLine() const = 0;
    virtual bool isMapDocReady() const = 0;
    // Checks the connection, keeps the answer (isOnLine) and logs it.
    virtual bool isInternetConnected() = 0;
    virtual void enableMap(int state) = 0;  // 1 map, 0 no network, -1 no positions
    virtual int getMapState() const = 0;
    virtual void onButtonFullMap() = 0;
    virtual void centerLastLocation() = 0;
    virtual void requestRedraw() = 0;
    virtual void changeLanguage() = 0;
    virtual void loadSkinBitmap() = 0;
    // The unit speeds are shown in: 0 km/h, 1 mph.
    virtual std::int16_t getSpeedUnit() const = 0;
};

class GSensorGraphView {
public:
    virtual ~GSensorGraphView() = default;
    virtual void setGensorGraphic(const SensorGraphic* graphic, int motorType, double range) = 0;
    virtual void drawIndicator(int position, int x, int y, int z) = 0;
    virtual void loadSkinBitmap() = 0;
};

// A movie view's place in the window: frames are swapped between the large and the small view.
struct ViewFrame {
    double x = 0, y = 0, width = 0, height = 0;
    bool operator==(const ViewFrame&) const = default;
};

class MovieView {
public:
    virtual ~MovieView() = default;
    // Which player slot the view shows (0 first, 1 second); -1 shows nothing.
    virtual void showPlayer(int slot) = 0;
    virtual ViewFrame frame() const = 0;
    virtual void setFrame(const ViewFrame& frame) = 0;
    virtual void setFillGray(int level) = 0;  // 0 black for the large view, 55 for the small one
    virtual void setHidden(bool hidden) = 0;
};

class WindowLayout {
public:
    virtual ~WindowLayout() = default;
    virtual void relayout(double width, double height) = 0;
    // 0 the normal window, 1 video full screen, 2 map full screen.
    virtual void showFullScreen(int screenMode) = 0;
    // Shows or hides the calendar; the recording list takes or gives back its height.
    virtual void showCalendar(bool show) = 0;
    // Re-reads the window's own texts (its title) after a language change.
    virtual void changeLanguage() = 0;
    // The toolkit's own parts (menus, dialogs, tool tips) take the palette of the current skin.
    virtual void applySkinPalette() = 0;
};

// All the views the controller knows; any may be missing (nullptr).
struct ControllerViews {
    PlayBarView* playBar = nullptr;
    ToolbarView* toolbar = nullptr;
    RecordingListView* fileList = nullptr;
    CalendarPanel* calendar = nullptr;
    MapPanel* map = nullptr;
    GSensorGraphView* gsensor = nullptr;
    MovieView* movieView = nullptr;
    MovieView* movieView2 = nullptr;
    WindowLayout* layout = nullptr;
    // The dialogs of the outputs (app/ControllerDialogs.h); without them those buttons do nothing.
    ControllerDialogs* dialogs = nullptr;
};
