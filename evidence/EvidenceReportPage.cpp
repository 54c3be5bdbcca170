#include "evidence/EvidenceReportPage.h"

#include "Utility/StringTables.h"
#include "telemetry/SampleText.h"

#include <QFile>
#include <QPainterPath>
#include <QPdfWriter>

#include <algorithm>
#include <cmath>

namespace {

constexpr double kMargin = 36.0;
constexpr double kContentWidth = kA4Width - 2 * kMargin;
const QColor kInk(20, 20, 20);
const QColor kMuted(100, 100, 100);
const QColor kRule(190, 190, 190);
const QColor kMomentColour(220, 20, 20);
const QColor kAxisColours[3] = {QColor(0xE0, 0x3C, 0x3C), QColor(0x2F, 0xA8, 0x4F), QColor(0x2F, 0x6F, 0xEB)};

QString text(const char* key) { return QString::fromStdString(pmGetString(key)); }
QString filled(const char* key, const std::vector<std::string>& arguments) {
    return QString::fromStdString(pmFillMessage(pmGetString(key), arguments));
}
QString q(const std::string& value) { return QString::fromStdString(value); }

class Page {
public:
    Page(QPainter& painter, const EvidenceReport& report)
        : p_(painter), r_(report), pointsPerFontPoint_(72.0 / std::max(1, painter.device()->logicalDpiY())) {}

    void draw(const std::vector<ClipStill>& stills) {
        header();
        originals();
        moment();
        frames(stills);
        graphs();
        footer();
    }

private:
    // Text fonts (the interface's language may need CJK glyphs) and a fixed-width one for digests,
    // sized in the painter's unit, the point, whatever the device's resolution.
    QFont sans(double points, bool bold = false) const {
        QFont font;
        font.setFamilies({QStringLiteral("Helvetica"), QStringLiteral("Noto Sans CJK TC")});
        font.setPointSizeF(points * pointsPerFontPoint_);
        font.setBold(bold);
        return font;
    }
    QFont mono(double points) const {
        QFont font;
        font.setFamilies({QStringLiteral("Nimbus Mono PS"), QStringLiteral("Noto Sans Mono CJK TC")});
        font.setStyleHint(QFont::Monospace);
        font.setPointSizeF(points * pointsPerFontPoint_);
        return font;
    }

    // A line of text at the current place; returns its height.
    double line(const QString& value, const QFont& font, const QColor& colour = kInk, double x = kMargin,
                double width = kContentWidth, int flags = Qt::AlignLeft | Qt::TextWordWrap) {
        p_.setFont(font);
        p_.setPen(colour);
        const QRectF area(x, y_, width, 400);
        const QRectF used = p_.boundingRect(area, flags, value);
        p_.drawText(area, flags, value);
        return used.height();
    }
    void section(const char* key) {
        y_ += 6;
        y_ += line(text(key), sans(9.5, true));
        p_.setPen(QPen(kRule, 0.5));
        p_.drawLine(QPointF(kMargin, y_ + 1), QPointF(kMargin + kContentWidth, y_ + 1));
        y_ += 4;
    }

    void header() {
        y_ = kMargin;
        y_ += line(text("IDS_EVIDENCE_REPORT_TITLE") + QStringLiteral(" \u2014 ") + q(r_.originals.front().name),
                   sans(15, true));
        y_ += 2;
        y_ += line(text("IDS_EVIDENCE_PACKAGED") + ": " + q(r_.packagedUtc) + "    " + text("IDS_EVIDENCE_TIME_ZONE") +
                       ": " + q(r_.timeZone),
                   sans(8), kMuted);
    }

    void originals() {
        section("IDS_EVIDENCE_ORIGINALS");
        const double columns[4] = {kMargin, kMargin + 150, kMargin + 300, kMargin + 410};
        const double widths[4] = {146, 146, 106, kContentWidth - 410};
        const char* headings[4] = {"IDS_EVIDENCE_FILE", "IDS_EVIDENCE_STORED_TIME", "IDS_EVIDENCE_SHOWN_TIME",
                                   "IDS_EVIDENCE_LENGTH"};
        double height = 0;
        for (int i = 0; i < 4; ++i)
            height = std::max(height, line(text(headings[i]), sans(7, true), kMuted, columns[i], widths[i]));
        y_ += height + 2;
        for (const EvidenceOriginal& original : r_.originals) {
            const QString size = original.length >= 0 ? q(pmLengthText(original.length))
                                                      : QString::number(qulonglong(original.size)) + " B";
            const QString values[4] = {q(original.name), q(original.storedTime), q(original.shownTime), size};
            height = 0;
            for (int i = 0; i < 4; ++i)
                height = std::max(height, line(values[i], sans(7.5, i == 0), kInk, columns[i], widths[i],
                                               Qt::AlignLeft | Qt::TextWrapAnywhere));
            y_ += height;
            y_ += line("SHA-256  " + q(original.sha256), mono(7.5), kInk, kMargin + 8, kContentWidth - 8) + 3;
        }
    }

