#include "platform/MpvVideoView.h"

#include "platform/MpvGlVideoWidget.h"
#include "platform/MpvVideoWidget.h"

#include <QGuiApplication>
#include <QOffscreenSurface>
#include <QOpenGLContext>
#include <QOpenGLFunctions>
#include <QtGui/qguiapplication_platform.h>

#include <xcb/xcb.h>

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <cstring>

namespace {

bool hasXExtension(xcb_connection_t* connection, const char* name) {
    const auto cookie = xcb_query_extension(connection, std::uint16_t(std::strlen(name)), name);
    xcb_query_extension_reply_t* reply = xcb_query_extension_reply(connection, cookie, nullptr);
    const bool present = reply && reply->present;
    std::free(reply);
    return present;
}

// The renderer of a fresh OpenGL context; empty when none can be made.
std::string openGlRenderer() {
    QOffscreenSurface surface;
    surface.create();
    QOpenGLContext context;
    if (!context.create() || !context.makeCurrent(&surface)) return {};
    const auto* name = reinterpret_cast<const char*>(context.functions()->glGetString(GL_RENDERER));
    std::string renderer = name ? name : "";
    context.doneCurrent();
    return renderer;
}

}  // namespace

bool isSoftwareRenderer(const std::string& renderer) {
    std::string lower = renderer;
    std::transform(lower.begin(), lower.end(), lower.begin(), [](unsigned char c) { return char(std::tolower(c)); });
    for (const char* software : {"llvmpipe", "softpipe", "swrast", "software rasterizer", "lavapipe", "swiftshader"})
        if (lower.find(software) != std::string::npos) return true;
    return false;
}

VideoRenderChoice chooseVideoRenderPath() {
    if (const char* wanted = std::getenv("CARTENA_VIDEO_RENDER")) {
        if (std::strcmp(wanted, "software") == 0) return {VideoRenderPath::Software, "asked for (CARTENA_VIDEO_RENDER)"};
        if (std::strcmp(wanted, "opengl") == 0) return {VideoRenderPath::OpenGL, "asked for (CARTENA_VIDEO_RENDER)"};
    }
    // Without direct rendering every OpenGL call would go through the processor (or the X server).
    if (auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>()) {
        xcb_connection_t* connection = x11->connection();
        if (connection && !hasXExtension(connection, "DRI3") && !hasXExtension(connection, "DRI2"))
            return {VideoRenderPath::Software, "the X display has no direct rendering"};
    }
    const std::string renderer = openGlRenderer();
    if (renderer.empty()) return {VideoRenderPath::Software, "no OpenGL context"};
    if (isSoftwareRenderer(renderer)) return {VideoRenderPath::Software, "OpenGL is drawn in software: " + renderer};
    return {VideoRenderPath::OpenGL, "OpenGL renderer: " + renderer};
}

MpvVideoView* createMpvVideoView(VideoRenderPath path, VideoFramePacer& pacer, QWidget* parent) {
    if (path == VideoRenderPath::OpenGL) return new MpvGlVideoWidget(pacer, parent);
    return new MpvVideoWidget(pacer, parent);
}
