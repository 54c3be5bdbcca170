#pragma once
#include <QDialog>
#include <QImage>

#include <functional>

class CameraChoiceBar;
class QLabel;

// The capture preview: the frame of the one camera, or in dual-camera playback camera 1's, camera
// 2's or both stacked (camera 1 on top), with Save As and Cancel. Save As hands the choice shown to
// the controller, which asks where to save, and closes the dialog.
class CapturePreviewDialog : public QDialog {
    Q_OBJECT
public:
    // `camera2` is null outside dual-camera playback.
    CapturePreviewDialog(QImage camera1, QImage camera2, std::function<void(int option)> saveAs,
                         QWidget* parent = nullptr);

    int captureOption() const { return option_; }
    const QImage& shownImage() const { return shown_; }
    CameraChoiceBar* cameraChoice() const { return choice_; }
    // Both frames: camera 1 at its size on top, camera 2 scaled to the same size below.
    static QImage combine2Image(const QImage& camera1, const QImage& camera2);

    void saveAs();
    void done(int result) override;

private:
    void setCaptureImage();

    QImage camera1_, camera2_, combined_, shown_;
    std::function<void(int option)> saveAs_;
    int option_ = 0;
    QLabel* imageView_;
    CameraChoiceBar* choice_ = nullptr;
};
