#include "platform/MpvVideoWidget.h"

#include "platform/MpvMoviePlayer.h"

#include <mpv/client.h>
#include <mpv/render_gl.h>

#include <QMetaObject>
#include <QOpenGLContext>
#include <QOpenGLFunctions>

namespace {

void* procAddress(void*, const char* name) {
    QOpenGLContext* context = QOpenGLContext::currentContext();
    return context ? reinterpret_cast<void*>(context->getProcAddress(QByteArray(name))) : nullptr;
}

}  // namespace

MpvVideoWidget::MpvVideoWidget(QWidget* parent) : QOpenGLWidget(parent) {}

MpvVideoWidget::~MpvVideoWidget() { setPlayer(nullptr); }

void MpvVideoWidget::setPlayer(MpvMoviePlayer* player) {
    if (player == player_) return;
    if (player_) {
        player_->removeShutdownHook(shutdownHook_);
        makeCurrent();
        freeRenderContext();
        doneCurrent();
    }
    player_ = player;
    if (player_) {
        // The render context must be gone before the player's handle is.
        shutdownHook_ = player_->addShutdownHook([this] {
            makeCurrent();
            freeRenderContext();
            doneCurrent();
            player_ = nullptr;
            update();
        });
        applyFillColor();
        if (context()) {
            makeCurrent();
            createRenderContext();
            doneCurrent();
        }
    }
    update();
}

void MpvVideoWidget::setFillColor(const QColor& color) {
    fill_ = color;
    applyFillColor();
    update();
}

void MpvVideoWidget::applyFillColor() {
    if (!player_ || !player_->handle()) return;
    // mpv fills around the picture with its background colour.
    const QByteArray name = fill_.name(QColor::HexRgb).toLatin1();
    mpv_set_property_string(player_->handle(), "background", name.constData());
}

void MpvVideoWidget::initializeGL() { createRenderContext(); }

void MpvVideoWidget::createRenderContext() {
    if (render_ || !player_ || !player_->handle()) return;
    mpv_opengl_init_params gl{&procAddress, nullptr};
    mpv_render_param params[] = {
        {MPV_RENDER_PARAM_API_TYPE, const_cast<char*>(MPV_RENDER_API_TYPE_OPENGL)},
        {MPV_RENDER_PARAM_OPENGL_INIT_PARAMS, &gl},
        {MPV_RENDER_PARAM_INVALID, nullptr},
    };
    if (mpv_render_context_create(&render_, player_->handle(), params) < 0) {
        render_ = nullptr;
        return;
    }
    mpv_render_context_set_update_callback(render_, &MpvVideoWidget::renderUpdate, this);
}

void MpvVideoWidget::freeRenderContext() {
    if (!render_) return;
    // After this returns mpv calls renderUpdate no more.
    mpv_render_context_free(render_);
    render_ = nullptr;
}

void MpvVideoWidget::renderUpdate(void* self) {
    // Called on one of mpv's threads: only post. A post to a widget that is gone is dropped.
    auto* widget = static_cast<MpvVideoWidget*>(self);
    QMetaObject::invokeMethod(
        widget,
        [widget] {
            if (widget->render_ && (mpv_render_context_update(widget->render_) & MPV_RENDER_UPDATE_FRAME))
                widget->update();
        },
        Qt::QueuedConnection);
}

void MpvVideoWidget::paintGL() {
    if (!render_) {
        QOpenGLFunctions* gl = context()->functions();
        gl->glClearColor(float(fill_.redF()), float(fill_.greenF()), float(fill_.blueF()), 1.0f);
        gl->glClear(GL_COLOR_BUFFER_BIT);
        return;
    }
    const qreal ratio = devicePixelRatioF();
    mpv_opengl_fbo fbo{int(defaultFramebufferObject()), int(width() * ratio), int(height() * ratio), 0};
    int flip = 1;
    mpv_render_param params[] = {
        {MPV_RENDER_PARAM_OPENGL_FBO, &fbo},
        {MPV_RENDER_PARAM_FLIP_Y, &flip},
        {MPV_RENDER_PARAM_INVALID, nullptr},
    };
    mpv_render_context_render(render_, params);
    ++renders_;
}