    void moment() {
        section("IDS_EVIDENCE_MOMENT");
        static constexpr const char* kSourceKeys[] = {"IDS_EVIDENCE_MOMENT_GIVEN", "IDS_EVIDENCE_MOMENT_EVENT",
                                                      "IDS_EVIDENCE_MOMENT_PEAK", "IDS_EVIDENCE_MOMENT_MIDDLE"};
        const EvidenceBandText& m = r_.momentText;
        y_ += line(filled("IDS_EVIDENCE_MOMENT_LINE",
                          {std::to_string(r_.moment.second), pmLengthText(r_.length),
                           pmGetString(kSourceKeys[int(r_.moment.source)])}) +
                       "    " + q(m.dateTime),
                   sans(9, true));
        y_ += line(text("IDS_SPEED") + ": " + q(m.speed) + "    " + text("IDS_DIRECTION") + ": " + q(m.heading) +
                       "    " + text("IDS_LATITUDE") + ": " + q(m.latitude) + "    " + text("IDS_LONGITUDE") + ": " +
                       q(m.longitude) + "    G: " + q(m.g[0]) + " / " + q(m.g[1]) + " / " + q(m.g[2]),
                   sans(8));
        if (r_.peakSecond >= 0)
            y_ += line(filled("IDS_EVIDENCE_PEAK", {QString::number(r_.peakValue, 'f', 3).toStdString(),
                                                    std::to_string(r_.peakSecond)}),
                       sans(8));
        y_ += line(filled("IDS_EVIDENCE_CLIP", {pmLengthText(r_.span.start), pmLengthText(r_.span.end)}), sans(8));
        const char* timeKey = !r_.telemetry ? "IDS_EVIDENCE_NO_TELEMETRY"
                              : r_.clockSource == EvidenceClock::Source::GpsTime ? "IDS_EVIDENCE_TIME_GPS"
                                                                                 : "IDS_EVIDENCE_TIME_FILE";
        y_ += line(text(timeKey), sans(8), kMuted);
    }

    void frames(const std::vector<ClipStill>& stills) {
        section("IDS_EVIDENCE_FRAMES");
        const double gap = 8, width = (kContentWidth - 2 * gap) / 3, height = width * 9 / 16;
        const int rows = r_.pair ? 2 : 1;
        for (std::size_t column = 0; column < 3; ++column) {
            const double x = kMargin + double(column) * (width + gap);
            const ClipStill* still = column < stills.size() ? &stills[column] : nullptr;
            QString caption = still ? filled("IDS_EVIDENCE_SECOND", {std::to_string(still->second)}) : QString("-");
            line(caption, sans(7.5, still && still->second == r_.moment.second),
                 still && still->second == r_.moment.second ? kMomentColour : kInk, x, width);
            for (int row = 0; row < rows; ++row) {
                const QRectF box(x, y_ + 11 + row * (height + 4), width, height);
                p_.fillRect(box, QColor(40, 40, 40));
                const QImage& image = !still ? QImage() : row == 0 ? still->front : still->rear;
                if (!image.isNull()) {
                    const QSizeF size = QSizeF(image.size()).scaled(box.size(), Qt::KeepAspectRatio);
                    p_.drawImage(QRectF(box.center() - QPointF(size.width() / 2, size.height() / 2), size), image);
                }
                p_.setFont(sans(6.5, true));
                p_.setPen(Qt::white);
                p_.drawText(box.adjusted(3, 2, -3, -2), Qt::AlignLeft | Qt::AlignBottom,
                            text(row == 0 ? "IDS_EVIDENCE_FRONT" : "IDS_EVIDENCE_REAR"));
            }
        }
        y_ += 11 + rows * (height + 4);
    }

    // Frame of a plot with its title; the area inside comes back.
    QRectF plotFrame(const QRectF& area, const QString& title) {
        p_.setFont(sans(7.5, true));
        p_.setPen(kInk);
        p_.drawText(QRectF(area.left(), area.top(), area.width(), 11), Qt::AlignLeft, title);
        const QRectF inside = area.adjusted(0, 12, 0, 0);
        p_.setPen(QPen(kRule, 0.5));
        p_.setBrush(Qt::NoBrush);
        p_.drawRect(inside);
        return inside;
    }
    void noData(const QRectF& area, const char* key) {
        p_.setFont(sans(8));
        p_.setPen(kMuted);
        p_.drawText(area, Qt::AlignCenter | Qt::TextWordWrap, text(key));
    }
    void momentLine(const QRectF& area, int count) {
        if (count <= 0) return;
        const double x = area.left() + area.width() * (r_.moment.second + 0.5) / count;
        p_.setPen(QPen(kMomentColour, 0.8));
        p_.drawLine(QPointF(x, area.top()), QPointF(x, area.bottom()));
    }

