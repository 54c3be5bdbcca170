#pragma once
#include "app/ControllerViews.h"
#include "app/NotificationCenter.h"
#include "library/AMediaFile.h"

#include <map>
#include <string>
#include <vector>

// Every view of the main window in one fake: it keeps the state the controller sets, answers its
// questions, and behaves like the real widgets when the test "presses" something (the play bar's
// buttons change their own image before posting, as the real bar does).
class FakeViews : public PlayBarView,
                  public ToolbarView,
                  public RecordingListView,
                  public CalendarPanel,
                  public MapPanel,
                  public GSensorGraphView,
                  public WindowLayout {
public:
    class FakeMovieView : public MovieView {
    public:
        void showPlayer(int s) override { slot = s; }
        ViewFrame frame() const override { return viewFrame; }
        void setFrame(const ViewFrame& f) override { viewFrame = f; }
        void setFillGray(int level) override { fill = level; }
        void setHidden(bool h) override { hidden = h; }
        int slot = -1;
        ViewFrame viewFrame;
        int fill = -1;
        bool hidden = false;
    };

    explicit FakeViews(NotificationCenter& center) : center_(center) {
        movie1.viewFrame = {0, 0, 640, 360};
        movie2.viewFrame = {640, 0, 291, 184};
    }

    ControllerViews all() {
        ControllerViews v;
        v.playBar = this;
        v.toolbar = this;
        v.fileList = this;
        v.calendar = this;
        v.map = this;
        v.gsensor = this;
        v.movieView = &movie1;
        v.movieView2 = &movie2;
        v.layout = this;
        return v;
    }

    // The user's hands.
    void pressPlay() {
        const int code = playButton == 0 ? 1 : 2;
        playButton = 1 - playButton;
        center_.post(notify::kPlayBarButtonClicked, code);
    }
    void pressSpeed() {
        speedButton = (speedButton + 1) % 5;
        center_.post(notify::kPlayBarButtonClicked, 9);
    }
    void pressButton(int code) { center_.post(notify::kPlayBarButtonClicked, code); }
    void doubleClickRow(int row) { center_.post(notify::kFileListViewDoubleClick, row); }
    void moveSlider(const std::string& type, int value) {
        center_.post(notify::kDoSliderChanged, value, {{"SLIDER_TYPE", type}});
    }

    // PlayBarView
    int playButtonIndex() const override { return playButton; }
    void setPlayButtonIndex(int index) override { playButton = index; }
    int speedButtonIndex() const override { return speedButton; }
    void enableMediaButtons(bool enable) override { mediaButtonsEnabled = enable; }
    void setTimeSliderEnabled(bool enabled) override { sliderEnabled = enabled; }
    void setTimeSliderRange(int minimum, int maximum) override { sliderMin = minimum, sliderMax = maximum; }
    void setTimeSliderValue(int value) override { sliderValue = value; }
    int timeSliderPosition() const override { return sliderValue * 2; }
    void setEventMarkPos(int second) override { eventMark = second; }
    void resetPlayButtons() override { playButton = 0; }
    void setPlayTime(int played, int total, bool) override { playedTime = played, totalTime = total; }
    void setMute(bool mute) override { muteShown = mute; }

    // ToolbarView
    void setButtonEnabled(Button button, bool enabled) override { toolbarEnabled[button] = enabled; }
    void setWindowSwitchVisible(bool visible) override { windowSwitchVisible = visible; }

    // RecordingListView
    bool isShowNormalFile() const override { return showNormal; }
    bool isShowEventFile() const override { return showEvent; }
    bool isShowParkingFile() const override { return true; }
    void buildFileList(const std::vector<AMediaFile>& playlist) override { listRows = playlist.size(); }
    int getCurSel() const override { return selectedRow; }
    void setCurSel(int index, bool) override { selectedRow = index; }
    void showPlayMark(int index) override { playMark = index; }

    // CalendarPanel
    void videoLibIsReady() override { ++libraryReadyCount; }
    void setActivateDay(int y, int m, int d) override { activeDay = {y, m, d}; }
    void getSelectDay(int& y, int& m, int& d) const override { y = activeDay[0], m = activeDay[1], d = activeDay[2]; }

    // MapPanel
    void setPosition(float lat, float lon, float speed, float alt, float dir) override {
        position = {lat, lon, speed, alt, dir};
    }
    void drawPath(const GpsList* track) override { pathDrawn = track != nullptr; }
    void loadMap() override { ++loadMapCount; }
    bool isOnLine() const override { return false; }
    bool isMapDocReady() const override { return false; }
    bool isInternetConnected() override { return false; }
    void enableMap(int state) override { mapState = state; }
    int getMapState() const override { return 0; }
    void onButtonFullMap() override {}
    void centerLastLocation() override { ++centerCount; }
    void requestRedraw() override {}
    std::int16_t getSpeedUnit() const override { return 0; }

    // GSensorGraphView
    void setGensorGraphic(const SensorGraphic* graphic, int motorType, double range) override {
        graphicShown = graphic != nullptr, graphicMotorType = motorType, graphicRange = range;
    }
    void drawIndicator(int pos, int x, int y, int z) override { indicator = {pos, x, y, z}; }
    void loadSkinBitmap() override {}

    // WindowLayout
    void relayout(double width, double height) override { layouts.push_back({width, height}); }
    void showFullScreen(int mode) override { screenMode = mode; }
    void showCalendar(bool show) override { calendarShown = show; }

    FakeMovieView movie1, movie2;
    int playButton = 0, speedButton = 0;
    bool mediaButtonsEnabled = false, sliderEnabled = false, muteShown = false;
    int sliderMin = 0, sliderMax = 1000, sliderValue = 0, eventMark = -1, playedTime = 0, totalTime = 0;
    std::map<Button, bool> toolbarEnabled;
    bool windowSwitchVisible = false;
    bool showNormal = true, showEvent = true;
    std::size_t listRows = 0;
    int selectedRow = -1, playMark = -1, libraryReadyCount = 0;
    std::vector<int> activeDay{0, 0, 0};
    std::vector<float> position;
    bool pathDrawn = false;
    int loadMapCount = 0, mapState = -2, centerCount = 0;
    bool graphicShown = false;
    int graphicMotorType = -1;
    double graphicRange = -1;
    std::vector<int> indicator;
    std::vector<std::pair<double, double>> layouts;
    int screenMode = 0;
    bool calendarShown = true;

private:
    NotificationCenter& center_;
};
