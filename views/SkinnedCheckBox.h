#pragma once
#include <QPixmap>
#include <QString>
#include <QWidget>

#include <array>

class NotificationCenter;

// A check box drawn from the skin: the box image at the left, the title in white beside it. A
// press flips it and, while it is enabled, posts CheckBoxChangedNotification with the new state
// and the identities of its owner ("PARENT_WINDOW") and of itself ("CHECKBOX_WINDOW"). A disabled
// check box ignores presses.
class CheckBox : public QWidget {
    Q_OBJECT
public:
    CheckBox(NotificationCenter& notifications, QWidget* parent = nullptr);

    const QString& identity() const { return identity_; }
    void setRealParent(const QString& ownerIdentity) { owner_ = ownerIdentity; }
    void setTitle(const QString& title);
    const QString& title() const { return title_; }
    void setCheck(bool checked);
    bool isButtonChecked() const { return checked_; }
    void enableCheckBox(bool enabled);
    void loadSkinBitmap();
    // Right to left: the box at the right, the title left of it.
    void relayoutContents(bool rightToLeft);

    // The image index shown: 0 normal, 2 under the pointer or pressed, 3 disabled.
    int shownState() const;

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;

private:
    QRect boxRect() const;
    QRect textRect() const;

    NotificationCenter& notifications_;
    QString identity_;
    QString owner_;
    QString title_;
    std::array<QPixmap, 4> checkImages_;
    std::array<QPixmap, 4> uncheckImages_;
    int state_ = 0;
    bool checked_ = false;
    bool enabled_ = true;
    bool rightToLeft_ = false;
};
