#include "views/EditUploadDialog.h"

#include "Utility/DiagnosticLog.h"
#include "Utility/MessageBox.h"
#include "Utility/StringTables.h"
#include "library/RecordingName.h"
#include "views/ViewStyle.h"

#include <QApplication>
#include <QCloseEvent>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QScrollBar>

EditUploadDialog::EditUploadDialog(const UploadEditorRequest& request, HttpClient& http,
                                   const SharingServices& services, QWidget* parent)
    : QDialog(parent),
      paths_(request.paths),
      batch_(std::make_unique<UploadBatch>(http, services,
                                           UploadBatch::Account{request.videoWebsite, request.fbKey, request.youTubeKey})) {
    setObjectName("EditUploadDlg");
    setWindowTitle(pmViewString("IDS_UPLOAD"));
    for (const std::string& path : paths_) {
        mTitlelist.push_back(pmGetFileTitle(path, false));
        mDirectionslist.emplace_back();
    }
    auto* grid = new QGridLayout(this);
    slots_ = {makeSlot(0, grid), makeSlot(2, grid)};
    int row = 6;
    if (paths_.size() > 2) {
        // One step per entry, two per click in the track; the last position shows the last entry alone.
        hScroller = new QScrollBar(Qt::Horizontal, this);
        hScroller->setObjectName("hScroller");
        hScroller->setRange(0, int(paths_.size()) - 1);
        hScroller->setPageStep(2);
        connect(hScroller, &QScrollBar::valueChanged, this, &EditUploadDialog::scrollChanged);
        grid->addWidget(hScroller, row++, 0, 1, 4);
    }
    progressIndicator = new QProgressBar(this);
    progressIndicator->setRange(0, kBarMaximum);
    progressIndicator->setTextVisible(false);
    PercentTextField = new QLabel(this);
    PercentTextField->setObjectName("PercentTextField");
    grid->addWidget(progressIndicator, row, 0, 1, 3);
    grid->addWidget(PercentTextField, row++, 3);
    uploadButton = new QPushButton(pmViewString("IDS_UPLOAD"), this);
    uploadButton->setObjectName("uploadButton");
    cancelButton = new QPushButton(pmViewString("IDS_CLOSE"), this);
    cancelButton->setObjectName("cancelButton");
    connect(uploadButton, &QPushButton::clicked, this, &EditUploadDialog::upload);
    connect(cancelButton, &QPushButton::clicked, this, &EditUploadDialog::closeDialog);
    grid->addWidget(uploadButton, row, 2);
    grid->addWidget(cancelButton, row, 3);
    connect(&mUpdateProgressTimeTimer, &QTimer::timeout, this, &EditUploadDialog::updatePanels);
    scrollChanged(0);
    drawProgress();
    qApp->installEventFilter(this);
    pmOutputDebugMsg("EditUploadDlg Start");
}

EditUploadDialog::~EditUploadDialog() { qApp->removeEventFilter(this); }

EditUploadDialog::Slot EditUploadDialog::makeSlot(int column, QGridLayout* grid) {
    Slot slot;
    auto* fileName = new QLabel(pmViewString("IDS_FILE_NAME") + ":", this);
    auto* title = new QLabel(pmViewString("IDS_TITLE") + ":", this);
    auto* description = new QLabel(pmViewString("IDS_DESCRIPTION") + ":", this);
    slot.fileNameTitle = new QLabel(this);
    slot.editTitle = new QLineEdit(this);
    slot.editDescription = new QPlainTextEdit(this);
    slot.editDescription->setMinimumSize(260, 120);
    const QString suffix = column == 0 ? "" : "2";
    slot.fileNameTitle->setObjectName("fileNameTitle" + suffix);
    slot.editTitle->setObjectName("editTitle" + suffix);
    slot.editDescription->setObjectName("editDescription" + suffix);
    grid->addWidget(fileName, 0, column);
    grid->addWidget(slot.fileNameTitle, 0, column + 1);
    grid->addWidget(title, 1, column);
    grid->addWidget(slot.editTitle, 1, column + 1);
    grid->addWidget(description, 2, column, Qt::AlignTop);
    grid->addWidget(slot.editDescription, 2, column + 1);
    slot.all = {fileName, title, description, slot.fileNameTitle, slot.editTitle, slot.editDescription};
    return slot;
}

