#include "platform/MpvGlVideoWidget.h"

#include "platform/MpvMoviePlayer.h"

#include <mpv/client.h>
#include <mpv/render_gl.h>

#include <QOpenGLContext>
#include <QOpenGLFunctions>

namespace {

void* procAddress(void*, const char* name) {
    QOpenGLContext* context = QOpenGLContext::currentContext();
    return context ? reinterpret_cast<void*>(context->getProcAddress(QByteArray(name))) : nullptr;
}

}  // namespace

MpvGlVideoWidget::MpvGlVideoWidget(VideoFramePacer& pacer, QWidget* parent)
    : QOpenGLWidget(parent),
      render_(pacer, {.create =
                          [this](mpv_handle* handle, mpv_render_context** context) {
                              if (!this->context()) return false;
                              // initializeGL runs with the context current; setPlayer may not.
                              const bool current = QOpenGLContext::currentContext() == this->context();
                              if (!current) makeCurrent();
                              mpv_opengl_init_params gl{&procAddress, nullptr};
                              mpv_render_param params[] = {
                                  {MPV_RENDER_PARAM_API_TYPE, const_cast<char*>(MPV_RENDER_API_TYPE_OPENGL)},
                                  {MPV_RENDER_PARAM_OPENGL_INIT_PARAMS, &gl},
                                  {MPV_RENDER_PARAM_INVALID, nullptr}};
                              const bool made = mpv_render_context_create(context, handle, params) >= 0;
                              if (!current) doneCurrent();
                              return made;
                          },
                      .aroundFree =
                          [this](const std::function<void()>& release) {
                              makeCurrent();
                              release();
                              doneCurrent();
                          },
                      .present = [this] { update(); },
                      .changed = [this] { update(); }}) {}

// The render context goes while the OpenGL context it was made in still exists.
MpvGlVideoWidget::~MpvGlVideoWidget() { render_.setPlayer(nullptr); }

void MpvGlVideoWidget::setPlayer(MpvMoviePlayer* player) {
    render_.setPlayer(player);
    applyFillColor();
}

void MpvGlVideoWidget::setFillColor(const QColor& color) {
    fill_ = color;
    applyFillColor();
    update();
}

void MpvGlVideoWidget::applyFillColor() {
    MpvMoviePlayer* player = render_.player();
    if (!player || !player->handle()) return;
    // mpv fills around the picture with its background colour.
    const QByteArray name = fill_.name(QColor::HexRgb).toLatin1();
    mpv_set_property_string(player->handle(), "background", name.constData());
}

void MpvGlVideoWidget::initializeGL() { render_.create(); }

void MpvGlVideoWidget::paintGL() {
    if (!render_.isValid()) {
        QOpenGLFunctions* gl = context()->functions();
        gl->glClearColor(float(fill_.redF()), float(fill_.greenF()), float(fill_.blueF()), 1.0f);
        gl->glClear(GL_COLOR_BUFFER_BIT);
        return;
    }
    const qreal ratio = devicePixelRatioF();
    mpv_opengl_fbo fbo{int(defaultFramebufferObject()), int(width() * ratio), int(height() * ratio), 0};
    int flip = 1;
    render_.render({{MPV_RENDER_PARAM_OPENGL_FBO, &fbo}, {MPV_RENDER_PARAM_FLIP_Y, &flip}});
}
