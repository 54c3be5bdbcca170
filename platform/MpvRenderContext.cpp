#include "platform/MpvRenderContext.h"

#include "platform/MpvMoviePlayer.h"
#include "platform/VideoFramePacer.h"

#include <mpv/client.h>
#include <mpv/render.h>

#include <QMetaObject>

MpvRenderContext::MpvRenderContext(VideoFramePacer& pacer, Callbacks callbacks)
    : pacer_(pacer), callbacks_(std::move(callbacks)) {}

MpvRenderContext::~MpvRenderContext() {
    // The view is going: nothing is repainted.
    if (player_) player_->removeShutdownHook(shutdownHook_);
    free();
}

void MpvRenderContext::setPlayer(MpvMoviePlayer* player) {
    if (player == player_) return;
    if (player_) {
        player_->removeShutdownHook(shutdownHook_);
        free();
    }
    player_ = player;
    if (player_) {
        // The render context must be gone before the player's handle is.
        shutdownHook_ = player_->addShutdownHook([this] {
            free();
            player_ = nullptr;
            callbacks_.changed();
        });
        create();
    }
    callbacks_.changed();
}

void MpvRenderContext::create() {
    if (context_ || !player_ || !player_->handle()) return;
    if (!callbacks_.create(player_->handle(), &context_)) {
        context_ = nullptr;
        return;
    }
    mpv_render_context_set_update_callback(context_, &MpvRenderContext::updateFromMpv, this);
}

void MpvRenderContext::free() {
    pacer_.cancel(this);
    if (!context_) return;
    // After this returns mpv calls updateFromMpv no more.
    callbacks_.aroundFree([this] { mpv_render_context_free(context_); });
    context_ = nullptr;
}

void MpvRenderContext::updateFromMpv(void* self) {
    // Called on one of mpv's threads: only post.
    auto* render = static_cast<MpvRenderContext*>(self);
    QMetaObject::invokeMethod(&render->updates_, [render] { render->takeUpdate(); }, Qt::QueuedConnection);
}

void MpvRenderContext::takeUpdate() {
    if (!context_) return;
    auto due = VideoFramePacer::Clock::now();
    if (mpv_render_context_update(context_) & MPV_RENDER_UPDATE_FRAME) {
        mpv_render_frame_info next{};
        const mpv_render_param query{MPV_RENDER_PARAM_NEXT_FRAME_INFO, &next};
        // mpv hands a frame over some time before it is to be seen (its video-timing-offset); a
        // redraw is wanted at once.
        if (mpv_render_context_get_info(context_, query) >= 0 && (next.flags & MPV_RENDER_FRAME_INFO_PRESENT) &&
            !(next.flags & MPV_RENDER_FRAME_INFO_REDRAW) && next.target_time > 0)
            due += std::chrono::microseconds(next.target_time - mpv_get_time_us(player_->handle()));
    }
    // With no frame waiting, the picture is drawn again at once: mpv wants that when something
    // about the picture changed, and when it stopped waiting for us (the main thread was busy for
    // a fifth of a second) and made the frame it had handed over the current one without us.
    pacer_.schedule(this, due, callbacks_.present);
}

void MpvRenderContext::render(std::vector<mpv_render_param> params) {
    if (!context_) return;
    renderWith(std::move(params));
    ++renders_;
}

void MpvRenderContext::skip() {
    int skip = 1;
    if (context_) renderWith({{MPV_RENDER_PARAM_SKIP_RENDERING, &skip}});
}

void MpvRenderContext::renderWith(std::vector<mpv_render_param> params) {
    int block = 0;
    params.insert(params.begin(), {MPV_RENDER_PARAM_BLOCK_FOR_TARGET_TIME, &block});
    params.push_back({MPV_RENDER_PARAM_INVALID, nullptr});
    mpv_render_context_render(context_, params.data());
}
