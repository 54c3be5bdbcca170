#include "views/SkinnedCheckBox.h"

#include "app/NotificationCenter.h"
#include "views/SkinImages.h"
#include "views/ViewStyle.h"

#include <QMouseEvent>
#include <QPainter>

namespace {
constexpr int kTitleGap = 4;
constexpr int kPointerState = 2;
constexpr int kDisabledState = 3;
}  // namespace

CheckBox::CheckBox(NotificationCenter& notifications, QWidget* parent)
    : QWidget(parent),
      notifications_(notifications),
      identity_(QString::asprintf("CheckBox-%p", static_cast<void*>(this))) {
    loadSkinBitmap();
}

void CheckBox::loadSkinBitmap() {
    const char* suffixes[4] = {"", "_d", "_f", "_g"};
    for (std::size_t state = 0; state < 4; ++state) {
        checkImages_[state] = pmLoadImage(QString("calendar_checkbox%1.png").arg(suffixes[state]));
        uncheckImages_[state] = pmLoadImage(QString("calendar_uncheckbox%1.png").arg(suffixes[state]));
    }
    update();
}

void CheckBox::setTitle(const QString& title) {
    title_ = title;
    update();
}

void CheckBox::setCheck(bool checked) {
    checked_ = checked;
    update(boxRect());
}

void CheckBox::enableCheckBox(bool enabled) {
    enabled_ = enabled;
    update(boxRect());
}

void CheckBox::relayoutContents(bool rightToLeft) {
    rightToLeft_ = rightToLeft;
    update();
}

int CheckBox::shownState() const { return enabled_ ? state_ : kDisabledState; }

QRect CheckBox::boxRect() const {
    const QSize box = checkImages_[0].size();
    const int x = rightToLeft_ ? width() - box.width() : 0;
    return QRect(QPoint(x, (height() - box.height()) / 2), box);
}

QRect CheckBox::textRect() const {
    const QRect box = boxRect();
    const int textWidth = width() - box.width() - kTitleGap;
    return QRect(rightToLeft_ ? 0 : box.right() + 1 + kTitleGap, 0, textWidth, height());
}

void CheckBox::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const auto& images = checked_ ? checkImages_ : uncheckImages_;
    painter.drawPixmap(boxRect().topLeft(), images[static_cast<std::size_t>(shownState())]);
    painter.setFont(pmViewFont(12));
    painter.setPen(Qt::white);
    painter.drawText(textRect(), Qt::AlignCenter, title_);
}

void CheckBox::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton || !enabled_) return;
    checked_ = !checked_;
    state_ = kPointerState;
    update(boxRect());
    notifications_.post(notify::kCheckBoxChanged, checked_ ? 1 : 0,
                        {{"PARENT_WINDOW", owner_.toStdString()}, {"CHECKBOX_WINDOW", identity_.toStdString()}});
}

void CheckBox::mouseReleaseEvent(QMouseEvent*) {
    state_ = 0;
    update(boxRect());
}

void CheckBox::enterEvent(QEnterEvent*) {
    state_ = kPointerState;
    update(boxRect());
}

void CheckBox::leaveEvent(QEvent*) {
    state_ = 0;
    update(boxRect());
}
