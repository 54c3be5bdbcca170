#pragma once
#include <QMainWindow>

class QLabel;

// The main window. Until the recording views exist it shows which folder is open and that it holds
// no recordings.
class MainWindow : public QMainWindow {
    Q_OBJECT
public:
    explicit MainWindow(QWidget* parent = nullptr);

    void showFolder(const QString& folder, int recordingCount);
    QString statusText() const;

private:
    QLabel* status_;
};
