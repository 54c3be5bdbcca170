#include "views/ProgressPanel.h"

#include "outputs/Backup.h"
#include "views/ViewStyle.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>

ProgressPanel::ProgressPanel(std::uint64_t totalSize, std::function<void()> onCancel, QWidget* parent)
    : QDialog(parent), m_lTotalSize(totalSize), onCancel_(std::move(onCancel)) {
    setWindowTitle(pmViewString("IDS_BACKUP"));
    auto* row = new QHBoxLayout(this);
    progressIndicator_ = new QProgressBar(this);
    progressIndicator_->setRange(0, kBarMaximum);
    progressIndicator_->setTextVisible(false);
    progressIndicator_->setMinimumWidth(300);
    percentTextField_ = new QLabel(this);
    percentTextField_->setMinimumWidth(48);
    auto* cancel = new QPushButton(pmViewString("IDS_CANCEL"), this);
    cancel->setObjectName("cancelButton");
    connect(cancel, &QPushButton::clicked, this, &ProgressPanel::reject);
    row->addWidget(progressIndicator_);
    row->addWidget(percentTextField_);
    row->addWidget(cancel);
    drawProgress(0);
}

void ProgressPanel::drawProgress(std::uint64_t currentSize) {
    progressIndicator_->setValue(pmBackupBarValue(currentSize, m_lTotalSize, kBarMaximum));
    percentTextField_->setText(QString("%1 %").arg(pmBackupPercent(currentSize, m_lTotalSize)));
}

QString ProgressPanel::percentText() const { return percentTextField_->text(); }

void ProgressPanel::reject() {
    if (onCancel_) onCancel_();
    onCancel_ = nullptr;
    QDialog::reject();
}

void ProgressPanel::finish() {
    onCancel_ = nullptr;
    accept();
}
