#include "views/RecordingListWidget.h"

#include "Utility/DiagnosticLog.h"
#include "app/NotificationCenter.h"
#include "library/AMediaFile.h"
#include "library/RecordingName.h"
#include "views/ViewStyle.h"

#include <QCheckBox>
#include <QListWidget>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QStyledItemDelegate>
#include <QVBoxLayout>

namespace {

enum Role { kNameRole = Qt::UserRole, kDateRole, kTimeRole, kEventRole };

// Paints one two-line row: play mark, event mark, file name above, date and time below.
class RecordingRowDelegate : public QStyledItemDelegate {
public:
    RecordingRowDelegate(const RecordingListWidget& owner, QObject* parent) : QStyledItemDelegate(parent), owner_(owner) {}

    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex&) const override {
        return {option.rect.width(), RecordingListWidget::kRowHeight};
    }

    void paint(QPainter* p, const QStyleOptionViewItem& option, const QModelIndex& index) const override {
        p->save();
        p->setRenderHint(QPainter::Antialiasing);
        const QRect slot = option.rect;
        const bool selected = option.state & QStyle::State_Selected;
        p->fillRect(slot, selected ? viewcolor::kAccent : (index.row() % 2 ? viewcolor::kStripe1 : viewcolor::kStripe2));
        const int middle = slot.center().y();

        if (index.row() == owner_.playMarkRow()) {
            QPainterPath mark;
            mark.moveTo(slot.left() + 6, middle - 7);
            mark.lineTo(slot.left() + 18, middle);
            mark.lineTo(slot.left() + 6, middle + 7);
            mark.closeSubpath();
            p->fillPath(mark, selected ? QColor(Qt::white) : QColor(110, 200, 120));
        }
        if (index.data(kEventRole).toBool()) {
            const QRectF badge(slot.left() + 28, middle - 9, 26, 18);
            p->setPen(Qt::NoPen);
            p->setBrush(viewcolor::kEvent);
            p->drawRoundedRect(badge, 4, 4);
            p->setPen(Qt::white);
            p->setFont(pmViewFont(13, true));
            p->drawText(badge, Qt::AlignCenter, QStringLiteral("!"));
        }

        const int half = slot.height() / 2;
        p->setPen(selected ? QColor(Qt::white) : viewcolor::kText);
        p->setFont(pmViewFont(15));
        const QRect nameBox(slot.left() + 65, slot.top() + 4, slot.width() - 70, half - 2);
        p->drawText(nameBox, Qt::AlignLeft | Qt::AlignBottom,
                    p->fontMetrics().elidedText(index.data(kNameRole).toString(), Qt::ElideMiddle, nameBox.width()));
        p->setPen(selected ? QColor(225, 235, 250) : viewcolor::kDimText);
        p->setFont(pmViewFont(11));
        const int lowerTop = slot.top() + half + 1;
        p->drawText(QRect(slot.left() + 65, lowerTop, 72, half - 6), Qt::AlignLeft | Qt::AlignVCenter,
                    index.data(kDateRole).toString());
        p->drawText(QRect(slot.left() + 143, lowerTop, 60, half - 6), Qt::AlignLeft | Qt::AlignVCenter,
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
    : QWidget(parent), notifications_(notifications) {
    auto* header = new QWidget(this);
    header->setFixedHeight(kHeaderHeight);
    eventBox_ = new QCheckBox(header);
    normalBox_ = new QCheckBox(header);
    eventBox_->setObjectName("eventCheckBox");
    normalBox_->setObjectName("normalCheckBox");
    for (QCheckBox* box : {eventBox_, normalBox_}) {
        box->setChecked(true);
        box->setFont(pmViewFont(12));
        connect(box, &QCheckBox::clicked, this, [this] { filterClicked(); });
    }
    eventBox_->setGeometry(60, 6, 100, 20);
    normalBox_->setGeometry(170, 6, 120, 20);

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
    changeLanguage();
}

void RecordingListWidget::changeLanguage() {
    eventBox_->setText(pmViewString("IDS_EVENT"));
    normalBox_->setText(pmViewString("IDS_NORMAL"));
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

void RecordingListWidget::filterClicked() {
    showEvent_ = eventBox_->isChecked();
    showNormal_ = normalBox_->isChecked();
    notifications_.post(notify::kFileListViewCheckBox);
}

void RecordingListWidget::rowDoubleClicked(const QModelIndex& index) {
    if (!index.isValid()) return;
    showPlayMark(index.row());
    notifications_.post(notify::kFileListViewDoubleClick, index.row());
}

void RecordingListWidget::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    pmPaintBar(painter, QRect(0, 0, width(), kHeaderHeight));
}
