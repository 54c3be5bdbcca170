#include "views/ListBox.h"

#include "app/NotificationCenter.h"
#include "views/SkinImages.h"
#include "views/ViewStyle.h"

#include <QApplication>
#include <QMouseEvent>
#include <QPainter>

ListBox::ListBox(NotificationCenter& notifications, const QString& ownerIdentity, QWidget* parent)
    : ScrolledList(kMaxSlots, parent), notifications_(notifications), owner_(ownerIdentity) {
    loadSkinBitmap();
}

ListBox::~ListBox() { clearCaptureMouseEvent(); }

void ListBox::loadSkinBitmap() {
    setRowImages(pmLoadImage("calendar_list_bg_1.png"), pmLoadImage("calendar_list_bg_2.png"),
                 pmLoadImage("calendar_list_d.png"));
}

void ListBox::insertString(int, const QString& text) {
    rows_ << text;
    rowAdded();
}

void ListBox::resetContent() {
    rows_.clear();
    rowsCleared();
}

void ListBox::post(int index) { notifications_.post(notify::kListBoxChanged, index, {{"PARENT_WINDOW", owner_.toStdString()}}); }

void ListBox::paintRow(QPainter& painter, int row, const QRect& slot) const {
    painter.setFont(pmViewFont(12));
    painter.setPen(QColor(20, 20, 20));
    painter.drawText(slot, Qt::AlignCenter, rows_[row]);
}

void ListBox::rowPressed(int row, int) { post(row); }

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
