#pragma once
#include <QDialog>

#include <cstdint>
#include <functional>

class QLabel;
class QProgressBar;

// The progress panel of a running backup: a bar, the percentage and Cancel. Not modal: the window
// stays usable while the copy runs on its own thread.
class ProgressPanel : public QDialog {
    Q_OBJECT
public:
    static constexpr int kBarMaximum = 1000;

    ProgressPanel(std::uint64_t totalSize, std::function<void()> onCancel, QWidget* parent = nullptr);

    // Shows the bytes copied so far.
    void drawProgress(std::uint64_t currentSize);
    QProgressBar& progressIndicator() { return *progressIndicator_; }
    QString percentText() const;
    // Cancel, the close button and Escape: the backup is cancelled and the panel closes.
    void reject() override;
    // The backup ended: the panel closes without cancelling anything.
    void finish();

private:
    std::uint64_t m_lTotalSize;
    std::function<void()> onCancel_;
    QProgressBar* progressIndicator_;
    QLabel* percentTextField_;
};
