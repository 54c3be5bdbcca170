#pragma once
#include "app/ControllerViews.h"
#include "views/SettingsMenu.h"

#include <QPixmap>
#include <QWidget>

#include <array>
#include <functional>

class BitmapButton;

// The strip at the top of the window: the skin's background tiled from the left and the skinned
// buttons at fixed places, hanging from the top: open 0, print 45, backup 90, capture 135,
// settings 180 (45 high), evidence 225, export 270, the uploads from 315; the window switch, in dual-camera
// playback, left of the recording list. A button shows once the window gives it an action. The
// output buttons start disabled; the controller enables them with the state of playback.
class ToolbarWidget : public QWidget, public ToolbarView {
    Q_OBJECT
public:
    static constexpr int kHeight = 45;

    explicit ToolbarWidget(QWidget* parent = nullptr);

    void setBrowseHandler(std::function<void()> handler);
    void setWindowSwitchHandler(std::function<void()> handler);
    // What the settings menu's entries do; the settings button, shown from then on, opens the
    // menu below itself.
    void setSettingsMenuActions(SettingsMenuActions actions);
    // The handler of an output or upload button.
    void setOutputHandler(Button button, std::function<void()> handler);
    // The window switch's x, as the controller places it (left of the recording list).
    void setWindowSwitchX(int x);

    // ToolbarView
    void setButtonEnabled(Button button, bool enabled) override;
    void setWindowSwitchVisible(bool visible) override;
    void loadSkinBitmap() override;

    bool isButtonEnabled(Button button) const;
    bool isWindowSwitchVisible() const;
    BitmapButton& openButton() { return *open_; }
    BitmapButton& windowSwitchButton() { return *windowSwitch_; }
    BitmapButton& settingsButton() { return *settings_; }
    BitmapButton& outputButton(Button button) { return *outputs_[button]; }
    void changeLanguage() override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    BitmapButton* makeButton(const char* name, QRect place, const char* consoleLine, std::function<void()>& handler);

    QPixmap background_;
    BitmapButton* open_;
    BitmapButton* windowSwitch_;
    BitmapButton* settings_;
    SettingsMenuActions settingsMenu_;
    std::function<void()> openSettingsMenu_;
    std::array<BitmapButton*, ToolbarView::UploadFacebook + 1> outputs_{};
    std::function<void()> browse_;
    std::function<void()> switchWindow_;
    std::array<std::function<void()>, ToolbarView::UploadFacebook + 1> outputHandlers_;
    bool windowSwitchWanted_ = false;
};
