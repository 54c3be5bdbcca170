#pragma once
#include "platform/MpvRenderContext.h"
#include "platform/MpvVideoView.h"

#include <QColor>
#include <QOpenGLWidget>

// The OpenGL movie view: libmpv draws each due picture with OpenGL into the widget's framebuffer,
// filling around it with the view's colour. Its render context is made once the widget's OpenGL
// context exists (when it is first shown).
class MpvGlVideoWidget : public QOpenGLWidget, public MpvVideoView {
public:
    explicit MpvGlVideoWidget(VideoFramePacer& pacer, QWidget* parent = nullptr);
    ~MpvGlVideoWidget() override;

    QWidget* widget() override { return this; }
    void setPlayer(MpvMoviePlayer* player) override;
    void setFillColor(const QColor& color) override;
    long renderCount() const override { return render_.renderCount(); }

protected:
    void initializeGL() override;
    void paintGL() override;

private:
    void applyFillColor();

    MpvRenderContext render_;
    QColor fill_ = Qt::black;
};
