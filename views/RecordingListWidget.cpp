#include "views/RecordingListWidget.h"

#include "Utility/DiagnosticLog.h"
#include "library/AMediaFile.h"
#include "views/FileListBox.h"
#include "views/SkinImages.h"
#include "views/SkinnedCheckBox.h"
#include "views/ViewStyle.h"

#include <QPainter>

RecordingListWidget::RecordingListWidget(NotificationCenter& notifications, QWidget* parent)
    : QWidget(parent),
      notifications_(notifications),
      identity_(QString::asprintf("FileListView-%p", static_cast<void*>(this))) {
    setFocusPolicy(Qt::NoFocus);
    eventBox_ = new CheckBox(notifications_, this);
    normalBox_ = new CheckBox(notifications_, this);
    for (CheckBox* box : {eventBox_, normalBox_}) {
        box->setCheck(true);
        box->setRealParent(identity_);
    }

    list_ = new FileListBox(notifications_, this);
    list_->setRealParent(identity_);
    tokens_.push_back(notifications_.addObserver(NotificationCenter::fullName(notify::kCheckBoxChanged),
                                                 [this](const Notification& n) { filterChanged(n); }));
    tokens_.push_back(notifications_.addObserver(NotificationCenter::fullName(notify::kFileListBoxChanged),
                                                 [this](const Notification& n) { listBoxNotified(n, false); }));
    tokens_.push_back(notifications_.addObserver(NotificationCenter::fullName(notify::kFileListBoxDoubleClick),
                                                 [this](const Notification& n) { listBoxNotified(n, true); }));
    loadSkinBitmap();
    changeLanguage();
}

RecordingListWidget::~RecordingListWidget() {
    for (NotificationCenter::Token token : tokens_) notifications_.removeObserver(token);
}

void RecordingListWidget::changeLanguage() {
    eventBox_->setTitle(pmViewString("IDS_EVENT"));
    normalBox_->setTitle(pmViewString("IDS_NORMAL"));
}

void RecordingListWidget::loadSkinBitmap() {
    headerImage_ = pmLoadImage("bg_calendar_title.png");
    list_->loadSkinBitmap();
    for (CheckBox* box : {eventBox_, normalBox_}) box->loadSkinBitmap();
    update();
}

void RecordingListWidget::relayoutContents(bool rightToLeft) {
    rightToLeft_ = rightToLeft;
    const auto place = [&](int x, int width) { return QRect(rightToLeft ? this->width() - width - x : x, 6, width, 18); };
    eventBox_->setGeometry(place(60, 100));
    normalBox_->setGeometry(place(170, 120));
    for (CheckBox* box : {eventBox_, normalBox_}) box->relayoutContents(rightToLeft);
    list_->setGeometry(0, kHeaderHeight, width(), height() - kHeaderHeight);
    list_->relayoutContents(rightToLeft);
}

void RecordingListWidget::resizeEvent(QResizeEvent*) { relayoutContents(rightToLeft_); }

void RecordingListWidget::buildFileList(const std::vector<AMediaFile>& playlist) {
    list_->resetContent();
    for (std::size_t index = 0; index < playlist.size(); ++index) list_->insertString(static_cast<int>(index), playlist[index]);
    showPlayMark(-1);
}

int RecordingListWidget::rowCount() const { return list_->getCount(); }

int RecordingListWidget::playMarkRow() const { return list_->playMark(); }

int RecordingListWidget::getCurSel() const { return list_->getCount() == 0 ? -1 : list_->getCurSel(); }

void RecordingListWidget::setCurSel(int index, bool mark) {
    if (index < 0 || index >= list_->getCount()) return;
    if (mark) showPlayMark(index);
    list_->setCurSel(index);
}

void RecordingListWidget::showPlayMark(int index) { list_->showPlayMark(index); }

void RecordingListWidget::filterChanged(const Notification& notification) {
    const auto box = notification.userInfo.find("CHECKBOX_WINDOW");
    if (box == notification.userInfo.end()) return;
    if (box->second == eventBox_->identity().toStdString()) showEvent_ = notification.object > 0;
    else if (box->second == normalBox_->identity().toStdString()) showNormal_ = notification.object > 0;
    else return;
    notifications_.post(notify::kFileListViewCheckBox);
}

void RecordingListWidget::listBoxNotified(const Notification& notification, bool doubleClick) {
    const auto owner = notification.userInfo.find("PARENT_WINDOW");
    if (owner == notification.userInfo.end() || owner->second != identity_.toStdString()) return;
    if (!doubleClick) {
        pmOutputDebugMsg("fileListBoxSelectChanged");
        return;
    }
    showPlayMark(static_cast<int>(notification.object));
    notifications_.post(notify::kFileListViewDoubleClick, notification.object);
}

void RecordingListWidget::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.drawPixmap(0, 0, headerImage_);
}
