#include "views/QtControllerDialogs.h"

#include "Utility/Language.h"
#include "Utility/Version.h"
#include "library/FileDate.h"
#include "views/BackupSelectionDialog.h"
#include "views/CapturePreviewDialog.h"
#include "views/FrameImage.h"
#include "views/GSensorGraphWidget.h"
#include "views/LoginDialog.h"
#include "views/MainWindow.h"
#include "views/PrintPreviewDialog.h"
#include "views/ProgressPanel.h"
#include "views/ViewStyle.h"

#include <QDialogButtonBox>
#include <QFileDialog>
#include <QLabel>
#include <QVBoxLayout>

#include <chrono>

QtControllerDialogs::QtControllerDialogs(MainWindow& window, NotificationCenter& notifications)
    : window_(window), notifications_(notifications) {}

QtControllerDialogs::~QtControllerDialogs() { delete progress_; }

std::optional<std::string> QtControllerDialogs::chooseSaveFile(const SaveFileRequest& request) {
    QFileDialog dialog(&window_);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setDirectory(QString::fromStdString(request.folder));
    dialog.setNameFilter(QString("%1 (*.%2)").arg(QString::fromStdString(request.extension).toUpper(),
                                                   QString::fromStdString(request.extension)));
    dialog.setDefaultSuffix(QString::fromStdString(request.extension));
    dialog.selectFile(QString::fromStdString(request.proposedName));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
    return dialog.selectedFiles().first().toStdString();
}

std::optional<std::string> QtControllerDialogs::chooseBackupFolder(const std::string& startFolder) {
    QFileDialog dialog(&window_);
    dialog.setFileMode(QFileDialog::Directory);
    dialog.setOption(QFileDialog::ShowDirsOnly);
    dialog.setDirectory(QString::fromStdString(startFolder));
    dialog.setLabelText(QFileDialog::Accept, "Save");
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
    return dialog.selectedFiles().first().toStdString();
}

std::optional<std::string> QtControllerDialogs::chooseEvidenceFolder(const std::string& startFolder,
                                                                    const std::string& proposedName) {
    QFileDialog dialog(&window_, pmViewString("IDS_EVIDENCE"));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    // The package refuses an existing name with its own message; nothing is replaced.
    dialog.setOption(QFileDialog::DontConfirmOverwrite);
    dialog.setDirectory(QString::fromStdString(startFolder));
    dialog.selectFile(QString::fromStdString(proposedName));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
    return dialog.selectedFiles().first().toStdString();
}

void QtControllerDialogs::runCapturePreview(const CameraFrames& frames, const std::function<void(int option)>& saveAs) {
    CapturePreviewDialog dialog(pmFrameToQImage(frames.camera1, frames.size1),
                                pmFrameToQImage(frames.camera2, frames.size2), saveAs, &window_);
    dialog.exec();
}

QImage QtControllerDialogs::graphImage() const { return window_.gsensorGraph().grab().toImage(); }

void QtControllerDialogs::runPrintPreview(const PrintRequest& request) {
    PrintPageContent content;
    content.camera1 = pmFrameToQImage(request.frames.camera1, request.frames.size1);
    content.camera2 = pmFrameToQImage(request.frames.camera2, request.frames.size2);
    content.graph = graphImage();
    content.option = request.frames.hasCamera2() ? kPrintBothCameras : kPrintSingleCamera;
    content.texts = pmPrintTexts(request.sample ? &*request.sample : nullptr, request.speedUnit,
                                 pmGetLocalDay(std::chrono::system_clock::now()));
    content.rightToLeft = pmIsRightLayout();
    PrintPreviewDialog dialog(std::move(content), &window_);
    dialog.exec();
}

void QtControllerDialogs::openBackupDlg(const std::string& title, int maxSelFileCount,
                                        const std::vector<AMediaFile>& playlist) {
    BackupSelectionDialog dialog(QString::fromStdString(title), maxSelFileCount, playlist, &window_);
    const bool chosen = dialog.exec() == QDialog::Accepted;
    // Posted once the dialog has closed, as the dialog closes before it tells its outcome.
    notifications_.post(pmSelectionNotification(chosen ? 2 : 0, dialog.selectedRows()));
}

void QtControllerDialogs::showProgressPanel(std::uint64_t totalSize, std::function<void()> onCancel) {
    delete progress_;
    progress_ = new ProgressPanel(totalSize, std::move(onCancel), &window_);
    progress_->show();
}

void QtControllerDialogs::updateProgressPanel(std::uint64_t currentSize) {
    if (progress_) progress_->drawProgress(currentSize);
}

void QtControllerDialogs::closeProgressPanel() {
    if (progress_) progress_->finish();
    delete progress_;
}

void QtControllerDialogs::runAboutBox() {
    QDialog box(&window_);
    box.setWindowTitle(pmViewString("IDS_ABOUT"));
    auto* layout = new QVBoxLayout(&box);
    auto* logo = new QLabel(&box);
    logo->setObjectName("logo");
    logo->setPixmap(window_.windowIcon().pixmap(64, 64));
    layout->addWidget(logo, 0, Qt::AlignHCenter);
    QString text = pmViewString("IDS_VERSION_COPYRIGHT");
    text.replace("%s", QString::fromStdString(pmGetVersionInfo()));
    auto* version = new QLabel(text, &box);
    version->setObjectName("versionText");
    version->setTextFormat(Qt::PlainText);
    layout->addWidget(version);
    auto* buttons = new QDialogButtonBox(&box);
    buttons->addButton(pmViewString("IDS_OK"), QDialogButtonBox::AcceptRole);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &box, &QDialog::accept);
    layout->addWidget(buttons);
    box.exec();
}

void QtControllerDialogs::configureSharing(HttpClient* http, const SharingServices& services) {
    http_ = http;
    sharing_ = services;
}

void QtControllerDialogs::showUploadEditor(const UploadEditorRequest& request) {
    if (!http_) return;
    delete editor_;
    editor_ = new EditUploadDialog(request, *http_, sharing_, &window_);
    editor_->setAttribute(Qt::WA_DeleteOnClose);
    editor_->show();
}

void QtControllerDialogs::runLoginDialog(std::int16_t videoWebsite) {
    if (!http_) return;
    LoginDialog dialog(videoWebsite, sharing_, *http_, &window_);
    dialog.exec();
    // Told once the dialog has closed, as the selection dialog does.
    if (dialog.outcome()) notifications_.post(pmLoginNotification(*dialog.outcome()));
}
