#pragma once
#include "platform/MpvRenderContext.h"
#include "platform/MpvVideoView.h"

#include <QColor>
#include <QImage>
#include <QWidget>

#include <cstdlib>
#include <memory>

// The software movie view: libmpv converts and scales each due picture straight into an image of
// the picture's size on screen, which the widget paints (an opaque widget: nothing beneath it is
// painted, and only the picture's rectangle is repainted for a new frame).
class MpvVideoWidget : public QWidget, public MpvVideoView {
public:
    explicit MpvVideoWidget(VideoFramePacer& pacer, QWidget* parent = nullptr);

    QWidget* widget() override { return this; }
    void setPlayer(MpvMoviePlayer* player) override { render_.setPlayer(player); }
    void setFillColor(const QColor& color) override;
    long renderCount() const override { return render_.renderCount(); }

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void present();
    // Renders the picture into `image_`, sized for the view as it is now; false when nothing shows.
    bool renderPicture();
    // Where the picture goes: the movie's display size fitted into the view, centred.
    QRect pictureRect() const;
    bool showsMovie() const;

    MpvRenderContext render_;
    std::unique_ptr<uchar, void (*)(void*)> pixels_{nullptr, &std::free};
    QImage image_;        // over pixels_, rows 64-byte aligned as libmpv's scalers like them
    QRect shownPicture_;  // where image_ belongs; empty while it holds nothing to show
    QColor fill_ = Qt::black;
};
