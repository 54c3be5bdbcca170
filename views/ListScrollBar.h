#pragma once
#include <QPixmap>
#include <QRect>

#include <array>

class QPainter;

// The scroll bar of the skinned lists: an up button at the top, a down button at the bottom and
// a thumb between them, drawn from the skin. It keeps the first visible row and turns presses and
// drags into row changes; the list widget that owns it draws and repeats.
class ListScrollBar {
public:
    // What a press hits: the up button 1, the down button 2, the track above the thumb 3, below it
    // 4, the thumb 5; 0 for none.
    enum Part { kNone = 0, kUp = 1, kDown = 2, kPageUp = 3, kPageDown = 4, kThumb = 5 };

    void loadSkinBitmap();
    // The images' sizes: the bar's width is the buttons'.
    int width() const { return up_[0].width(); }

    // The bar's column and the list's counts; scrolling is on when the rows exceed the slots.
    void setGeometry(const QRect& column);
    void setCounts(int rows, int visibleSlots);
    bool isScrollEnabled() const { return rows_ > visible_; }
    int firstVisible() const { return first_; }
    // Clamped to 0 .. rows - visible slots.
    void setFirstVisible(int first);

    Part hit(const QPoint& point) const;
    // Scrolls for a press on `part` (1 to 4); a thumb press starts a drag at `point`.
    void press(Part part, const QPoint& point);
    // Moves a drag in progress; true when the first visible row changed.
    bool dragTo(const QPoint& point);
    bool isDragging() const { return dragging_; }
    // Pointer over a part (0: none) and the end of a press: the parts' images follow.
    bool hover(Part part);
    void release();

    QRect thumbRect() const;
    void paint(QPainter& painter) const;

private:
    float thumbGap() const;
    int state(Part part) const;

    std::array<QPixmap, 4> up_, down_, thumb_;
    QPixmap track_;
    QRect column_;
    int rows_ = 0;
    int visible_ = 0;
    int first_ = 0;
    bool dragging_ = false;
    int dragY_ = 0;
    Part hover_ = kNone;
    Part pressed_ = kNone;
};
