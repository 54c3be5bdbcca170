#pragma once
#include "Utility/ServicesConfig.h"
#include "app/MapViewModel.h"

#include <QPixmap>
#include <QWidget>

#include <memory>

class Connectivity;
class DashboardPanel;
class NotificationCenter;
class BitmapButton;
class QAbstractButton;
class QWebEngineProfile;
class QWebEngineView;
class QtWebPage;

// The panel that shows where the car is: the dashboard, or the web map with an info bar along its
// bottom (heading, coordinates, altitude, speed) and its buttons. The web view is made on the
// first entry into map mode, never at start. What shows when is decided by its MapViewModel,
// which is also the controller's map panel.
class MapView : public QWidget, private MapViewHost {
    Q_OBJECT
public:
    explicit MapView(NotificationCenter& notifications, QWidget* parent = nullptr);
    ~MapView() override;

    MapViewModel& model() { return model_; }
    // The connectivity check and the map's addresses; until then the view is never connected.
    void configure(Connectivity* connectivity, const MapServices& services);
    // The full-map button, pressed as by the user (keyboard shortcuts).
    void pressFullMap();
    void changeLanguage() override;

    DashboardPanel& dashboard() { return *dashboard_; }
    // The page in the web view; none before the first entry into map mode.
    QtWebPage* webPage() { return page_.get(); }
    QWebEngineView* webView() { return webView_; }
    // The info bar's texts, as drawn.
    QString infoBarLocationText() const;
    QString infoBarSpeedText() const;

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    // MapViewHost
    WebPage& createWebPage() override;
    void showChildren(const MapChildren& children) override;
    void redraw() override;
    void loadSkinBitmap() override;

    BitmapButton* makeButton(const char* name, QSize size);
    void layoutChildren();
    void showUnitMenu(QAbstractButton& button, QPoint at);
    void paintInfoBar(QPainter& painter);
    void paintPicture(QPainter& painter);

    MapViewModel model_;
    MapServices services_;
    DashboardPanel* dashboard_;
    BitmapButton* fullMapButton_;
    BitmapButton* infoBarUnitButton_;
    BitmapButton* dashboardButton_;
    BitmapButton* mapButton_;
    QPixmap barImage_, barSliceImage_, noGpsImage_, disabledImage_;
    QWebEngineProfile* profile_ = nullptr;
    QWebEngineView* webView_ = nullptr;
    std::unique_ptr<QtWebPage> page_;
};
