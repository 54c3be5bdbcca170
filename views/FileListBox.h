#pragma once
#include <QPixmap>
#include <QString>
#include <QWidget>

#include <vector>

class AMediaFile;
class NotificationCenter;

// The recording list itself: one two-line row per playlist entry (file name above, date and time
// below) with the play mark and the event icon, drawn slot by slot on the skin's stripes, so the
// first visible slot always has the second stripe whatever row it shows. A press on a row selects
// it and posts FileListBoxChangedNotification, the second press of a double click
// FileListBoxDoubleClickNotification, each with the row and the owner's identity
// ("PARENT_WINDOW"). Rows are playlist indexes. It never takes the keyboard focus.
class FileListBox : public QWidget {
    Q_OBJECT
public:
    static constexpr int kMaxSlots = 40;

    FileListBox(NotificationCenter& notifications, QWidget* parent = nullptr);

    void setRealParent(const QString& ownerIdentity) { owner_ = ownerIdentity; }
    // Appends the entry (the index is not used).
    void insertString(int index, const AMediaFile& entry);
    QString getText(int index) const;
    int getCount() const { return static_cast<int>(rows_.size()); }
    int getCurSel() const { return selected_; }
    // Selects the row and scrolls down until it shows; never scrolls up to it.
    void setCurSel(int index);
    // Empty, first row selected, at the top.
    void resetContent();
    // The row with the play mark; -1 none.
    void showPlayMark(int index);
    int playMark() const { return playMark_; }
    void relayoutContents(bool rightToLeft);
    void loadSkinBitmap();

    int firstVisible() const { return first_; }
    int visibleSlots() const;
    int rowHeight() const;
    // Slot i of the list area, from the top.
    QRect slotRect(int slot) const;

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    struct Row {
        QString path, name, date, time;
        bool event = false;
    };
    void press(const QPoint& point, int clickCount);
    void setFirstVisible(int first);
    void paintRow(QPainter& painter, int index, const QRect& slot) const;

    NotificationCenter& notifications_;
    QString owner_;
    std::vector<Row> rows_;
    int selected_ = 0;
    int first_ = 0;
    int playMark_ = -1;
    bool rightToLeft_ = false;
    QPixmap stripe1_, stripe2_, selectedImage_, playImage_, eventImage_;
};
