#include "views/ComboBox.h"

#include "Utility/DiagnosticLog.h"
#include "views/ListBox.h"
#include "views/SkinImages.h"
#include "views/SkinnedButtons.h"
#include "views/ViewStyle.h"

#include <QPainter>

namespace {
constexpr int kSpinMargin = 4;
}

ComboBox::ComboBox(NotificationCenter& notifications, QWidget* parent)
    : QWidget(parent),
      notifications_(notifications),
      identity_(QString::asprintf("ComboBox-%p", static_cast<void*>(this))) {
    spin_ = new BitmapButton(this);
    spin_->setBitmapButton(SkinnedButton::family("button_enter"));
    connect(spin_, &BitmapButton::pressed, this, &ComboBox::spinPressed);
    listBox_ = new ListBox(notifications_, identity_, parent);
    listBox_->resize(kDropDownSize);
    listBox_->hide();
    listToken_ = notifications_.addObserver(NotificationCenter::fullName(notify::kListBoxChanged),
                                            [this](const Notification& n) { listBoxChanged(n); });
    loadSkinBitmap();
}

ComboBox::~ComboBox() {
    notifications_.removeObserver(listToken_);
    listBox_->clearCaptureMouseEvent();
}

void ComboBox::loadSkinBitmap() {
    background_ = pmLoadImage("enter_calendar.png");
    setFixedSize(background_.size());
    spin_->loadSkinBitmap();
    listBox_->loadSkinBitmap();
    placeControls();
    update();
}

void ComboBox::relayoutContents(bool rightToLeft) {
    rightToLeft_ = rightToLeft;
    placeControls();
}

void ComboBox::placeControls() {
    const QSize spin = spin_->shownPixmap().size();
    spin_->resize(spin);
    const int x = rightToLeft_ ? kSpinMargin : width() - kSpinMargin - spin.width();
    spin_->move(x, (height() - spin.height()) / 2);
    listBox_->move(geometry().bottomLeft() + QPoint(0, 1));
}

void ComboBox::moveEvent(QMoveEvent*) { placeControls(); }

void ComboBox::insertString(int index, const QString& text) { listBox_->insertString(index, text); }
int ComboBox::getCount() const { return listBox_->getCount(); }
int ComboBox::getCurSel() const { return listBox_->getCurSel(); }

void ComboBox::setCurSel(int index) {
    listBox_->setCurSel(index);
    title_ = listBox_->getText(index);
    update();
}

void ComboBox::resetContent() {
    listBox_->resetContent();
    title_.clear();
    update();
}

bool ComboBox::isDropDownOpen() const { return listBox_->isVisible(); }

void ComboBox::spinPressed() {
    if (isDropDownOpen()) {
        closeDropDown();
        return;
    }
    placeControls();
    listBox_->show();
    listBox_->raise();
    listBox_->setCaptureMouseEvent();
}

void ComboBox::closeDropDown() {
    listBox_->clearCaptureMouseEvent();
    listBox_->hide();
}

void ComboBox::listBoxChanged(const Notification& notification) {
    const auto owner = notification.userInfo.find("PARENT_WINDOW");
    if (owner == notification.userInfo.end() || owner->second != identity_.toStdString()) return;
    closeDropDown();
    const int index = static_cast<int>(notification.object);
    // Closed without a choice: the selection and the text stay as they were.
    if (index == -1) return;
    title_ = listBox_->getText(index);
    update();
    pmOutputDebugMsgF("listBoxSelectChanged - ComboBox = %s", identity_.toStdString().c_str());
    notifications_.post(notify::kComboBoxChanged, index,
                        {{"PARENT_WINDOW", owner_.toStdString()}, {"COMBO_WINDOW", identity_.toStdString()}});
}

void ComboBox::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.drawPixmap(0, 0, background_);
    painter.setFont(pmViewFont(12));
    painter.setPen(Qt::black);
    const int spinWidth = spin_->width() + kSpinMargin;
    painter.drawText(rect().adjusted(rightToLeft_ ? spinWidth : 0, 0, rightToLeft_ ? 0 : -spinWidth, 0), Qt::AlignCenter,
                     title_);
}
