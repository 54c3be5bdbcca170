#include "views/PrintPageView.h"

#include <QPainter>
#include <QPrinter>

namespace {

QRect toQRect(const PrintRect& r) { return QRect(r.x, r.y, r.width, r.height); }

FrameSize frameSize(const QImage& image) { return {image.width(), image.height()}; }

}  // namespace

void pmDrawPrintPage(QPainter& painter, QSize points, const PrintPageContent& content) {
    const PrintLayout layout = pmPrintLayout(points.width(), points.height(), content.option,
                                             frameSize(content.camera1), frameSize(content.camera2));
    painter.save();
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.fillRect(QRect(QPoint(0, 0), points), Qt::white);
    auto drawImage = [&](const PrintRect& rect, const QImage& image) {
        if (!image.isNull()) painter.drawImage(toQRect(rect), image);
    };
    if (content.option == kPrintCamera2) {
        drawImage(layout.rectVideo, content.camera2);
    } else {
        drawImage(layout.rectVideo, content.camera1);
        if (content.option == kPrintBothCameras) drawImage(layout.rectVideo2, content.camera2);
    }
    drawImage(layout.rectGSensor, content.graph);

    // 12 points of the Helvetica-metric face; the painter's unit is the point.
    QFont font("Helvetica");
    font.setPixelSize(12);
    painter.setFont(font);
    painter.setPen(Qt::black);
    const PrintRect* rows[5] = {&layout.rectDirection, &layout.rectLongitude, &layout.rectLatitude,
                                &layout.rectAltitude, &layout.rectSpeed};
    const int align = Qt::AlignLeft | Qt::AlignVCenter;
    for (int i = 0; i < 5; ++i) {
        const QRect whole = toQRect(*rows[i]);
        const QRect half = toQRect(pmMakeHalfRect(*rows[i]));
        const QString caption = QString::fromStdString(content.texts.captions[i]);
        const QString value = QString::fromStdString(content.texts.values[i]);
        painter.drawText(content.rightToLeft ? half : whole, align, caption);
        painter.drawText(content.rightToLeft ? whole : half, align, value);
    }
    painter.drawText(toQRect(layout.rectDate), Qt::AlignRight | Qt::AlignTop, QString::fromStdString(content.texts.date));
    painter.restore();
}

bool pmPrintPage(QPrinter& printer, const PrintPageContent& content) {
    printer.setFullPage(true);
    const QSizeF paper = printer.pageLayout().fullRect(QPageLayout::Point).size();
    const QSize points = paper.isEmpty() ? kPrintPagePoints : paper.toSize();
    QPainter painter;
    if (!painter.begin(&printer)) return false;
    const double scale = double(printer.resolution()) / 72.0;
    painter.scale(scale, scale);
    pmDrawPrintPage(painter, points, content);
    return painter.end();
}

PrintPageView::PrintPageView(QWidget* parent) : QWidget(parent) {}

void PrintPageView::setContent(PrintPageContent content) {
    content_ = std::move(content);
    update();
}

void PrintPageView::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const double scale = std::min(double(width()) / kPrintPagePoints.width(), double(height()) / kPrintPagePoints.height());
    painter.translate((width() - kPrintPagePoints.width() * scale) / 2, (height() - kPrintPagePoints.height() * scale) / 2);
    painter.scale(scale, scale);
    pmDrawPrintPage(painter, kPrintPagePoints, content_);
}
