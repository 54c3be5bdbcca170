#include "views/CapturePreviewDialog.h"

#include "Utility/DiagnosticLog.h"
#include "views/CameraChoiceBar.h"
#include "views/ViewStyle.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

constexpr QSize kPreviewSize(640, 400);

}  // namespace

CapturePreviewDialog::CapturePreviewDialog(QImage camera1, QImage camera2, std::function<void(int option)> saveAs,
                                           QWidget* parent)
    : QDialog(parent), camera1_(std::move(camera1)), camera2_(std::move(camera2)), saveAs_(std::move(saveAs)) {
    pmOutputDebugMsg("CapturePreviewDlg Start");
    setWindowTitle(pmViewString("IDS_CAPTURE_PREVIEW"));
    auto* layout = new QVBoxLayout(this);
    if (!camera2_.isNull()) {
        combined_ = combine2Image(camera1_, camera2_);
        option_ = 3;
        choice_ = new CameraChoiceBar([this](int option) {
            if (option == option_) return;
            option_ = option;
            setCaptureImage();
        }, this);
        layout->addWidget(choice_);
    }
    imageView_ = new QLabel(this);
    imageView_->setObjectName("imageView");
    imageView_->setAlignment(Qt::AlignCenter);
    imageView_->setFixedSize(kPreviewSize);
    layout->addWidget(imageView_);
    auto* buttons = new QDialogButtonBox(this);
    QPushButton* save = buttons->addButton(pmViewString("IDS_SAVE_AS"), QDialogButtonBox::AcceptRole);
    save->setObjectName("saveAsButton");
    buttons->addButton(pmViewString("IDS_CANCEL"), QDialogButtonBox::RejectRole);
    connect(buttons, &QDialogButtonBox::accepted, this, &CapturePreviewDialog::saveAs);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
    setCaptureImage();
}

QImage CapturePreviewDialog::combine2Image(const QImage& camera1, const QImage& camera2) {
    const int w = camera1.width(), h = camera1.height();
    QImage combined(w, 2 * h, QImage::Format_RGB32);
    combined.fill(Qt::black);
    QPainter painter(&combined);
    painter.drawImage(QRect(0, 0, w, h), camera1);
    painter.drawImage(QRect(0, h, w, h), camera2);
    return combined;
}

void CapturePreviewDialog::setCaptureImage() {
    shown_ = option_ == 2 ? camera2_ : option_ == 3 ? combined_ : camera1_;
    imageView_->setPixmap(QPixmap::fromImage(
        shown_.scaled(kPreviewSize, Qt::KeepAspectRatio, Qt::SmoothTransformation)));
}

void CapturePreviewDialog::saveAs() {
    saveAs_(option_);
    accept();
}

void CapturePreviewDialog::done(int result) {
    pmOutputDebugMsg("CapturePreviewDlg End");
    QDialog::done(result);
}
