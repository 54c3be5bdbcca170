#pragma once
#include "views/ScrolledList.h"

#include <QStringList>

class NotificationCenter;

// The drop-down list of the skinned combo box: one line per row, centred. A press on a row posts
// ListBoxChangedNotification with the row and the owner's identity ("PARENT_WINDOW"). While it
// captures the pointer, every left press in the application is watched: a press outside the list
// is consumed and posts the notification with -1 (closed without a choice).
class ListBox : public ScrolledList {
    Q_OBJECT
public:
    static constexpr int kMaxSlots = 10;

    ListBox(NotificationCenter& notifications, const QString& ownerIdentity, QWidget* parent = nullptr);
    ~ListBox() override;

    // Appends the text (the index is not used).
    void insertString(int index, const QString& text);
    QString getText(int index) const { return rows_.value(index); }
    void resetContent();

    void setCaptureMouseEvent();
    void clearCaptureMouseEvent();
    bool isCapturing() const { return capturing_; }
    void loadSkinBitmap();

protected:
    void paintRow(QPainter& painter, int row, const QRect& slot) const override;
    void rowPressed(int row, int clickCount) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void post(int index);

    NotificationCenter& notifications_;
    QString owner_;
    QStringList rows_;
    bool capturing_ = false;
};
