#pragma once
#include "views/ListScrollBar.h"

#include <QPixmap>
#include <QTimer>
#include <QWidget>

// What the skinned lists share: rows in slots on the skin's stripes, which belong to the slots and
// not to the rows (the first slot has the second stripe whatever row it shows), the selected row on
// its own image, and the skin's scroll bar at the right (left in right-to-left layout): its
// buttons step a row and repeat every 0.2 s while held, the track pages, the thumb drags. The
// subclass draws a row's content and says what a press on a row means. No keyboard focus.
class ScrolledList : public QWidget {
    Q_OBJECT
public:
    int getCount() const { return rowCount_; }
    int getCurSel() const { return selected_; }
    // Selects the row and scrolls down until it shows; never scrolls up to it.
    void setCurSel(int index);
    int firstVisible() const { return scrollBar_.firstVisible(); }
    int visibleSlots() const;
    int rowHeight() const;
    // Slot i, from the top.
    QRect slotRect(int slot) const;
    const ListScrollBar& scrollBar() const { return scrollBar_; }
    void relayoutContents(bool rightToLeft);

protected:
    ScrolledList(int maxSlots, QWidget* parent);

    // A row appended, or all of them gone (first row selected, at the top).
    void rowAdded();
    void rowsCleared();
    // The stripes and the selected row's image; the scroll bar's images are reloaded with them.
    void setRowImages(const QPixmap& stripe1, const QPixmap& stripe2, const QPixmap& selected);
    bool isRightToLeft() const { return rightToLeft_; }
    // Draws the content of a visible row over its stripe (and the selection image).
    virtual void paintRow(QPainter& painter, int row, const QRect& slot) const = 0;
    // A press on a row, which is now selected; the click count as the pointer gave it.
    virtual void rowPressed(int row, int clickCount) = 0;

    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void press(const QPoint& point, int clickCount);
    void repeatScroll();
    void relayout();

    const int maxSlots_;
    int rowCount_ = 0;
    int selected_ = 0;
    bool rightToLeft_ = false;
    QPixmap stripe1_, stripe2_, selectedImage_;
    ListScrollBar scrollBar_;
    QTimer repeat_;
    QPoint lastPoint_;
};
