#include "views/ListBox.h"

#include "app/NotificationCenter.h"
#include "views/SkinImages.h"
#include "views/ViewStyle.h"

#include <QApplication>
#include <QMouseEvent>
#include <QPainter>
#include <QWheelEvent>

#include <algorithm>

namespace {
constexpr int kRepeatMs = 200;
}

ListBox::ListBox(NotificationCenter& notifications, const QString& ownerIdentity, QWidget* parent)
    : QWidget(parent), notifications_(notifications), owner_(ownerIdentity) {
    setMouseTracking(true);
    repeat_.setInterval(kRepeatMs);
    connect(&repeat_, &QTimer::timeout, this, &ListBox::repeatScroll);
    loadSkinBitmap();
}

ListBox::~ListBox() { clearCaptureMouseEvent(); }

void ListBox::loadSkinBitmap() {
    stripe1_ = pmLoadImage("calendar_list_bg_1.png");
    stripe2_ = pmLoadImage("calendar_list_bg_2.png");
    selectedImage_ = pmLoadImage("calendar_list_d.png");
    scrollBar_.loadSkinBitmap();
    relayout();
}

int ListBox::rowHeight() const { return std::max(1, stripe1_.height()); }

int ListBox::visibleSlots() const { return std::min(kMaxSlots, height() / rowHeight()); }

void ListBox::relayout() {
    scrollBar_.setGeometry(QRect(width() - scrollBar_.width(), 0, scrollBar_.width(), height()));
    scrollBar_.setCounts(getCount(), visibleSlots());
    update();
}

void ListBox::resizeEvent(QResizeEvent*) { relayout(); }

void ListBox::insertString(int, const QString& text) {
    rows_ << text;
    scrollBar_.setCounts(getCount(), visibleSlots());
    update();
}

void ListBox::setCurSel(int index) {
    selected_ = index;
    while (selected_ >= scrollBar_.firstVisible() + visibleSlots() && scrollBar_.isScrollEnabled())
        scrollBar_.setFirstVisible(scrollBar_.firstVisible() + 1);
    update();
}

void ListBox::resetContent() {
    rows_.clear();
    selected_ = 0;
    scrollBar_.setFirstVisible(0);
    scrollBar_.setCounts(0, visibleSlots());
    update();
}

void ListBox::post(int index) { notifications_.post(notify::kListBoxChanged, index, {{"PARENT_WINDOW", owner_.toStdString()}}); }

void ListBox::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const int height = rowHeight();
    const int shownSlots = visibleSlots();
    const int first = scrollBar_.firstVisible();
    painter.setFont(pmViewFont(12));
    painter.setPen(QColor(20, 20, 20));
    for (int slot = 0; slot * height < this->height(); ++slot) {
        const QRect place(0, slot * height, stripe1_.width(), height);
        painter.drawPixmap(place.topLeft(), slot % 2 == 0 ? stripe2_ : stripe1_);
        const int row = first + slot;
        if (slot >= shownSlots || row >= getCount()) continue;
        if (row == selected_) painter.drawPixmap(place.topLeft(), selectedImage_);
        painter.drawText(place, Qt::AlignCenter, rows_[row]);
    }
    scrollBar_.paint(painter);
}

void ListBox::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) return;
    const QPoint point = event->position().toPoint();
    lastPoint_ = point;
    if (point.x() < stripe1_.width()) {
        const int row = scrollBar_.firstVisible() + point.y() / rowHeight();
        if (point.y() / rowHeight() < visibleSlots() && row < getCount()) {
            selected_ = row;
            update();
            post(row);
        }
        return;
    }
    if (!scrollBar_.isScrollEnabled()) return;
    const ListScrollBar::Part part = scrollBar_.hit(point);
    scrollBar_.press(part, point);
    if (part == ListScrollBar::kUp || part == ListScrollBar::kDown) repeat_.start();
    update();
}

void ListBox::repeatScroll() {
    const ListScrollBar::Part part = scrollBar_.hit(lastPoint_);
    if (part == ListScrollBar::kUp || part == ListScrollBar::kDown) scrollBar_.press(part, lastPoint_);
    update();
}

void ListBox::mouseMoveEvent(QMouseEvent* event) {
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

void ListBox::mouseReleaseEvent(QMouseEvent*) {
    repeat_.stop();
    scrollBar_.release();
    update();
}

void ListBox::wheelEvent(QWheelEvent* event) {
    const int steps = event->angleDelta().y() / 120;
    if (steps == 0) return;
    scrollBar_.setFirstVisible(scrollBar_.firstVisible() - steps);
    update();
}

void ListBox::setCaptureMouseEvent() {
    if (capturing_) return;
    capturing_ = true;
    qApp->installEventFilter(this);
}

void ListBox::clearCaptureMouseEvent() {
    if (!capturing_) return;
    capturing_ = false;
    qApp->removeEventFilter(this);
}

bool ListBox::eventFilter(QObject* watched, QEvent* event) {
    if (!capturing_ || event->type() != QEvent::MouseButtonPress || !watched->isWidgetType()) return false;
    auto* press = static_cast<QMouseEvent*>(event);
    if (press->button() != Qt::LeftButton) return false;
    if (rect().contains(mapFromGlobal(press->globalPosition().toPoint()))) return false;
    // Outside: the press closes the list and goes no further.
    post(-1);
    return true;
}