void EditUploadDialog::saveScrollData() {
    for (std::size_t i = 0; i < slots_.size(); ++i) {
        const std::size_t entry = std::size_t(m_nScrollPos) + i;
        if (entry >= paths_.size()) break;
        mTitlelist[entry] = slots_[i].editTitle->text().toStdString();
        mDirectionslist[entry] = slots_[i].editDescription->toPlainText().toStdString();
    }
}

void EditUploadDialog::scrollChanged(int position) {
    if (position != m_nScrollPos) saveScrollData();
    m_nScrollPos = position;
    for (std::size_t i = 0; i < slots_.size(); ++i) {
        const std::size_t entry = std::size_t(position) + i;
        const bool shown = entry < paths_.size();
        for (QWidget* widget : slots_[i].all) widget->setVisible(shown);
        if (!shown) continue;
        slots_[i].fileNameTitle->setText(QString::fromStdString(pmGetFileTitle(paths_[entry], false)));
        slots_[i].editTitle->setText(QString::fromStdString(mTitlelist[entry]));
        slots_[i].editDescription->setPlainText(QString::fromStdString(mDirectionslist[entry]));
    }
}

void EditUploadDialog::setEditing(bool editing) {
    uploadButton->setEnabled(editing);
    cancelButton->setText(pmViewString(editing ? "IDS_CLOSE" : "IDS_CANCEL"));
    for (Slot& slot : slots_) {
        slot.editTitle->setReadOnly(!editing);
        slot.editDescription->setReadOnly(!editing);
        QPalette colours = slot.editDescription->palette();
        colours.setColor(QPalette::Text, palette().color(editing ? QPalette::Active : QPalette::Disabled, QPalette::Text));
        slot.editDescription->setPalette(colours);
    }
}

void EditUploadDialog::upload() {
    if (m_bUploading) return;
    setEditing(false);
    saveScrollData();
    mCurrentlyTotalBytesWritten = 0;
    m_bUploading = true;
    mUpdateProgressTimeTimer.start(500);
    std::vector<UploadEntry> entries;
    for (std::size_t i = 0; i < paths_.size(); ++i) entries.push_back({paths_[i], mTitlelist[i], mDirectionslist[i]});
    batch_->upload(std::move(entries), [this](bool uploaded) { uploadEnded(uploaded); });
}

void EditUploadDialog::uploadEnded(bool uploaded) {
    if (!uploaded) {
        // The editor stays in the uploading state until the user presses Cancel.
        pmMessageBox(pmGetString("IDS_UPLOAD_VIDEO_FAILED"));
        return;
    }
    mUpdateProgressTimeTimer.stop();
    m_bUploading = false;
    pmMessageBox(pmGetString("IDS_UPLOAD_VIDEO_OK"));
    close();
}

void EditUploadDialog::closeDialog() {
    if (!m_bUploading) {
        close();
        return;
    }
    mUpdateProgressTimeTimer.stop();
    batch_->cancel();
    m_bUploading = false;
    setEditing(true);
    mCurrentlyTotalBytesWritten = 0;
    drawProgress();
}

void EditUploadDialog::reject() { closeDialog(); }

void EditUploadDialog::closeEvent(QCloseEvent* event) {
    if (m_bUploading) batch_->cancel();
    m_bUploading = false;
    mUpdateProgressTimeTimer.stop();
    qApp->removeEventFilter(this);
    pmOutputDebugMsg("EditUploadDlg End");
    event->accept();
}

void EditUploadDialog::updatePanels() {
    if (batch_->totalBytesWritten() == mCurrentlyTotalBytesWritten) return;
    mCurrentlyTotalBytesWritten = batch_->totalBytesWritten();
    drawProgress();
}

void EditUploadDialog::drawProgress() {
    const std::int64_t expected = batch_->totalBytesExpected();
    progressIndicator->setValue(expected > 0 ? int(mCurrentlyTotalBytesWritten * kBarMaximum / expected) : 0);
    PercentTextField->setText(QString("%1 %").arg(m_bUploading ? batch_->percent() : 0));
}

bool EditUploadDialog::eventFilter(QObject* watched, QEvent* event) {
    // Clicks on the main window wait until the editor is closed; its own and its message boxes' go through.
    if (event->type() == QEvent::MouseButtonPress && static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
        auto* widget = qobject_cast<QWidget*>(watched);
        if (widget && parentWidget() && widget->window() == parentWidget()->window()) return true;
    }
    return QDialog::eventFilter(watched, event);
}