    void graphs() {
        section("IDS_EVIDENCE_TELEMETRY");
        const double top = y_, plotWidth = 300;
        const GpsList empty;
        const GpsList& track = r_.track ? *r_.track : empty;
        const auto& samples = track.gpslist();
        const int count = std::max<int>(int(samples.size()), int(std::ceil(r_.length)));

        const QRectF g = plotFrame(QRectF(kMargin, top, plotWidth, 92), text("IDS_EVIDENCE_GSENSOR"));
        if (!track.IsGSensorReady() || samples.empty()) {
            noData(g, "IDS_ERR_NO_GSENSOR_DATA");
        } else {
            const double range = std::max({0.5, double(std::fabs(track.GetMaxGValue())), double(std::fabs(track.GetMinGValue()))});
            p_.setPen(QPen(kRule, 0.4, Qt::DashLine));
            p_.drawLine(QPointF(g.left(), g.center().y()), QPointF(g.right(), g.center().y()));
            for (int axis = 0; axis < 3; ++axis) {
                QPainterPath path;
                for (std::size_t i = 0; i < samples.size(); ++i) {
                    const GpsData& s = samples[i];
                    const double value = axis == 0 ? s.fGSensorX() : axis == 1 ? s.fGSensorY() : s.fGSensorZ();
                    const QPointF point(g.left() + g.width() * (double(i) + 0.5) / count,
                                        g.center().y() - value / range * (g.height() / 2 - 2));
                    if (i == 0) path.moveTo(point);
                    else path.lineTo(point);
                }
                p_.setPen(QPen(kAxisColours[axis], 0.7));
                p_.drawPath(path);
            }
            p_.setFont(sans(6));
            const QRectF legend = g.adjusted(2, 1, -2, -1);
            static constexpr const char* kAxisNames[3] = {"X", "Y", "Z"};
            for (int axis = 0; axis < 3; ++axis) {
                p_.setPen(kAxisColours[axis]);
                p_.drawText(legend.adjusted(0, 0, -8.0 * (2 - axis), 0), Qt::AlignTop | Qt::AlignRight, kAxisNames[axis]);
            }
            p_.setPen(kMuted);
            p_.drawText(legend.adjusted(0, 0, -30, 0), Qt::AlignTop | Qt::AlignRight,
                        QStringLiteral("\u00B1%1 g").arg(range, 0, 'f', 2));
            momentLine(g, count);
        }

        const QRectF s = plotFrame(QRectF(kMargin, top + 100, plotWidth, 84),
                                   text("IDS_EVIDENCE_SPEED") + " (" + q(pmGetSpeedUnitString(r_.speedUnit)) + ")");
        if (!track.IsGPSReady() || samples.empty()) {
            noData(s, "IDS_ERR_NO_GPS_DATA");
        } else {
            double highest = 10;
            for (const GpsData& sample : samples)
                highest = std::max(highest, double(pmGetSpeedInUnit(sample.fSpeed(), r_.speedUnit)));
            QPainterPath path;
            bool drawing = false;
            for (std::size_t i = 0; i < samples.size(); ++i) {
                const float speed = samples[i].fSpeed();
                if (speed < 0) {
                    drawing = false;
                    continue;
                }
                const QPointF point(s.left() + s.width() * (double(i) + 0.5) / count,
                                    s.bottom() - pmGetSpeedInUnit(speed, r_.speedUnit) / highest * (s.height() - 4));
                if (drawing) path.lineTo(point);
                else path.moveTo(point);
                drawing = true;
            }
            p_.setPen(QPen(kInk, 0.8));
            p_.drawPath(path);
            p_.setFont(sans(6));
            p_.setPen(kMuted);
            p_.drawText(s.adjusted(2, 1, -2, -1), Qt::AlignTop | Qt::AlignRight, QString::number(int(std::ceil(highest))));
            momentLine(s, count);
        }

        trackPlot(plotFrame(QRectF(kMargin + plotWidth + 12, top, kContentWidth - plotWidth - 12, 184), text("IDS_EVIDENCE_TRACK")),
                  track);
        y_ = top + 190;
    }

