#include "platform/MpvVideoWidget.h"

#include "platform/MpvMoviePlayer.h"

#include <mpv/client.h>
#include <mpv/render.h>

#include <QPainter>
#include <QPaintEvent>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>

MpvVideoWidget::MpvVideoWidget(VideoFramePacer& pacer, QWidget* parent)
    : QWidget(parent),
      render_(pacer, {.create =
                          [](mpv_handle* handle, mpv_render_context** context) {
                              // The view fits the picture itself and has mpv fill the whole image
                              // (mpv's own fit can leave a black line where the sizes round).
                              mpv_set_property_string(handle, "keepaspect", "no");
                              mpv_render_param params[] = {
                                  {MPV_RENDER_PARAM_API_TYPE, const_cast<char*>(MPV_RENDER_API_TYPE_SW)},
                                  {MPV_RENDER_PARAM_INVALID, nullptr}};
                              return mpv_render_context_create(context, handle, params) >= 0;
                          },
                      .aroundFree = [](const std::function<void()>& release) { release(); },
                      .present = [this] { present(); },
                      .changed =
                          [this] {
                              shownPicture_ = {};
                              update();
                          }}) {
    // Every pixel is painted here, so Qt paints nothing beneath the view.
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAttribute(Qt::WA_NoSystemBackground);
}

void MpvVideoWidget::setFillColor(const QColor& color) {
    fill_ = color;
    update();
}

bool MpvVideoWidget::showsMovie() const {
    return render_.isValid() && render_.player()->hasMovie() && isVisible();
}

QRect MpvVideoWidget::pictureRect() const {
    MpvMoviePlayer& player = *render_.player();
    MovieSize size = player.loadState() == kMovieLoadStatePlayable ? player.naturalSize() : MovieSize{};
    if (size.width <= 0 || size.height <= 0) {
        // The first frame comes before the player has the size: ask mpv.
        std::int64_t width = 0, height = 0;
        mpv_get_property(player.handle(), "dwidth", MPV_FORMAT_INT64, &width);
        mpv_get_property(player.handle(), "dheight", MPV_FORMAT_INT64, &height);
        size = {int(width), int(height)};
    }
    if (size.width <= 0 || size.height <= 0 || width() <= 0 || height() <= 0) return {};
    const double scale = std::min(double(width()) / size.width, double(height()) / size.height);
    const int pictureWidth = std::max(1, int(std::lround(size.width * scale)));
    const int pictureHeight = std::max(1, int(std::lround(size.height * scale)));
    return {(width() - pictureWidth) / 2, (height() - pictureHeight) / 2, pictureWidth, pictureHeight};
}

bool MpvVideoWidget::renderPicture() {
    const QRect picture = showsMovie() ? pictureRect() : QRect();
    if (picture.isEmpty()) {
        shownPicture_ = {};
        return false;
    }
    const qreal ratio = devicePixelRatioF();
    const QSize pixels(int(std::lround(picture.width() * ratio)), int(std::lround(picture.height() * ratio)));
    if (image_.size() != pixels) {
        const qsizetype stride = (qsizetype(pixels.width()) * 4 + 63) / 64 * 64;
        decltype(pixels_) fresh(static_cast<uchar*>(std::aligned_alloc(64, std::size_t(stride * pixels.height()))),
                                &std::free);
        if (!fresh) return false;
        image_ = QImage(fresh.get(), pixels.width(), pixels.height(), stride, QImage::Format_RGB32);
        image_.setDevicePixelRatio(ratio);
        pixels_ = std::move(fresh);
    }
    int size[2] = {image_.width(), image_.height()};
    std::size_t stride = std::size_t(image_.bytesPerLine());
    char format[] = "bgr0";  // QImage's RGB32 in memory order
    render_.render({{MPV_RENDER_PARAM_SW_SIZE, size},
                    {MPV_RENDER_PARAM_SW_FORMAT, format},
                    {MPV_RENDER_PARAM_SW_STRIDE, &stride},
                    {MPV_RENDER_PARAM_SW_POINTER, pixels_.get()}});
    shownPicture_ = picture;
    return true;
}

void MpvVideoWidget::present() {
    const QRect before = shownPicture_;
    if (!renderPicture()) {
        // mpv waits for every frame it hands over to be taken, shown or not.
        render_.skip();
        if (!before.isEmpty()) update();
        return;
    }
    // A new frame in the same place repaints only the picture.
    if (shownPicture_ == before) update(shownPicture_);
    else update();
}

void MpvVideoWidget::resizeEvent(QResizeEvent*) { shownPicture_ = {}; }

void MpvVideoWidget::paintEvent(QPaintEvent* event) {
    // After a resize (or a new player) the last picture is drawn again at the new size; a closed
    // movie leaves none.
    if (!showsMovie()) shownPicture_ = {};
    else if (shownPicture_.isEmpty()) renderPicture();
    QPainter painter(this);
    const QRegion bars = event->region().subtracted(shownPicture_);
    for (const QRect& bar : bars) painter.fillRect(bar, fill_);
    if (!shownPicture_.isEmpty()) painter.drawImage(shownPicture_, image_);
}
