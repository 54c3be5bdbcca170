#include "views/SkinnedButtons.h"

#include "views/SkinImages.h"
#include "views/ViewStyle.h"

#include <QPainter>

SkinnedButton::ImageNames SkinnedButton::family(const QString& stem, bool hasDisabledImage) {
    return {stem + ".png", stem + "_d.png", stem + "_f.png", stem + (hasDisabledImage ? "_g.png" : ".png")};
}

SkinnedButton::SkinnedButton(QWidget* parent) : QAbstractButton(parent) {
    setFocusPolicy(Qt::NoFocus);
    setAttribute(Qt::WA_Hover, false);  // the looks follow enter and leave, not a style
}

void SkinnedButton::loadLook(Look& look) const {
    const QString* names[4] = {&look.names.normal, &look.names.pressed, &look.names.rollover, &look.names.disabled};
    for (int image = 0; image < 4; ++image) {
        const QPixmap loaded = pmLoadImage(*names[image]);
        look.images[static_cast<std::size_t>(image)] = flipped_ ? pmFlipImage(loaded) : loaded;
    }
}

void SkinnedButton::loadSkinBitmap() {
    for (Look& look : looks_) loadLook(look);
    update();
}

void SkinnedButton::setButtonFlipped(bool flipped) {
    if (flipped == flipped_) return;
    flipped_ = flipped;
    loadSkinBitmap();
}

void SkinnedButton::setBitmapTitle(const QString& title) {
    setText(title);
    update();
}

void SkinnedButton::setFontSize(int pixels) {
    fontSize_ = pixels;
    update();
}

void SkinnedButton::setTitleColor(const QColor& color) {
    titleColor_ = color;
    update();
}

SkinnedButton::Image SkinnedButton::shownImage() const {
    if (!isEnabled()) return kDisabled;
    if (isDown()) return kPressed;
    if (hover_) return kRollover;
    return showsPressedAsNormal_ ? kPressed : kNormal;
}

const QPixmap& SkinnedButton::shownPixmap() const {
    static const QPixmap none;
    if (looks_.empty()) return none;
    return currentLook().images[shownImage()];
}

void SkinnedButton::enterEvent(QEnterEvent* event) {
    hover_ = true;
    update();
    QAbstractButton::enterEvent(event);
}

void SkinnedButton::leaveEvent(QEvent* event) {
    hover_ = false;
    update();
    QAbstractButton::leaveEvent(event);
}

void SkinnedButton::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.drawPixmap(0, 0, shownPixmap());
    if (text().isEmpty()) return;
    painter.setFont(pmViewFont(fontSize_));
    painter.setPen(titleColor_);
    painter.drawText(rect(), Qt::AlignCenter, text());
}

BitmapButton::BitmapButton(QWidget* parent) : SkinnedButton(parent) { looks_.resize(1); }

void BitmapButton::setBitmapButton(const ImageNames& names) {
    currentLook().names = names;
    loadLook(currentLook());
    update();
}

void BitmapButton::checkButton(bool checked) {
    showsPressedAsNormal_ = checked;
    update();
}

MultiButtons::MultiButtons(QWidget* parent) : SkinnedButton(parent) {}

void MultiButtons::addBitmapButton(const QString& toolTip, const ImageNames& names) {
    if (buttonCount() >= kMaxLooks) return;
    Look look{names, {}, toolTip};
    loadLook(look);
    looks_.push_back(std::move(look));
    if (looks_.size() == 1) showLook(0);
}

void MultiButtons::clearBitmaps() {
    looks_.clear();
    current_ = 0;
    setToolTip({});
    update();
}

void MultiButtons::showLook(std::size_t index) {
    current_ = index;
    setToolTip(currentLook().toolTip);
    update();
}

void MultiButtons::changeButtonIndex() {
    if (looks_.size() < 2) return;
    showLook((current_ + 1) % looks_.size());
}

void MultiButtons::setButtonIndex(int index) {
    if (looks_.size() < 2 || index < 0 || index >= buttonCount()) return;
    if (static_cast<std::size_t>(index) != current_) showLook(static_cast<std::size_t>(index));
}

void MultiButtons::resetButtonState() {
    if (!looks_.empty()) showLook(0);
}

void MultiButtons::changeToolTips(const QStringList& toolTips) {
    for (int look = 0; look < std::min(buttonCount(), static_cast<int>(toolTips.size())); ++look)
        if (!toolTips[look].isNull()) looks_[static_cast<std::size_t>(look)].toolTip = toolTips[look];
    if (!looks_.empty()) setToolTip(currentLook().toolTip);
}

QString MultiButtons::toolTipOfLook(int index) const {
    if (index < 0 || index >= buttonCount()) return {};
    return looks_[static_cast<std::size_t>(index)].toolTip;
}
