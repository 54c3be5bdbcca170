#pragma once
#include "app/ControllerDialogs.h"
#include "sharing/UploadBatch.h"

#include <QDialog>
#include <QTimer>

#include <array>
#include <memory>

class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QProgressBar;
class QPushButton;
class QScrollBar;

// The upload editor: two entry slots (file name, title, description) over the chosen recordings,
// a scroller when there are more than two, the progress of the recording being sent, Upload and
// Cancel/Close. Not modal, but while it is open clicks on the main window are ignored.
class EditUploadDialog : public QDialog {
public:
    static constexpr int kBarMaximum = 1000;

    EditUploadDialog(const UploadEditorRequest& request, HttpClient& http, const SharingServices& services,
                     QWidget* parent);
    ~EditUploadDialog() override;

    bool isUploading() const { return m_bUploading; }

    // The upload button: from editing to uploading.
    void upload();
    // Cancel while uploading returns to editing; Close otherwise closes the editor.
    void closeDialog();

protected:
    void closeEvent(QCloseEvent* event) override;
    void reject() override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    struct Slot {
        QLabel* fileNameTitle = nullptr;
        QLineEdit* editTitle = nullptr;
        QPlainTextEdit* editDescription = nullptr;
        std::array<QWidget*, 6> all{};  // captions included, shown or hidden together
    };

    Slot makeSlot(int column, class QGridLayout* grid);
    void scrollChanged(int position);
    void saveScrollData();
    void setEditing(bool editing);
    void updatePanels();
    void drawProgress();
    void uploadEnded(bool uploaded);

    std::vector<std::string> paths_;
    std::vector<std::string> mTitlelist;
    std::vector<std::string> mDirectionslist;
    std::array<Slot, 2> slots_;
    QScrollBar* hScroller = nullptr;
    QProgressBar* progressIndicator = nullptr;
    QLabel* PercentTextField = nullptr;
    QPushButton* uploadButton = nullptr;
    QPushButton* cancelButton = nullptr;
    QTimer mUpdateProgressTimeTimer;
    std::unique_ptr<UploadBatch> batch_;
    int m_nScrollPos = 0;
    bool m_bUploading = false;
    std::int64_t mCurrentlyTotalBytesWritten = 0;
};
