#include "views/FileListBox.h"

#include "Utility/DiagnosticLog.h"
#include "app/NotificationCenter.h"
#include "library/AMediaFile.h"
#include "library/RecordingName.h"
#include "views/ViewStyle.h"

#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QWheelEvent>

#include <algorithm>

namespace {

constexpr int kScrollBarWidth = 14;

// Until the skins arrive: today's look drawn under the skins' image names.
QPixmap standInImage(const QString& name) {
    const bool row = name.startsWith("list_");
    QPixmap image(row ? QSize(277, 48) : QSize(22, 22));
    image.fill(name == "list_bg_1.png"   ? viewcolor::kStripe1
               : name == "list_bg_2.png" ? viewcolor::kStripe2
               : name == "list_d.png"    ? viewcolor::kAccent.lighter(150)
                                         : QColor(Qt::transparent));
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    if (name == "icon_play.png") {
        QPainterPath mark;
        mark.moveTo(4, 4);
        mark.lineTo(16, 11);
        mark.lineTo(4, 18);
        mark.closeSubpath();
        painter.fillPath(mark, QColor(110, 200, 120));
    } else if (name == "icon_event.png") {
        painter.setPen(Qt::NoPen);
        painter.setBrush(viewcolor::kEvent);
        painter.drawRoundedRect(QRectF(1, 2, 20, 18), 4, 4);
        painter.setPen(Qt::white);
        painter.setFont(pmViewFont(13, true));
        painter.drawText(image.rect(), Qt::AlignCenter, QStringLiteral("!"));
    }
    return image;
}

}  // namespace

FileListBox::FileListBox(NotificationCenter& notifications, QWidget* parent)
    : QWidget(parent), notifications_(notifications) {
    setFocusPolicy(Qt::NoFocus);
    loadSkinBitmap();
}

void FileListBox::loadSkinBitmap() {
    stripe1_ = standInImage("list_bg_1.png");
    stripe2_ = standInImage("list_bg_2.png");
    selectedImage_ = standInImage("list_d.png");
    playImage_ = standInImage("icon_play.png");
    eventImage_ = standInImage("icon_event.png");
    setFirstVisible(first_);
    update();
}

int FileListBox::rowHeight() const { return std::max(1, stripe1_.height()); }

int FileListBox::visibleSlots() const { return std::min(kMaxSlots, height() / rowHeight()); }

QRect FileListBox::slotRect(int slot) const {
    const int width = selectedImage_.width();
    return QRect(rightToLeft_ ? this->width() - width : 0, slot * rowHeight(), width, rowHeight());
}

void FileListBox::insertString(int, const AMediaFile& entry) {
    const std::string& path = entry.URL();
    // Classified once here: the rule may look at the file's write protection.
    rows_.push_back({QString::fromStdString(path), QString::fromStdString(pmGetFileTitle(path, false)),
                     QString::fromStdString(pmGetDateStringFromNSDate(entry.fileDate())),
                     QString::fromStdString(pmGetTimeStringFromNSDate(entry.fileDate())),
                     pmGetRecordFileType(path) == kRecordEvent});
    update();
}

QString FileListBox::getText(int index) const {
    return index >= 0 && index < getCount() ? rows_[static_cast<std::size_t>(index)].path : QString();
}

void FileListBox::setCurSel(int index) {
    selected_ = index;
    const int lastFirst = std::max(0, getCount() - visibleSlots());
    while (selected_ >= first_ + visibleSlots() && first_ < lastFirst) ++first_;
    update();
}

void FileListBox::resetContent() {
    rows_.clear();
    selected_ = 0;
    first_ = 0;
    update();
}

void FileListBox::showPlayMark(int index) {
    playMark_ = index;
    update();
}

void FileListBox::relayoutContents(bool rightToLeft) {
    rightToLeft_ = rightToLeft;
    setFirstVisible(first_);
    update();
}

void FileListBox::resizeEvent(QResizeEvent*) { setFirstVisible(first_); }

void FileListBox::setFirstVisible(int first) { first_ = std::clamp(first, 0, std::max(0, getCount() - visibleSlots())); }

void FileListBox::press(const QPoint& point, int clickCount) {
    pmOutputDebugMsgF("mouseDown ! - %d", clickCount);
    for (int slot = 0; slot < visibleSlots(); ++slot) {
        const int row = first_ + slot;
        if (row >= getCount() || !slotRect(slot).contains(point)) continue;
        selected_ = row;
        update();
        notifications_.post(clickCount == 1 ? notify::kFileListBoxChanged : notify::kFileListBoxDoubleClick, row,
                            {{"PARENT_WINDOW", owner_.toStdString()}});
        return;
    }
}

void FileListBox::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) press(event->position().toPoint(), 1);
}

void FileListBox::mouseDoubleClickEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) press(event->position().toPoint(), 2);
}

void FileListBox::wheelEvent(QWheelEvent* event) {
    setFirstVisible(first_ - event->angleDelta().y() / 120);
    update();
}

void FileListBox::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    // Stripes by slot, not by row.
    for (int slot = 0; slot * rowHeight() < height(); ++slot)
        painter.drawPixmap(slotRect(slot).topLeft(), slot % 2 == 0 ? stripe2_ : stripe1_);
    painter.fillRect(QRect(rightToLeft_ ? 0 : width() - kScrollBarWidth, 0, kScrollBarWidth, height()), viewcolor::kPanel);
    for (int slot = 0; slot < visibleSlots() && first_ + slot < getCount(); ++slot) {
        const int row = first_ + slot;
        if (row == selected_) painter.drawPixmap(slotRect(slot).topLeft(), selectedImage_);
        paintRow(painter, row, slotRect(slot));
    }
}

void FileListBox::paintRow(QPainter& painter, int index, const QRect& slot) const {
    const Row& row = rows_[static_cast<std::size_t>(index)];
    // Places given as x and the gap below them in the left-to-right layout, mirrored within the
    // slot for right to left.
    const auto box = [&](int x, int width, int bottomGap, int height) {
        const int left = rightToLeft_ ? slot.right() + 1 - width - x : slot.left() + x;
        return QRect(left, slot.bottom() + 1 - bottomGap - height, width, height);
    };
    const auto icon = [&](int x, const QPixmap& image) {
        painter.drawPixmap(box(x, image.width(), (slot.height() - image.height()) / 2, image.height()), image);
    };
    if (index == playMark_) icon(2, playImage_);
    if (row.event) icon(28, eventImage_);

    const int half = slot.height() / 2;
    painter.setPen(index == selected_ ? QColor(Qt::black) : QColor(Qt::white));
    painter.setFont(pmViewFont(15));
    const QRect name = box(65, 210, half - 6, half);
    const Qt::Alignment side = rightToLeft_ ? Qt::AlignRight : Qt::AlignLeft;
    painter.drawText(name, side | Qt::AlignTop, painter.fontMetrics().elidedText(row.name, Qt::ElideMiddle, name.width()));
    painter.setFont(pmViewFont(11));
    painter.drawText(box(65, 66, 6, half), side | Qt::AlignVCenter, row.date);
    painter.drawText(box(143, 56, 6, half), side | Qt::AlignVCenter, row.time);
}
