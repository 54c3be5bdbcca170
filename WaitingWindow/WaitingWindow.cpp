#include "WaitingWindow/WaitingWindow.h"

#include "WaitingWindow/SpinningIndicator.h"

#include <QGuiApplication>
#include <QScreen>
#include <QVBoxLayout>
#include <QWidget>

#include <cstdio>

WaitingWindow::~WaitingWindow() { endWaitingWindow(); }

void WaitingWindow::showWaitingWindow() {
    if (window_) return;
    auto* window = new QWidget(nullptr, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint);
    window->setObjectName("WaitingWindow");
    window->setAttribute(Qt::WA_TranslucentBackground);
    window->setAttribute(Qt::WA_ShowWithoutActivating);
    window->setFixedSize(kSize, kSize);
    spinner_ = new SpinningIndicator(window);
    // A dim backdrop keeps the white fins readable over light pictures too.
    spinner_->setBackgroundColor(QColor(0, 0, 0, 150));
    spinner_->setDrawsBackground(true);
    spinner_->setColor(Qt::white);
    auto* layout = new QVBoxLayout(window);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(spinner_);

    QRect over;
    if (mainWindow_ && mainWindow_->isVisible()) over = mainWindow_->frameGeometry();
    else if (const QScreen* screen = QGuiApplication::primaryScreen()) over = screen->geometry();
    window->move(over.center() - QPoint(kSize / 2, kSize / 2));
    window_ = window;
    window->show();
    spinner_->startAnimation();
}

void WaitingWindow::endWaitingWindow() {
    if (!window_) return;
    spinner_->stopAnimation();
    std::fputs("WaitingWindow will be closed!\n", stderr);
    delete window_.data();
    spinner_ = nullptr;
}
