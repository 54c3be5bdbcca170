#pragma once
#include "app/ControllerViews.h"
#include "app/NotificationCenter.h"

#include <QPixmap>
#include <QWidget>

class CheckBox;
class FileListBox;

// The recording list panel: the Event and Normal filters on the header strip above the list of
// the playlist (FileListBox). Rows are playlist indexes. A double click on a row puts the play mark
// on it and posts FileListViewDoubleClickNotification with the row; a filter the user changes posts
// FileListViewCheckBoxNotification.
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
    // -1 for an empty list.
    int getCurSel() const override;
    // Selects the row and, with `mark`, puts the play mark on it; ignored for a row that is not
    // there.
    void setCurSel(int index, bool mark) override;
    void showPlayMark(int index) override;
    void loadSkinBitmap() override;

    int rowCount() const;
    int playMarkRow() const;
    FileListBox& list() { return *list_; }
    CheckBox& normalCheckBox() { return *normalBox_; }
    CheckBox& eventCheckBox() { return *eventBox_; }
    void changeLanguage() override;
    // Right to left: the check boxes' places and the list's scroll bar mirrored.
    void relayoutContents(bool rightToLeft);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void filterChanged(const Notification& notification);
    void listBoxNotified(const Notification& notification, bool doubleClick);

    NotificationCenter& notifications_;
    std::vector<NotificationCenter::Token> tokens_;
    QString identity_;
    FileListBox* list_;
    CheckBox* eventBox_;
    CheckBox* normalBox_;
    QPixmap headerImage_;
    bool showNormal_ = true;
    bool showEvent_ = true;
    bool rightToLeft_ = false;
};
