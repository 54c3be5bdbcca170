#pragma once
#include "app/ControllerViews.h"

#include <QWidget>

class NotificationCenter;
class QCheckBox;
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
    static constexpr int kRowHeight = 44;

    explicit RecordingListWidget(NotificationCenter& notifications, QWidget* parent = nullptr);

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

    int rowCount() const;
    int playMarkRow() const { return playMark_; }
    QListWidget& list() { return *list_; }
    QCheckBox& normalCheckBox() { return *normalBox_; }
    QCheckBox& eventCheckBox() { return *eventBox_; }
    void changeLanguage() override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void filterClicked();
    void rowDoubleClicked(const QModelIndex& index);

    NotificationCenter& notifications_;
    QListWidget* list_;
    QCheckBox* eventBox_;
    QCheckBox* normalBox_;
    bool showNormal_ = true;
    bool showEvent_ = true;
    int playMark_ = -1;
};
