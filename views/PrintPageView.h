#pragma once
#include "outputs/PrintPage.h"

#include <QImage>
#include <QWidget>

class QPainter;
class QPrinter;

// What the printed page shows: the frames, the G-sensor graph, the camera choice and the texts.
struct PrintPageContent {
    QImage camera1;
    QImage camera2;  // null outside dual-camera playback
    QImage graph;
    int option = kPrintSingleCamera;
    PrintTexts texts;
    bool rightToLeft = false;
};

// A4 in points, the page used when the printer gives none.
inline constexpr QSize kPrintPagePoints(595, 842);

// Draws the page in page points (the painter's unit is one point) on a page of `points`.
void pmDrawPrintPage(QPainter& painter, QSize points, const PrintPageContent& content);
// Lays the page out on the printer's page (no margins) and prints it; false when the printer
// cannot be painted on (no such file, no printer).
bool pmPrintPage(QPrinter& printer, const PrintPageContent& content);

// The page drawn scaled into the widget, keeping the page's aspect.
class PrintPageView : public QWidget {
    Q_OBJECT
public:
    explicit PrintPageView(QWidget* parent = nullptr);
    void setContent(PrintPageContent content);
    const PrintPageContent& content() const { return content_; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    PrintPageContent content_;
};
