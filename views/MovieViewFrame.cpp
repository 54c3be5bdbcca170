#include "views/MovieViewFrame.h"

#include <QPainter>

#include <cmath>

MovieViewFrame::MovieViewFrame(QWidget* parent) : QWidget(parent) { setAttribute(Qt::WA_OpaquePaintEvent); }

void MovieViewFrame::hostVideoWidget(QWidget* video, int slot, FillSetter setFill) {
    video_ = video;
    videoSlot_ = slot;
    setVideoFill_ = std::move(setFill);
    if (!video) return;
    if (setVideoFill_) setVideoFill_(QColor(fillGray_, fillGray_, fillGray_));
    video->setParent(this);
    placeVideo();
    video->setVisible(shows(shownSlot_));
}

bool MovieViewFrame::shows(int slot) const { return slot < 0 || slot == videoSlot_; }

void MovieViewFrame::showPlayer(int slot) {
    shownSlot_ = slot;
    if (video_) video_->setVisible(shows(slot));
    update();
}

ViewFrame MovieViewFrame::frame() const {
    const QRect g = geometry();
    return {double(g.x()), double(g.y()), double(g.width()), double(g.height())};
}

void MovieViewFrame::setFrame(const ViewFrame& frame) {
    setGeometry(int(std::lround(frame.x)), int(std::lround(frame.y)), int(std::lround(frame.width)),
                int(std::lround(frame.height)));
}

void MovieViewFrame::setFillGray(int level) {
    fillGray_ = level;
    if (video_ && setVideoFill_) setVideoFill_(QColor(level, level, level));
    // The grey view is the small one; where the two overlap (full screen) it stays on top.
    if (level != 0) raise();
    update();
}

void MovieViewFrame::resizeEvent(QResizeEvent*) { placeVideo(); }

void MovieViewFrame::placeVideo() {
    if (video_) video_->setGeometry(rect());
}

void MovieViewFrame::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), QColor(fillGray_, fillGray_, fillGray_));
}
