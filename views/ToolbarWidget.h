#pragma once
#include "app/ControllerViews.h"

#include <QToolBar>

#include <array>
#include <functional>

class QAction;

// The strip at the top of the window: opening a recordings folder, print, backup, frame capture
// and KML export, and, in dual-camera playback, swapping the front and rear views. The controller
// enables and disables the output buttons with the state of playback; the upload buttons' states
// are kept for the buttons that will show them.
class ToolbarWidget : public QToolBar, public ToolbarView {
    Q_OBJECT
public:
    explicit ToolbarWidget(QWidget* parent = nullptr);

    void setBrowseHandler(std::function<void()> handler) { browse_ = std::move(handler); }
    void setWindowSwitchHandler(std::function<void()> handler) { windowSwitch_ = std::move(handler); }
    // The handler of an output button (Print, Backup, Capture, Export).
    void setOutputHandler(Button button, std::function<void()> handler);

    // ToolbarView
    void setButtonEnabled(Button button, bool enabled) override;
    void setWindowSwitchVisible(bool visible) override;

    bool isButtonEnabled(Button button) const { return enabled_[button]; }
    bool isWindowSwitchVisible() const;
    QAction& openAction() { return *open_; }
    QAction& windowSwitchAction() { return *switchAction_; }
    // The action of an output button; null for the upload buttons, which are not shown.
    QAction* outputAction(Button button) const { return outputs_[button]; }
    void changeLanguage();

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QAction* open_;
    QAction* switchAction_;
    std::function<void()> browse_;
    std::function<void()> windowSwitch_;
    std::array<bool, ToolbarView::UploadFacebook + 1> enabled_{};
    std::array<QAction*, ToolbarView::UploadFacebook + 1> outputs_{};
    std::array<std::function<void()>, ToolbarView::UploadFacebook + 1> outputHandlers_;
};
