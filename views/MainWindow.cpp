#include "views/MainWindow.h"

#include <QGuiApplication>
#include <QLabel>
#include <QScreen>
#include <QVBoxLayout>

MainWindow::MainWindow(QWidget* parent) : QMainWindow(parent), status_(new QLabel(this)) {
    setMinimumSize(980, 660);
    auto* content = new QWidget(this);
    content->setAutoFillBackground(true);
    QPalette palette = content->palette();
    palette.setColor(QPalette::Window, Qt::black);
    palette.setColor(QPalette::WindowText, QColor(200, 200, 200));
    content->setPalette(palette);

    status_->setAlignment(Qt::AlignCenter);
    QFont font = status_->font();
    font.setPointSize(16);
    status_->setFont(font);
    auto* layout = new QVBoxLayout(content);
    layout->addWidget(status_);
    setCentralWidget(content);
    showFolder(QString(), 0);

    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect area = screen->availableGeometry();
        resize(minimumSize());
        move(area.center() - rect().center());
    }
}

void MainWindow::showFolder(const QString& folder, int recordingCount) {
    if (recordingCount == 0)
        status_->setText(folder.isEmpty() ? tr("No recordings") : tr("No recordings in %1").arg(folder));
    else
        status_->setText(tr("%1 recordings in %2").arg(recordingCount).arg(folder));
}

QString MainWindow::statusText() const { return status_->text(); }
