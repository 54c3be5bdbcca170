#pragma once
#include <QPixmap>
#include <QWidget>

#include <array>

class BitmapButton;
class MapViewModel;

// The map view's dashboard mode, drawn from the skin: the speed in LED digits in the chosen unit,
// the heading, the altitude and the coordinates of the sample the map view holds, on the
// dashboard picture centred along the bottom of the view. It draws from the map view's state and
// owns none.
class DashboardPanel : public QWidget {
    Q_OBJECT
public:
    DashboardPanel(const MapViewModel& model, QWidget* parent);

    // The dashboard's speed-unit button; its owner opens the unit menu.
    BitmapButton& unitButton() { return *unitButton_; }
    // Its title and tool tip again (the unit or the language changed).
    void refreshTexts();
    // The skin's pictures again (the skin changed).
    void loadSkinBitmap();
    // The dashboard's place in the panel: the size of its picture, centred, at the bottom.
    QRect dashboardRect() const;

    // The texts on show, as drawn.
    int shownSpeed() const;
    QString headingText() const;
    QString altitudeText() const;
    QString latitudeText() const;
    QString longitudeText() const;
    // The digits the three LED cells show (hundreds, tens, units), -1 for a dark cell.
    std::array<int, 3> ledDigits() const;

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    QString coordinateText(bool latitude) const;

    const MapViewModel& model_;
    BitmapButton* unitButton_;
    QPixmap panelImage_;
    std::array<QPixmap, 10> digitImages_;
};
