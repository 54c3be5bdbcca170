#include "views/RecordingListWidget.h"

#include "Utility/DiagnosticLog.h"
#include "app/NotificationCenter.h"
#include "library/AMediaFile.h"
#include "library/RecordingName.h"
#include "Utility/Skin.h"
#include "views/SkinImages.h"
#include "views/SkinnedCheckBox.h"
#include "views/ViewStyle.h"

#include <QListWidget>
#include <QMouseEvent>
#include <QPainter>
#include <QStyledItemDelegate>
#include <QVBoxLayout>

namespace {

enum Role { kNameRole = Qt::UserRole, kDateRole, kTimeRole, kEventRole };

// Paints one two-line row on the skin's stripes: play mark, event icon, file name above, date
// and time below. The text is dark on the selected row and on light skins' rows, white on the
// dark skins' rows.
class RecordingRowDelegate : public QStyledItemDelegate {
public:
    RecordingRowDelegate(const RecordingListWidget& owner, QObject* parent) : QStyledItemDelegate(parent), owner_(owner) {}

    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex&) const override {
        return {option.rect.width(), owner_.rowImage(0).height()};
    }

    void paint(QPainter* p, const QStyleOptionViewItem& option, const QModelIndex& index) const override {
        p->save();
        const QRect slot = option.rect;
        const bool selected = option.state & QStyle::State_Selected;
        // The first row has the second stripe.
        p->drawPixmap(slot.topLeft(), owner_.rowImage(selected ? 2 : index.row() % 2 == 0 ? 1 : 0));
        const int middle = slot.center().y();
        if (index.row() == owner_.playMarkRow()) {
            const QPixmap& play = owner_.iconImage(0);
            p->drawPixmap(slot.left() + 2, middle - play.height() / 2, play);
        }
        if (index.data(kEventRole).toBool()) {
            const QPixmap& event = owner_.iconImage(1);
            p->drawPixmap(slot.left() + 28, middle - event.height() / 2, event);
        }

        const int half = slot.height() / 2;
        const int skin = pmGetSkinID();
        p->setPen(!selected && (skin == 0 || skin == 3) ? QColor(Qt::white) : QColor(Qt::black));
        p->setFont(pmViewFont(15));
        const QRect nameBox(slot.left() + 65, slot.bottom() + 1 - (half - 6) - half, 210, half);
        p->drawText(nameBox, Qt::AlignLeft | Qt::AlignTop,
                    p->fontMetrics().elidedText(index.data(kNameRole).toString(), Qt::ElideMiddle, nameBox.width()));
        p->setFont(pmViewFont(11));
        const int lowerTop = slot.bottom() + 1 - 6 - half;
        p->drawText(QRect(slot.left() + 65, lowerTop, 66, half), Qt::AlignLeft | Qt::AlignVCenter,
                    index.data(kDateRole).toString());
        p->drawText(QRect(slot.left() + 143, lowerTop, 56, half), Qt::AlignLeft | Qt::AlignVCenter,
                    index.data(kTimeRole).toString());
        p->restore();
    }

private:
    const RecordingListWidget& owner_;
};

// A press below the last row leaves the selection alone (Qt's lists would clear it).
class RecordingRows : public QListWidget {
public:
    using QListWidget::QListWidget;

protected:
    void mousePressEvent(QMouseEvent* event) override {
        if (indexAt(event->position().toPoint()).isValid()) QListWidget::mousePressEvent(event);
    }
    void mouseDoubleClickEvent(QMouseEvent* event) override {
        if (indexAt(event->position().toPoint()).isValid()) QListWidget::mouseDoubleClickEvent(event);
    }
};

}  // namespace

