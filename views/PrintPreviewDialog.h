#pragma once
#include "views/PrintPageView.h"

#include <QDialog>

class CameraChoiceBar;

// The print preview: the page as it will print, the camera choice in dual-camera playback, Print
// (the platform's print dialog, which can also print to a PDF file) and Cancel.
class PrintPreviewDialog : public QDialog {
    Q_OBJECT
public:
    // `content.option` is the choice to start with (3 in dual-camera playback, else 0).
    explicit PrintPreviewDialog(PrintPageContent content, QWidget* parent = nullptr);

    PrintPageView& canvasView() { return *canvas_; }
    CameraChoiceBar* cameraChoice() const { return choice_; }
    void printOnePage();
    void done(int result) override;

private:
    PrintPageView* canvas_;
    CameraChoiceBar* choice_ = nullptr;
};
