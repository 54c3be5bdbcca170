#pragma once
#include <QObject>

class MainWindow;

// The main window's keys: Space play/pause, Left/Right seek 5 s, Up/Down volume, Page Up/Page Down
// previous/next recording, S speed, M mute, F11 full screen, Escape leaves full screen. Each key
// presses the play bar's own button or moves its own slider, so a key does exactly what the
// pointer does there (disabled controls included). The keys are caught before any widget of the
// window sees them, a focused web view included, and never while a menu, a drop-down or a dialog
// is open.
class WindowKeys : public QObject {
public:
    // Installs itself on the application for the window's lifetime.
    explicit WindowKeys(MainWindow& window);

    // The seconds Left and Right seek.
    static constexpr int kSeekSeconds = 5;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool act(int key, bool autoRepeat);

    MainWindow& window_;
};
