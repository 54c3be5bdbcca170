#pragma once
#include "app/ControllerViews.h"

#include <QWidget>

#include "app/NotificationCenter.h"

#include <QPixmap>

#include <array>

class CheckBox;
class QListWidget;
class QModelIndex;

// The playlist as two-line rows (file name; date and time), with the play mark on the recording
// being played and an event mark on event recordings, under a strip with the Normal and Event
// filters. Rows are playlist indexes. A double click posts FileListViewDoubleClickNotification
// with the row; a filter the user changes posts FileListViewCheckBoxNotification.
class RecordingListWidget : public QWidget, public RecordingListView {
    Q_OBJECT
public:
    static constexpr int kHeaderHeight = 31;

    explicit RecordingListWidget(NotificationCenter& notifications, QWidget* parent = nullptr);
    ~RecordingListWidget() override;

    // RecordingListView
    bool isShowNormalFile() const override { return showNormal_; }
    bool isShowEventFile() const override { return showEvent_; }
    // Parking recordings are not offered as a filter of their own; they always show.
    bool isShowParkingFile() const override { return true; }
    void buildFileList(const std::vector<AMediaFile>& playlist) override;
    int getCurSel() const override;
    // Selects the row and, with `mark`, puts the play mark on it; ignored for a row that is not
    // there.
    void setCurSel(int index, bool mark) override;
    void showPlayMark(int index) override;
    void loadSkinBitmap() override;

    int rowCount() const;
    int playMarkRow() const { return playMark_; }
    QListWidget& list() { return *list_; }
    CheckBox& normalCheckBox() { return *normalBox_; }
    CheckBox& eventCheckBox() { return *eventBox_; }
    void changeLanguage();
    // The rows' images: stripes 1 and 2 and the selected row; the play mark and the event icon.
    const QPixmap& rowImage(int index) const { return rowImages_[static_cast<std::size_t>(index)]; }
    const QPixmap& iconImage(int index) const { return iconImages_[static_cast<std::size_t>(index)]; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void filterChanged(const Notification& notification);
    void rowDoubleClicked(const QModelIndex& index);

    NotificationCenter& notifications_;
    NotificationCenter::Token checkBoxToken_ = 0;
    QString identity_;
    QListWidget* list_;
    CheckBox* eventBox_;
    CheckBox* normalBox_;
    QPixmap headerImage_;
    std::array<QPixmap, 3> rowImages_;
    std::array<QPixmap, 2> iconImages_;
    bool showNormal_ = true;
    bool showEvent_ = true;
    int playMark_ = -1;
};
