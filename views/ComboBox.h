#pragma once
#include "app/NotificationCenter.h"

#include <QPixmap>
#include <QWidget>

class BitmapButton;
class ListBox;

// A skinned combo box: the chosen text on the skin's field and a spin button that opens the
// drop-down list below it, in the combo box's parent view (so that it may reach beyond the combo
// box). Choosing a row shows its text and posts ComboBoxChangedNotification with the index and the
// identities of the owner ("PARENT_WINDOW") and of the combo box ("COMBO_WINDOW"). A press outside
// the open list closes it and changes nothing.
class ComboBox : public QWidget {
    Q_OBJECT
public:
    static constexpr QSize kDropDownSize{67, 144};

    // `parent` is the view the drop-down opens in.
    ComboBox(NotificationCenter& notifications, QWidget* parent);
    ~ComboBox() override;

    const QString& identity() const { return identity_; }
    void setRealParent(const QString& ownerIdentity) { owner_ = ownerIdentity; }
    void insertString(int index, const QString& text);
    int getCount() const;
    int getCurSel() const;
    // Selects the row and shows its text; posts nothing.
    void setCurSel(int index);
    void resetContent();
    void loadSkinBitmap();
    void relayoutContents(bool rightToLeft);

    const QString& shownText() const { return title_; }
    bool isDropDownOpen() const;
    ListBox& listBox() { return *listBox_; }
    BitmapButton& spinButton() { return *spin_; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void moveEvent(QMoveEvent* event) override;

private:
    void spinPressed();
    void closeDropDown();
    void listBoxChanged(const Notification& notification);
    void placeControls();

    NotificationCenter& notifications_;
    NotificationCenter::Token listToken_ = 0;
    QString identity_;
    QString owner_;
    QString title_;
    QPixmap background_;
    BitmapButton* spin_;
    ListBox* listBox_;
    bool rightToLeft_ = false;
};
