#pragma once
#include <QColor>
#include <QOpenGLWidget>

struct mpv_render_context;
class MpvMoviePlayer;

// Shows the picture of a player through libmpv's render API (the player is made with video
// output "libmpv"). Outside the picture, and with no player, the view shows its fill colour.
class MpvVideoWidget : public QOpenGLWidget {
    Q_OBJECT
public:
    explicit MpvVideoWidget(QWidget* parent = nullptr);
    ~MpvVideoWidget() override;

    // Null shows nothing. Either of the two may go first.
    void setPlayer(MpvMoviePlayer* player);
    MpvMoviePlayer* player() const { return player_; }
    void setFillColor(const QColor& color);
    QColor fillColor() const { return fill_; }
    // Pictures drawn by libmpv so far.
    long renderCount() const { return renders_; }

protected:
    void initializeGL() override;
    void paintGL() override;

private:
    static void renderUpdate(void* self);
    void createRenderContext();
    void freeRenderContext();
    void applyFillColor();

    MpvMoviePlayer* player_ = nullptr;
    int shutdownHook_ = 0;
    mpv_render_context* render_ = nullptr;
    QColor fill_ = Qt::black;
    long renders_ = 0;
};
