#pragma once
#include <QAbstractButton>
#include <QColor>
#include <QPixmap>
#include <QStringList>

#include <array>
#include <vector>

// Buttons drawn from skin images instead of the toolkit's look. Each look is a family of four
// images: normal, pressed ("_d"), pointer over ("_f") and disabled ("_g"). The image shown
// follows the button's state: disabled wins (also under the pointer), then pressed, then pointer
// over; a checked button shows its pressed image as its normal look. A click reaches the owner
// through `clicked`, as for any toolkit button; buttons never take the keyboard focus.
class SkinnedButton : public QAbstractButton {
    Q_OBJECT
public:
    enum Image { kNormal = 0, kPressed = 1, kRollover = 2, kDisabled = 3 };
    struct ImageNames {
        QString normal, pressed, rollover, disabled;
    };
    // The four names of a family: "button_next" gives "button_next.png", "_d", "_f" and "_g". A
    // family without a disabled image names its normal one again.
    static ImageNames family(const QString& stem, bool hasDisabledImage = true);

    // Reloads every look's images for the current skin.
    void loadSkinBitmap();
    // Mirrors every image left to right (right-to-left layouts); a change reloads the images.
    void setButtonFlipped(bool flipped);

    // The title drawn over the images (the button's text).
    void setBitmapTitle(const QString& title);
    QString bitmapTitle() const { return text(); }
    void setFontSize(int pixels);
    void setTitleColor(const QColor& color);
    const QColor& titleColor() const { return titleColor_; }

    // Which image the button shows now.
    Image shownImage() const;
    const QPixmap& shownPixmap() const;

protected:
    explicit SkinnedButton(QWidget* parent);

    struct Look {
        ImageNames names;
        std::array<QPixmap, 4> images;
        QString toolTip;
    };
    void loadLook(Look& look) const;
    Look& currentLook() { return looks_[current_]; }
    const Look& currentLook() const { return looks_[current_]; }

    std::vector<Look> looks_;
    std::size_t current_ = 0;
    bool showsPressedAsNormal_ = false;

    void paintEvent(QPaintEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;

private:
    bool hover_ = false;
    bool flipped_ = false;
    int fontSize_ = 14;
    QColor titleColor_ = Qt::white;
};

// A push button with one look and an optional title, centred in the button.
class BitmapButton : public SkinnedButton {
    Q_OBJECT
public:
    explicit BitmapButton(QWidget* parent = nullptr);
    void setBitmapButton(const ImageNames& names);
    // A checked button shows its pressed image as its normal look.
    void checkButton(bool checked);
    bool isButtonChecked() const { return showsPressedAsNormal_; }
};

// A button with up to five looks, each with its own images and tool tip; the owner moves it from
// look to look (play and pause, the speeds, mute).
class MultiButtons : public SkinnedButton {
    Q_OBJECT
public:
    static constexpr int kMaxLooks = 5;
    explicit MultiButtons(QWidget* parent = nullptr);

    // Ignored once five looks exist.
    void addBitmapButton(const QString& toolTip, const ImageNames& names);
    void clearBitmaps();
    int buttonCount() const { return static_cast<int>(looks_.size()); }
    // With two looks or more: the next look, the first after the last.
    void changeButtonIndex();
    // Ignored with fewer than two looks or an index that is not a look.
    void setButtonIndex(int index);
    int getCurButtonIndex() const { return static_cast<int>(current_); }
    // Back to the first look.
    void resetButtonState();
    // Replaces the tool tip of each look given a text (a null text leaves that look's).
    void changeToolTips(const QStringList& toolTips);
    QString toolTipOfLook(int index) const;

private:
    void showLook(std::size_t index);
};
