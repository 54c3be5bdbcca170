#pragma once
#include <QObject>

#include <functional>
#include <vector>

struct mpv_handle;
struct mpv_render_context;
struct mpv_render_param;
class MpvMoviePlayer;
class VideoFramePacer;

// The libmpv render context of one movie view on its player. It is made when the view has a player
// (and, for OpenGL, a current context), freed before the player's handle goes, and asks the pacer
// to present each new picture at the time mpv gives for it. Rendering never waits for that time:
// the pacer calls when it has come.
class MpvRenderContext {
public:
    struct Callbacks {
        // Makes the context on the handle; false when the view cannot yet (OpenGL before its
        // context exists) or libmpv refuses.
        std::function<bool(mpv_handle* handle, mpv_render_context** context)> create;
        // Runs `release` with what freeing the context needs around it (OpenGL: the view's context
        // current).
        std::function<void(const std::function<void()>& release)> aroundFree;
        // A picture is due: render it now (the view's own way) and repaint.
        std::function<void()> present;
        // The player changed or went away: repaint.
        std::function<void()> changed;
    };

    MpvRenderContext(VideoFramePacer& pacer, Callbacks callbacks);
    ~MpvRenderContext();
    MpvRenderContext(const MpvRenderContext&) = delete;
    MpvRenderContext& operator=(const MpvRenderContext&) = delete;

    // Null shows nothing. Either of view and player may go first.
    void setPlayer(MpvMoviePlayer* player);
    MpvMoviePlayer* player() const { return player_; }
    // Makes the context if there is a player and none yet.
    void create();
    bool isValid() const { return context_ != nullptr; }

    // Draws the picture due (or the last one again) into the target that `params` describe.
    void render(std::vector<mpv_render_param> params);
    // Takes the picture due without drawing it (a view that is not shown).
    void skip();
    long renderCount() const { return renders_; }

private:
    static void updateFromMpv(void* self);
    void takeUpdate();
    void renderWith(std::vector<mpv_render_param> params);
    void free();

    VideoFramePacer& pacer_;
    Callbacks callbacks_;
    QObject updates_;  // updates queued from mpv's threads die with it
    MpvMoviePlayer* player_ = nullptr;
    int shutdownHook_ = 0;
    mpv_render_context* context_ = nullptr;
    long renders_ = 0;
};
