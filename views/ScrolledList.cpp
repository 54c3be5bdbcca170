#include "views/ScrolledList.h"

#include "Utility/DiagnosticLog.h"

#include <QMouseEvent>
#include <QPainter>
#include <QWheelEvent>

#include <algorithm>

namespace {
constexpr int kRepeatMs = 200;

bool isStep(ListScrollBar::Part part) { return part == ListScrollBar::kUp || part == ListScrollBar::kDown; }
}  // namespace

ScrolledList::ScrolledList(int maxSlots, QWidget* parent) : QWidget(parent), maxSlots_(maxSlots) {
    setFocusPolicy(Qt::NoFocus);
    setMouseTracking(true);
    repeat_.setInterval(kRepeatMs);
    connect(&repeat_, &QTimer::timeout, this, &ScrolledList::repeatScroll);
}

void ScrolledList::setRowImages(const QPixmap& stripe1, const QPixmap& stripe2, const QPixmap& selected) {
    stripe1_ = stripe1;
    stripe2_ = stripe2;
    selectedImage_ = selected;
    scrollBar_.loadSkinBitmap();
    relayout();
}

int ScrolledList::rowHeight() const { return std::max(1, stripe1_.height()); }

int ScrolledList::visibleSlots() const { return std::min(maxSlots_, height() / rowHeight()); }

QRect ScrolledList::slotRect(int slot) const {
    const int width = stripe1_.width();
    return QRect(rightToLeft_ ? this->width() - width : 0, slot * rowHeight(), width, rowHeight());
}

void ScrolledList::relayoutContents(bool rightToLeft) {
    rightToLeft_ = rightToLeft;
    relayout();
}

void ScrolledList::resizeEvent(QResizeEvent*) { relayout(); }

void ScrolledList::relayout() {
    const int barWidth = scrollBar_.width();
    scrollBar_.setGeometry(QRect(rightToLeft_ ? 0 : width() - barWidth, 0, barWidth, height()));
    scrollBar_.setCounts(rowCount_, visibleSlots());
    update();
}

void ScrolledList::rowAdded() {
    ++rowCount_;
    scrollBar_.setCounts(rowCount_, visibleSlots());
    update();
}

void ScrolledList::rowsCleared() {
    rowCount_ = 0;
    selected_ = 0;
    scrollBar_.setFirstVisible(0);
    scrollBar_.setCounts(0, visibleSlots());
    update();
}

void ScrolledList::setCurSel(int index) {
    selected_ = index;
    while (selected_ >= firstVisible() + visibleSlots() && firstVisible() < rowCount_ - visibleSlots())
        scrollBar_.setFirstVisible(firstVisible() + 1);
    update();
}

void ScrolledList::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    for (int slot = 0; slot * rowHeight() < height(); ++slot)
        painter.drawPixmap(slotRect(slot).topLeft(), slot % 2 == 0 ? stripe2_ : stripe1_);
    scrollBar_.paint(painter);
    for (int slot = 0; slot < visibleSlots() && firstVisible() + slot < rowCount_; ++slot) {
        const int row = firstVisible() + slot;
        if (row == selected_) painter.drawPixmap(slotRect(slot).topLeft(), selectedImage_);
        paintRow(painter, row, slotRect(slot));
    }
}

void ScrolledList::press(const QPoint& point, int clickCount) {
    pmOutputDebugMsgF("mouseDown ! - %d", clickCount);
    lastPoint_ = point;
    for (int slot = 0; slot < visibleSlots() && firstVisible() + slot < rowCount_; ++slot) {
        if (!slotRect(slot).contains(point)) continue;
        selected_ = firstVisible() + slot;
        update();
        rowPressed(selected_, clickCount);
        return;
    }
    if (!scrollBar_.isScrollEnabled()) return;
    const ListScrollBar::Part part = scrollBar_.hit(point);
    if (part == ListScrollBar::kNone) return;
    pmOutputDebugMsgF("Scroll Value = %d", static_cast<int>(part));
    scrollBar_.press(part, point);
    if (isStep(part)) repeat_.start();
    update();
}

void ScrolledList::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) press(event->position().toPoint(), 1);
}

// The second press of a double click.
void ScrolledList::mouseDoubleClickEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) press(event->position().toPoint(), 2);
}

void ScrolledList::repeatScroll() {
    const ListScrollBar::Part part = scrollBar_.hit(lastPoint_);
    if (isStep(part)) scrollBar_.press(part, lastPoint_);
    update();
}

void ScrolledList::mouseMoveEvent(QMouseEvent* event) {
    const QPoint point = event->position().toPoint();
    if (scrollBar_.isDragging()) {
        if (scrollBar_.dragTo(point)) update();
        return;
    }
    lastPoint_ = point;
    const ListScrollBar::Part part = scrollBar_.hit(point);
    if (scrollBar_.hover(part == ListScrollBar::kPageUp || part == ListScrollBar::kPageDown ? ListScrollBar::kNone : part))
        update();
}

void ScrolledList::mouseReleaseEvent(QMouseEvent*) {
    repeat_.stop();
    scrollBar_.release();
    update();
}

void ScrolledList::wheelEvent(QWheelEvent* event) {
    scrollBar_.setFirstVisible(firstVisible() - event->angleDelta().y() / 120);
    update();
}
