#pragma once
#include "views/ListScrollBar.h"

#include <QPixmap>
#include <QStringList>
#include <QTimer>
#include <QWidget>

class NotificationCenter;

// The drop-down list of the skinned combo box: one line per row on striped skin images, the
// selected row on its own image, and the skin's scroll bar. A press on a row posts
// ListBoxChangedNotification with the row and the owner's identity ("PARENT_WINDOW"). While it
// captures the pointer, every left press in the application is watched: a press outside the list
// is consumed and posts the notification with -1 (closed without a choice).
class ListBox : public QWidget {
    Q_OBJECT
public:
    static constexpr int kMaxSlots = 10;

    ListBox(NotificationCenter& notifications, const QString& ownerIdentity, QWidget* parent = nullptr);
    ~ListBox() override;

    // Appends the text (the index is not used).
    void insertString(int index, const QString& text);
    QString getText(int index) const { return rows_.value(index); }
    int getCount() const { return static_cast<int>(rows_.size()); }
    int getCurSel() const { return selected_; }
    // Selects the row and scrolls down until it shows; never scrolls up to it.
    void setCurSel(int index);
    void resetContent();
    int firstVisible() const { return scrollBar_.firstVisible(); }
    int visibleSlots() const;

    void setCaptureMouseEvent();
    void clearCaptureMouseEvent();
    bool isCapturing() const { return capturing_; }
    void loadSkinBitmap();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    int rowHeight() const;
    void relayout();
    void repeatScroll();
    void post(int index);

    NotificationCenter& notifications_;
    QString owner_;
    QStringList rows_;
    int selected_ = 0;
    QPixmap stripe1_, stripe2_, selectedImage_;
    ListScrollBar scrollBar_;
    QTimer repeat_;
    QPoint lastPoint_;
    bool capturing_ = false;
};
