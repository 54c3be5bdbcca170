#pragma once
#include "app/ControllerViews.h"
#include "app/NotificationCenter.h"
#include "app/SensorGraphic.h"

#include <set>
#include <string>
#include <utility>
#include <vector>

// Every view of the main window in one fake: it keeps what the controller shows, answers its
// questions, and "presses" as the real widgets do (the play bar's buttons change their own image
// before posting).
// A view that notes its image reloads by name: each view interface has its own loadSkinBitmap.
template <class View>
class NotesSkinReload : public View {
public:
    NotesSkinReload(std::vector<std::string>& notes, const char* name) : notes_(notes), name_(name) {}
    void loadSkinBitmap() override { notes_.push_back(name_); }

protected:
    std::vector<std::string>& notes_;
    const char* name_;
};
// And when it re-reads its texts, as "<name> texts".
template <class View>
class NotesReloads : public NotesSkinReload<View> {
public:
    using NotesSkinReload<View>::NotesSkinReload;
    void changeLanguage() override { this->notes_.push_back(std::string(this->name_) + " texts"); }
};

class FakeViews : public NotesReloads<PlayBarView>, public NotesReloads<ToolbarView>,
                  public NotesReloads<RecordingListView>, public NotesReloads<CalendarPanel>,
                  public NotesReloads<MapPanel>, public NotesSkinReload<GSensorGraphView> {
public:
    struct FakeMovieView : MovieView {
        explicit FakeMovieView(ViewFrame f) : viewFrame(f) {}
        void showPlayer(int) override {}
        ViewFrame frame() const override { return viewFrame; }
        void setFrame(const ViewFrame& f) override { viewFrame = f; }
        void setFillGray(int level) override { fill = level; }
        void setHidden(bool) override {}
        ViewFrame viewFrame;
        int fill = -1;
    };

    // The window's layout: the sizes it was laid out for, its screen mode and its title re-read.
    struct FakeLayout : WindowLayout {
        explicit FakeLayout(std::vector<std::string>& notes) : notes_(notes) {}
        void relayout(double width, double height) override { relayouts.emplace_back(width, height); }
        void showFullScreen(int mode) override { screenMode = mode; }
        void showCalendar(bool) override {}
        void changeLanguage() override { notes_.push_back("title"); }
        void applySkinPalette() override {}
        std::vector<std::string>& notes_;
        std::vector<std::pair<double, double>> relayouts;
        int screenMode = 0;
    };

    explicit FakeViews(NotificationCenter& center)
        : NotesReloads<PlayBarView>(graphics, "play bar"), NotesReloads<ToolbarView>(graphics, "toolbar"),
          NotesReloads<RecordingListView>(graphics, "list"), NotesReloads<CalendarPanel>(graphics, "calendar"),
          NotesReloads<MapPanel>(graphics, "map"), NotesSkinReload<GSensorGraphView>(graphics, "graph"),
          center_(center) {}
    ControllerViews all() { return {this, this, this, this, this, this, &movie1, &movie2, &layout}; }

    // The user's hands.
    void pressPlay() {
        playButton = 1 - playButton;
        center_.post(notify::kPlayBarButtonClicked, playButton == 1 ? 1 : 2);
    }
    void pressSpeed() {
        speedButton = (speedButton + 1) % 5;
        center_.post(notify::kPlayBarButtonClicked, 9);
    }
    void pressButton(int code) { center_.post(notify::kPlayBarButtonClicked, code); }
    void doubleClickRow(int row) { center_.post(notify::kFileListViewDoubleClick, row); }
    void moveSlider(const std::string& type, int value) {
        if (type == "time") sliderValue = value;
        center_.post(notify::kDoSliderChanged, value, {{"SLIDER_TYPE", type}});
    }

    int playButtonIndex() const override { return playButton; }
    void setPlayButtonIndex(int index) override { playButton = index; }
    int speedButtonIndex() const override { return speedButton; }
    void enableMediaButtons(bool) override {}
    void setTimeSliderEnabled(bool enabled) override { sliderEnabled = enabled; }
    void setTimeSliderRange(int, int maximum) override { sliderMax = maximum; }
    void setTimeSliderValue(int value) override { sliderValue = value; }
    int timeSliderPosition() const override { return sliderValue * 2; }
    void setEventMarkPos(int second) override { eventMark = second; }
    void resetPlayButtons() override { playButton = 0; }
    void setPlayTime(int played, int, bool) override { playedTime = played; }
    void setMute(bool) override {}

    void setButtonEnabled(Button button, bool enabled) override {
        if (enabled) enabledButtons.insert(button);
        else enabledButtons.erase(button);
    }
    void setWindowSwitchVisible(bool visible) override { windowSwitchVisible = visible; }

    bool isShowNormalFile() const override { return true; }
    bool isShowEventFile() const override { return true; }
    bool isShowParkingFile() const override { return true; }
    void buildFileList(const std::vector<AMediaFile>&) override {}
    int getCurSel() const override { return selectedRow; }
    void setCurSel(int index, bool) override { selectedRow = index; }
    void showPlayMark(int) override {}

    void videoLibIsReady() override {}
    void setActivateDay(int y, int m, int d) override { day = {y, m, d}; }
    void getSelectDay(int& y, int& m, int& d) const override { y = day[0], m = day[1], d = day[2]; }

    void setPosition(float lat, float lon, float speed, float alt, float dir) override {
        position = {lat, lon, speed, alt, dir};
    }
    void drawPath(const GpsList* track) override { pathDrawn = track != nullptr; }
    void loadMap() override {}
    bool isOnLine() const override { return false; }
    bool isMapDocReady() const override { return false; }
    bool isInternetConnected() override { return false; }
    void enableMap(int) override {}
    int getMapState() const override { return 0; }
    void onButtonFullMap() override {}
    void centerLastLocation() override { ++centered; }
    void requestRedraw() override {}
    std::int16_t getSpeedUnit() const override { return 0; }

    void setGensorGraphic(const SensorGraphic* graphic, int, double) override {
        graphics.push_back(graphic && graphic->present ? "curves" : "no curves");
    }
    void drawIndicator(int at, int, int, int) override { graphics.push_back("indicator at " + std::to_string(at)); }

    FakeMovieView movie1{{0, 0, 640, 360}}, movie2{{640, 0, 291, 184}};
    int playButton = 0, speedButton = 0, sliderMax = 0, sliderValue = 0, eventMark = -1, playedTime = 0;
    int selectedRow = -1;
    bool sliderEnabled = false, windowSwitchVisible = false, pathDrawn = false;
    std::set<Button> enabledButtons;
    std::vector<int> day{0, 0, 0};
    std::vector<float> position;
    // The views' image and text reloads, the G-sensor graph's drawing and the title, in order.
    std::vector<std::string> graphics;
    FakeLayout layout{graphics};
    int centered = 0;

private:
    NotificationCenter& center_;
};