RecordingListWidget::RecordingListWidget(NotificationCenter& notifications, QWidget* parent)
    : QWidget(parent),
      notifications_(notifications),
      identity_(QString::asprintf("FileListView-%p", static_cast<void*>(this))) {
    auto* header = new QWidget(this);
    header->setFixedHeight(kHeaderHeight);
    eventBox_ = new CheckBox(notifications_, header);
    normalBox_ = new CheckBox(notifications_, header);
    eventBox_->setObjectName("eventCheckBox");
    normalBox_->setObjectName("normalCheckBox");
    for (CheckBox* box : {eventBox_, normalBox_}) {
        box->setCheck(true);
        box->setRealParent(identity_);
    }
    eventBox_->setGeometry(60, 6, 100, 18);
    normalBox_->setGeometry(170, 6, 120, 18);
    checkBoxToken_ = notifications_.addObserver(NotificationCenter::fullName(notify::kCheckBoxChanged),
                                                [this](const Notification& n) { filterChanged(n); });

    list_ = new RecordingRows(this);
    list_->setObjectName("recordingRows");
    list_->setItemDelegate(new RecordingRowDelegate(*this, list_));
    list_->setSelectionMode(QAbstractItemView::SingleSelection);
    list_->setUniformItemSizes(true);
    list_->setFrameShape(QFrame::NoFrame);
    list_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    list_->setVerticalScrollMode(QAbstractItemView::ScrollPerPixel);
    connect(list_, &QListWidget::doubleClicked, this, &RecordingListWidget::rowDoubleClicked);
    connect(list_, &QListWidget::itemClicked, this, [] { pmOutputDebugMsg("fileListBoxSelectChanged"); });

    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    column->addWidget(header);
    column->addWidget(list_, 1);
    loadSkinBitmap();
    changeLanguage();
}

RecordingListWidget::~RecordingListWidget() { notifications_.removeObserver(checkBoxToken_); }

void RecordingListWidget::changeLanguage() {
    eventBox_->setTitle(pmViewString("IDS_EVENT"));
    normalBox_->setTitle(pmViewString("IDS_NORMAL"));
}

void RecordingListWidget::loadSkinBitmap() {
    headerImage_ = pmLoadImage("bg_calendar_title.png");
    rowImages_ = {pmLoadImage("list_bg_1.png"), pmLoadImage("list_bg_2.png"), pmLoadImage("list_d.png")};
    iconImages_ = {pmLoadImage("icon_play.png"), pmLoadImage("icon_event.png")};
    eventBox_->loadSkinBitmap();
    normalBox_->loadSkinBitmap();
    // The rows' height is the stripes'.
    list_->doItemsLayout();
    update();
    list_->viewport()->update();
}

void RecordingListWidget::buildFileList(const std::vector<AMediaFile>& playlist) {
    list_->clear();
    for (const AMediaFile& entry : playlist) {
        auto* item = new QListWidgetItem(list_);
        const std::string& path = entry.URL();
        item->setData(kNameRole, QString::fromStdString(pmGetFileTitle(path, false)));
        item->setData(kDateRole, QString::fromStdString(pmGetDateStringFromNSDate(entry.fileDate())));
        item->setData(kTimeRole, QString::fromStdString(pmGetTimeStringFromNSDate(entry.fileDate())));
        // Classified once here: the rule may look at the file's write protection.
        item->setData(kEventRole, pmGetRecordFileType(path) == kRecordEvent);
        item->setToolTip(QString::fromStdString(path));
    }
    // A fresh list starts on its first row, so that play without a choice plays the first one.
    if (!playlist.empty()) list_->setCurrentRow(0);
    showPlayMark(-1);
}

int RecordingListWidget::rowCount() const { return list_->count(); }

int RecordingListWidget::getCurSel() const {
    const QList<QListWidgetItem*> selected = list_->selectedItems();
    return selected.isEmpty() ? -1 : list_->row(selected.front());
}

void RecordingListWidget::setCurSel(int index, bool mark) {
    if (index < 0 || index >= list_->count()) return;
    if (mark) showPlayMark(index);
    list_->setCurrentRow(index);
    list_->scrollToItem(list_->item(index));
}

void RecordingListWidget::showPlayMark(int index) {
    playMark_ = index;
    list_->viewport()->update();
}

void RecordingListWidget::filterChanged(const Notification& notification) {
    const auto box = notification.userInfo.find("CHECKBOX_WINDOW");
    if (box == notification.userInfo.end()) return;
    if (box->second == eventBox_->identity().toStdString()) showEvent_ = notification.object > 0;
    else if (box->second == normalBox_->identity().toStdString()) showNormal_ = notification.object > 0;
    else return;
    notifications_.post(notify::kFileListViewCheckBox);
}

void RecordingListWidget::rowDoubleClicked(const QModelIndex& index) {
    if (!index.isValid()) return;
    showPlayMark(index.row());
    notifications_.post(notify::kFileListViewDoubleClick, index.row());
}

void RecordingListWidget::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.drawPixmap(0, 0, headerImage_);
}
