#pragma once
#include "Utility/WaitingIndicator.h"

#include <QPointer>

class QWidget;
class SpinningIndicator;

// The waiting indicator's window: a small borderless window with the spinner, centred over the
// main window (or the screen), above everything while it shows.
class WaitingWindow : public WaitingPresenter {
public:
    static constexpr int kSize = 72;

    explicit WaitingWindow(QWidget* mainWindow = nullptr) : mainWindow_(mainWindow) {}
    ~WaitingWindow() override;

    void showWaitingWindow() override;
    void endWaitingWindow() override;

    // The window on show, none between the two calls.
    QWidget* window() const { return window_; }
    SpinningIndicator* spinner() const { return spinner_; }

private:
    QPointer<QWidget> mainWindow_;
    QPointer<QWidget> window_;
    SpinningIndicator* spinner_ = nullptr;
};
