#pragma once
#include "evidence/ClipEncoder.h"
#include "outputs/EvidenceReport.h"

#include <QPainter>

#include <string>
#include <vector>

// The report of an evidence package: one A4 page in the interface's language, drawn with Qt's
// painter. Its parts, top to bottom: the original files with their modification times (as stored
// and as shown) and SHA-256; the moment with speed, heading and position, the peak and the clip's
// span; frames of both cameras at the moment and one second either side; the G-sensor curves and
// the speed over the recording with the moment marked, beside a plot of the track (no map tiles);
// the time zone, the time of packaging, the program and the command; and what is derived.

inline constexpr double kA4Width = 595.0;  // points
inline constexpr double kA4Height = 842.0;

// Paints the page on a painter whose unit is the point, origin at the page's top left.
void pmPaintEvidenceReport(QPainter& painter, const EvidenceReport& report, const std::vector<ClipStill>& stills);

// Writes the page as a one-page PDF; false with a reason.
bool pmWriteEvidenceReportPdf(const EvidenceReport& report, const std::vector<ClipStill>& stills,
                              const std::string& path, std::string& error);
