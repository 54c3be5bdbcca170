#pragma once
#include <QWidget>

class MapViewModel;
class QToolButton;

// The map view's dashboard mode: the speed in LED digits in the chosen unit, the heading, the
// altitude and the coordinates of the sample the map view holds, on a panel of a fixed size
// centred along the bottom of the view. It draws from the map view's state and owns none.
class DashboardPanel : public QWidget {
    Q_OBJECT
public:
    // The panel's size, for which its pictures are made.
    static constexpr int kPanelWidth = 330;
    static constexpr int kPanelHeight = 205;

    DashboardPanel(const MapViewModel& model, QWidget* parent);

    // The dashboard's speed-unit button; its owner opens the unit menu.
    QToolButton& unitButton() { return *unitButton_; }
    // Its title and tool tip again (the unit or the language changed).
    void refreshTexts();

    // The texts on show, as drawn.
    int shownSpeed() const;
    QString headingText() const;
    QString altitudeText() const;
    QString latitudeText() const;
    QString longitudeText() const;
    // The panel's top-left corner in this widget.
    QPoint panelOrigin() const;

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    QString coordinateText(bool latitude) const;

    const MapViewModel& model_;
    QToolButton* unitButton_;
};
