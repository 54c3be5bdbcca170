#pragma once
#include "app/ControllerViews.h"

#include <QColor>
#include <QPointer>
#include <QWidget>

#include <functional>

// One movie view of the window: a filled frame (black when large, grey when small) that hosts
// the video widget of one player slot. The controller moves the frames (they are exchanged when
// the front and rear views swap) and says which slot the view shows.
class MovieViewFrame : public QWidget, public MovieView {
    Q_OBJECT
public:
    explicit MovieViewFrame(QWidget* parent = nullptr);

    using FillSetter = std::function<void(const QColor&)>;
    // The widget that draws the pictures of a player slot; the frame takes it as its child and
    // keeps it filling the frame. `setFill` gives the widget the frame's fill for the area
    // outside the picture. The widget stays shown while nothing plays (its player then holds no
    // movie and it shows the fill): libmpv draws only into a render context that existed when the
    // recording was opened, and the OpenGL view makes it when first shown.
    void hostVideoWidget(QWidget* video, int slot, FillSetter setFill = {});
    QWidget* videoWidget() const { return video_; }

    // MovieView
    void showPlayer(int slot) override;
    ViewFrame frame() const override;
    void setFrame(const ViewFrame& frame) override;
    void setFillGray(int level) override;
    void setHidden(bool hidden) override { QWidget::setHidden(hidden); }

    int shownSlot() const { return shownSlot_; }
    int fillGray() const { return fillGray_; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void placeVideo();
    // Whether the hosted widget shows when the view is asked for `slot` (-1: nothing plays).
    bool shows(int slot) const;

    QPointer<QWidget> video_;
    FillSetter setVideoFill_;
    int videoSlot_ = -1;
    int shownSlot_ = -1;
    int fillGray_ = 0;
};
