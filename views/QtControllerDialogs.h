#pragma once
#include "app/ControllerDialogs.h"
#include "views/EditUploadDialog.h"
#include "views/ProgressPanel.h"

#include <QPointer>

class HttpClient;
class MainWindow;
class NotificationCenter;

// The controller's dialogs as Qt dialogs over the main window.
class QtControllerDialogs : public ControllerDialogs {
public:
    QtControllerDialogs(MainWindow& window, NotificationCenter& notifications);
    ~QtControllerDialogs() override;

    std::optional<std::string> chooseSaveFile(const SaveFileRequest& request) override;
    std::optional<std::string> chooseBackupFolder(const std::string& startFolder) override;
    std::optional<std::string> chooseEvidenceFolder(const std::string& startFolder,
                                                    const std::string& proposedName) override;
    void runCapturePreview(const CameraFrames& frames, const std::function<void(int option)>& saveAs) override;
    void runPrintPreview(const PrintRequest& request) override;
    void openBackupDlg(const std::string& title, int maxSelFileCount, const std::vector<AMediaFile>& playlist) override;
    void showProgressPanel(std::uint64_t totalSize, std::function<void()> onCancel) override;
    void updateProgressPanel(std::uint64_t currentSize) override;
    void closeProgressPanel() override;
    void runAboutBox() override;

    // The client and the services the login and the upload editor use; without them neither opens.
    void configureSharing(HttpClient* http, const SharingServices& services);
    void showUploadEditor(const UploadEditorRequest& request) override;
    void runLoginDialog(std::int16_t videoWebsite) override;

    ProgressPanel* progressPanel() const { return progress_; }
    EditUploadDialog* uploadEditor() const { return editor_; }

private:
    // The G-sensor graph as it is printed.
    QImage graphImage() const;

    MainWindow& window_;
    NotificationCenter& notifications_;
    QPointer<ProgressPanel> progress_;
    HttpClient* http_ = nullptr;
    SharingServices sharing_;
    QPointer<EditUploadDialog> editor_;
};
