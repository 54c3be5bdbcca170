#pragma once
#include "views/ScrolledList.h"

#include <QPixmap>
#include <QString>

#include <vector>

class AMediaFile;
class NotificationCenter;

// The recording list itself: one two-line row per playlist entry (file name above, date and time
// below) with the play mark and the event icon. A press on a row selects it and posts
// FileListBoxChangedNotification, the second press of a double click
// FileListBoxDoubleClickNotification, each with the row and the owner's identity
// ("PARENT_WINDOW"). Rows are playlist indexes.
class FileListBox : public ScrolledList {
    Q_OBJECT
public:
    static constexpr int kMaxSlots = 40;

    FileListBox(NotificationCenter& notifications, QWidget* parent = nullptr);

    void setRealParent(const QString& ownerIdentity) { owner_ = ownerIdentity; }
    // Appends the entry (the index is not used).
    void insertString(int index, const AMediaFile& entry);
    // The row's path.
    QString getText(int index) const;
    // Empty, first row selected, at the top.
    void resetContent();
    // The row with the play mark; -1 none.
    void showPlayMark(int index);
    int playMark() const { return playMark_; }
    void loadSkinBitmap();

protected:
    void paintRow(QPainter& painter, int index, const QRect& slot) const override;
    void rowPressed(int row, int clickCount) override;

private:
    struct Row {
        QString path, name, date, time;
        bool event = false;
    };

    NotificationCenter& notifications_;
    QString owner_;
    std::vector<Row> rows_;
    int playMark_ = -1;
    QPixmap playImage_, eventImage_;
};
