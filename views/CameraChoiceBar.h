#pragma once
#include <QWidget>

#include <functional>

class QButtonGroup;

// The row of three buttons of the capture and print previews in dual-camera playback: camera 1,
// camera 2, both (options 1, 2, 3). One is checked at a time; both at the start.
class CameraChoiceBar : public QWidget {
    Q_OBJECT
public:
    static constexpr int kButtonWidth = 76;
    static constexpr int kButtonHeight = 35;

    explicit CameraChoiceBar(std::function<void(int option)> chosen, QWidget* parent = nullptr);
    int option() const;
    // Presses the button of an option (1, 2 or 3) as the user would.
    void press(int option);

private:
    QButtonGroup* group_;
};
