#include "views/FileListBox.h"

#include "Utility/Skin.h"
#include "app/NotificationCenter.h"
#include "library/AMediaFile.h"
#include "library/RecordingName.h"
#include "views/SkinImages.h"
#include "views/ViewStyle.h"

#include <QPainter>

FileListBox::FileListBox(NotificationCenter& notifications, QWidget* parent)
    : ScrolledList(kMaxSlots, parent), notifications_(notifications) {
    loadSkinBitmap();
}

void FileListBox::loadSkinBitmap() {
    playImage_ = pmLoadImage("icon_play.png");
    eventImage_ = pmLoadImage("icon_event.png");
    setRowImages(pmLoadImage("list_bg_1.png"), pmLoadImage("list_bg_2.png"), pmLoadImage("list_d.png"));
}

void FileListBox::insertString(int, const AMediaFile& entry) {
    const std::string& path = entry.URL();
    // Classified once here: the rule may look at the file's write protection.
    rows_.push_back({QString::fromStdString(path), QString::fromStdString(pmGetFileTitle(path, false)),
                     QString::fromStdString(pmGetDateStringFromNSDate(entry.fileDate())),
                     QString::fromStdString(pmGetTimeStringFromNSDate(entry.fileDate())),
                     pmGetRecordFileType(path) == kRecordEvent});
    rowAdded();
}

QString FileListBox::getText(int index) const {
    return index >= 0 && index < getCount() ? rows_[static_cast<std::size_t>(index)].path : QString();
}

void FileListBox::resetContent() {
    rows_.clear();
    rowsCleared();
}

void FileListBox::showPlayMark(int index) {
    playMark_ = index;
    update();
}

void FileListBox::rowPressed(int row, int clickCount) {
    notifications_.post(clickCount == 1 ? notify::kFileListBoxChanged : notify::kFileListBoxDoubleClick, row,
                        {{"PARENT_WINDOW", owner_.toStdString()}});
}

void FileListBox::paintRow(QPainter& painter, int index, const QRect& slot) const {
    const Row& row = rows_[static_cast<std::size_t>(index)];
    // Places given as x and the gap below them in the left-to-right layout, mirrored within the
    // slot for right to left.
    const auto box = [&](int x, int width, int bottomGap, int height) {
        const int left = isRightToLeft() ? slot.right() + 1 - width - x : slot.left() + x;
        return QRect(left, slot.bottom() + 1 - bottomGap - height, width, height);
    };
    const auto icon = [&](int x, const QPixmap& image) {
        painter.drawPixmap(box(x, image.width(), (slot.height() - image.height()) / 2, image.height()), image);
    };
    if (index == playMark_) icon(2, playImage_);
    if (row.event) icon(28, eventImage_);

    const int half = slot.height() / 2;
    const int skin = pmGetSkinID();
    painter.setPen(index != getCurSel() && (skin == 0 || skin == 3) ? QColor(Qt::white) : QColor(Qt::black));
    painter.setFont(pmViewFont(15));
    const QRect name = box(65, 210, half - 6, half);
    const Qt::Alignment side = isRightToLeft() ? Qt::AlignRight : Qt::AlignLeft;
    painter.drawText(name, side | Qt::AlignTop, painter.fontMetrics().elidedText(row.name, Qt::ElideMiddle, name.width()));
    painter.setFont(pmViewFont(11));
    painter.drawText(box(65, 66, 6, half), side | Qt::AlignVCenter, row.date);
    painter.drawText(box(143, 56, 6, half), side | Qt::AlignVCenter, row.time);
}