    void trackPlot(const QRectF& area, const GpsList& track) {
        std::vector<std::pair<double, double>> points;  // longitude, latitude
        for (const GpsData& sample : track.gpslist())
            if (pmHasShownPosition(sample)) points.emplace_back(sample.fLongitude(), sample.fLatitude());
        if (points.empty()) {
            noData(area, "IDS_ERR_NO_GPS_DATA");
            return;
        }
        double west = points[0].first, east = west, south = points[0].second, north = south;
        for (const auto& [lon, lat] : points) {
            west = std::min(west, lon);
            east = std::max(east, lon);
            south = std::min(south, lat);
            north = std::max(north, lat);
        }
        // Equirectangular with the middle latitude's scale, fitted into the frame with a margin.
        const double stretch = std::cos((south + north) / 2 * M_PI / 180.0);
        const double spanX = std::max((east - west) * stretch, 1e-5), spanY = std::max(north - south, 1e-5);
        const QRectF inner = area.adjusted(10, 10, -10, -10);
        const double scale = std::min(inner.width() / spanX, inner.height() / spanY);
        const QPointF centre = inner.center();
        auto at = [&](double lon, double lat) {
            return QPointF(centre.x() + ((lon - (west + east) / 2) * stretch) * scale,
                           centre.y() - (lat - (south + north) / 2) * scale);
        };
        QPainterPath path;
        for (std::size_t i = 0; i < points.size(); ++i)
            i == 0 ? path.moveTo(at(points[i].first, points[i].second)) : path.lineTo(at(points[i].first, points[i].second));
        p_.setPen(QPen(QColor(47, 111, 235), 1.2));
        p_.drawPath(path);
        p_.setPen(Qt::NoPen);
        p_.setBrush(QColor(47, 168, 79));
        p_.drawEllipse(at(points.front().first, points.front().second), 2.5, 2.5);
        if (const GpsData* sample = track.GetGpsData(r_.moment.second); sample && pmHasShownPosition(*sample)) {
            const QPointF point = at(sample->fLongitude(), sample->fLatitude());
            p_.setBrush(kMomentColour);
            p_.drawEllipse(point, 3.5, 3.5);
            p_.setPen(QPen(kMomentColour, 0.8));
            p_.setBrush(Qt::NoBrush);
            p_.drawEllipse(point, 6.5, 6.5);
        }
        p_.setFont(sans(7, true));
        p_.setPen(kMuted);
        p_.drawText(area.adjusted(4, 2, -4, -2), Qt::AlignTop | Qt::AlignLeft, QStringLiteral("N \u2191"));
    }

    void footer() {
        section("IDS_EVIDENCE_PROGRAM");
        y_ += line(QStringLiteral("Cartena Manager ") + q(r_.version), sans(8));
        y_ += line(text("IDS_EVIDENCE_COMMAND") + ": ", sans(8, true));
        y_ += line(q(r_.commandLine), mono(7), kInk, kMargin + 8, kContentWidth - 8,
                   Qt::AlignLeft | Qt::TextWrapAnywhere);
        y_ += 4;
        line(text("IDS_EVIDENCE_DERIVED"), sans(8, true));
    }

    QPainter& p_;
    const EvidenceReport& r_;
    const double pointsPerFontPoint_;
    double y_ = kMargin;
};

}  // namespace

void pmPaintEvidenceReport(QPainter& painter, const EvidenceReport& report, const std::vector<ClipStill>& stills) {
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);
    painter.fillRect(QRectF(0, 0, kA4Width, kA4Height), Qt::white);
    if (report.originals.empty()) return;
    Page(painter, report).draw(stills);
}

bool pmWriteEvidenceReportPdf(const EvidenceReport& report, const std::vector<ClipStill>& stills,
                              const std::string& path, std::string& error) {
    {
        QPdfWriter writer(QString::fromStdString(path));
        writer.setPageSize(QPageSize(QPageSize::A4));
        writer.setPageMargins(QMarginsF(0, 0, 0, 0));
        writer.setResolution(288);
        writer.setTitle(QString::fromStdString(pmGetString("IDS_EVIDENCE_REPORT_TITLE")));
        writer.setCreator(QStringLiteral("Cartena Manager ") + QString::fromStdString(report.version));
        QPainter painter;
        if (!painter.begin(&writer)) {
            error = "the PDF file could not be created";
            return false;
        }
        // Points: the writer's 288 dots per inch are four dots per point.
        painter.scale(writer.resolution() / 72.0, writer.resolution() / 72.0);
        pmPaintEvidenceReport(painter, report, stills);
        if (!painter.end()) {
            error = "the PDF file could not be written";
            return false;
        }
    }
    if (QFile(QString::fromStdString(path)).size() <= 0) {
        error = "the PDF file could not be written";
        return false;
    }
    return true;
}
