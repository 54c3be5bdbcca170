#include "views/PrintPreviewDialog.h"

#include "Utility/DiagnosticLog.h"
#include "views/CameraChoiceBar.h"
#include "views/ViewStyle.h"

#include <QDialogButtonBox>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

// The page is shown at 60 % of its size in points.
constexpr QSize kPreviewSize(357, 505);

}  // namespace

PrintPreviewDialog::PrintPreviewDialog(PrintPageContent content, QWidget* parent) : QDialog(parent) {
    pmOutputDebugMsg("PrintWindow Start");
    setWindowTitle(pmViewString("IDS_PRINT_PREVIEW"));
    QPalette grey = palette();
    grey.setColor(QPalette::Window, QColor(128, 128, 128));
    setPalette(grey);
    setAutoFillBackground(true);
    auto* layout = new QVBoxLayout(this);
    const bool dual = !content.camera2.isNull();
    canvas_ = new PrintPageView(this);
    canvas_->setObjectName("canvasView");
    canvas_->setFixedSize(kPreviewSize);
    canvas_->setContent(std::move(content));
    if (dual) {
        choice_ = new CameraChoiceBar([this](int option) {
            if (option == canvas_->content().option) return;
            PrintPageContent changed = canvas_->content();
            changed.option = option;
            canvas_->setContent(std::move(changed));
        }, this);
        layout->addWidget(choice_);
    }
    layout->addWidget(canvas_, 0, Qt::AlignHCenter);
    auto* buttons = new QDialogButtonBox(this);
    buttons->addButton(pmViewString("IDS_PRINT"), QDialogButtonBox::AcceptRole)->setObjectName("printButton");
    buttons->addButton(pmViewString("IDS_CANCEL"), QDialogButtonBox::RejectRole);
    connect(buttons, &QDialogButtonBox::accepted, this, &PrintPreviewDialog::printOnePage);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
}

void PrintPreviewDialog::printOnePage() {
    QPrinter printer(QPrinter::HighResolution);
    printer.setPageSize(QPageSize(QPageSize::A4));
    QPrintDialog dialog(&printer, this);
    if (dialog.exec() == QDialog::Accepted) pmPrintPage(printer, canvas_->content());
    accept();
}

void PrintPreviewDialog::done(int result) {
    pmOutputDebugMsg("PrintWindow End");
    QDialog::done(result);
}
