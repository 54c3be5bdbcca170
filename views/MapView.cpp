#include "views/MapView.h"

#include "platform/QtWebPage.h"
#include "telemetry/SampleText.h"
#include "views/DashboardPanel.h"
#include "views/SkinImages.h"
#include "views/SkinnedButtons.h"
#include "views/ViewStyle.h"

#include <QDesktopServices>
#include <QJsonDocument>
#include <QJsonObject>
#include <QMenu>
#include <QPainter>
#include <QWebEnginePage>
#include <QWebEngineProfile>
#include <QWebEngineScript>
#include <QWebEngineScriptCollection>
#include <QWebEngineView>

namespace {

constexpr int kInfoBarHeight = MapViewModel::kInfoBarHeight;
constexpr int kSpeedFontSize = 10;
constexpr int kUnitButtonX = 234;   // the info bar's speed-unit button
constexpr int kSpeedBoxWidth = 40;  // the speed, directly left of it
const QColor kPictureFill(55, 55, 55);
const QColor kNoGpsText(103, 103, 103);

// The map page stays the map: a link in it (the tile server's attribution) opens in the browser.
class MapPage : public QWebEnginePage {
public:
    using QWebEnginePage::QWebEnginePage;

protected:
    bool acceptNavigationRequest(const QUrl& url, NavigationType type, bool isMainFrame) override {
        if (type != NavigationTypeLinkClicked) return QWebEnginePage::acceptNavigationRequest(url, type, isMainFrame);
        QDesktopServices::openUrl(url);
        return false;
    }
};

}  // namespace

MapView::MapView(NotificationCenter& notifications, QWidget* parent)
    : QWidget(parent), model_(notifications, *this) {
    dashboard_ = new DashboardPanel(model_, this);
    connect(&dashboard_->unitButton(), &QAbstractButton::clicked, this, [this] {
        showUnitMenu(dashboard_->unitButton(), QPoint(0, mapButton_->height()));
    });
    fullMapButton_ = makeButton("fullMapButton", QSize(30, 20));
    dashboardButton_ = makeButton("dashboardButton", QSize(30, 20));
    infoBarUnitButton_ = makeButton("infoBarUnitButton", QSize(40, 20));
    infoBarUnitButton_->setFontSize(kSpeedFontSize);
    mapButton_ = makeButton("mapButton", QSize(40, 40));
    loadSkinBitmap();
    connect(fullMapButton_, &QAbstractButton::clicked, this, [this] { model_.onButtonFullMap(); });
    connect(dashboardButton_, &QAbstractButton::clicked, this, [this] { model_.onButtonDashboard(); });
    connect(mapButton_, &QAbstractButton::clicked, this, [this] { model_.onButtonPanelMap(); });
    connect(infoBarUnitButton_, &QAbstractButton::clicked, this,
            [this] { showUnitMenu(*infoBarUnitButton_, QPoint(0, 0)); });
    changeLanguage();
    showChildren(model_.children());
}

MapView::~MapView() {
    // The page goes before its profile.
    delete webView_;
    page_.reset();
    delete profile_;
}

BitmapButton* MapView::makeButton(const char* name, QSize size) {
    auto* button = new BitmapButton(this);
    button->setObjectName(name);
    button->resize(size);
    return button;
}

void MapView::loadSkinBitmap() {
    barImage_ = pmLoadImage("bg_map.png");
    barSliceImage_ = pmLoadImage("bg_map_info.bmp");
    noGpsImage_ = pmLoadImage("map_no_gps.png");
    disabledImage_ = pmLoadImage("map_disable.png");
    fullMapButton_->setBitmapButton(SkinnedButton::family("button_full_map"));
    dashboardButton_->setBitmapButton(SkinnedButton::family("button_google_map", false));
    infoBarUnitButton_->setBitmapButton(SkinnedButton::family("km_map", false));
    mapButton_->setBitmapButton(SkinnedButton::family("gps_link", false));
    dashboard_->loadSkinBitmap();
    update();
}

void MapView::configure(Connectivity* connectivity, const MapServices& services) {
    services_ = services;
    model_.configure(connectivity, services.page);
}

void MapView::pressFullMap() { fullMapButton_->click(); }

void MapView::changeLanguage() {
    fullMapButton_->setToolTip(pmViewString(model_.isFullMap() ? "IDS_NORMAL_SCREEN" : "IDS_FULL_SCREEN"));
    infoBarUnitButton_->setToolTip(pmViewString("IDS_CHANGE_SPEED_UNIT"));
    redraw();
}

WebPage& MapView::createWebPage() {
    // Off the record: nothing of the map is kept on disk. The tile server sees who asks.
    profile_ = new QWebEngineProfile;
    profile_->setHttpUserAgent(QString::fromStdString(pmMapUserAgent(services_)));
    auto* page = new MapPage(profile_);
    QWebEngineScript settings;
    settings.setName("cartenaMap");
    settings.setInjectionPoint(QWebEngineScript::DocumentCreation);
    settings.setWorldId(QWebEngineScript::MainWorld);
    const QJsonObject values{{"tiles", QString::fromStdString(services_.tiles)},
                             {"attribution", QString::fromStdString(services_.tileAttribution)}};
    settings.setSourceCode("window.cartenaMap = " + QString::fromUtf8(QJsonDocument(values).toJson()) + ";");
    page->scripts().insert(settings);
    webView_ = new QWebEngineView(this);
    webView_->setObjectName("mapWebView");
    webView_->setContextMenuPolicy(Qt::NoContextMenu);
    webView_->setPage(page);
    page->setParent(webView_);
    page_ = std::make_unique<QtWebPage>(*page);
    layoutChildren();
    for (QWidget* button : {fullMapButton_, dashboardButton_, infoBarUnitButton_, mapButton_}) button->raise();
    return *page_;
}

void MapView::showChildren(const MapChildren& children) {
    if (webView_) webView_->setVisible(children.webView);
    fullMapButton_->setVisible(children.fullMapButton);
    infoBarUnitButton_->setVisible(children.infoBarUnitButton);
    dashboardButton_->setVisible(children.dashboardButton);
    dashboard_->unitButton().setVisible(children.dashboardUnitButton);
    mapButton_->setVisible(children.mapButton);
    dashboard_->setVisible(model_.drawing() == MapDrawing::Dashboard);
}

void MapView::redraw() {
    const QString unit = QString::fromStdString(pmGetSpeedUnitString(model_.getSpeedUnit()));
    infoBarUnitButton_->setBitmapTitle(unit);
    fullMapButton_->checkButton(model_.isFullMap());
    fullMapButton_->setToolTip(pmViewString(model_.isFullMap() ? "IDS_NORMAL_SCREEN" : "IDS_FULL_SCREEN"));
    dashboard_->refreshTexts();
    dashboard_->update();
    update();
}

void MapView::resizeEvent(QResizeEvent*) { layoutChildren(); }

void MapView::layoutChildren() {
    const int w = width(), h = height(), bar = h - kInfoBarHeight;
    if (webView_) webView_->setGeometry(0, 0, w, bar);
    fullMapButton_->move(w - fullMapButton_->width(), bar);
    dashboardButton_->move(w - 59, bar);
    infoBarUnitButton_->move(kUnitButtonX, bar);
    mapButton_->move(w - mapButton_->width(), h - mapButton_->height());
    dashboard_->setGeometry(rect());
}

void MapView::showUnitMenu(QAbstractButton& button, QPoint at) {
    QMenu menu("Speed Unit", this);
    for (std::int16_t unit : {kSpeedUnitKmh, kSpeedUnitMph}) {
        QAction* item = menu.addAction(QString::fromStdString(pmGetSpeedUnitString(unit)));
        item->setCheckable(true);
        item->setChecked(unit == model_.getSpeedUnit());
        connect(item, &QAction::triggered, this, [this, unit] { model_.setSpeedUnit(unit); });
    }
    menu.exec(button.mapToGlobal(at));
}

QString MapView::infoBarLocationText() const {
    return QString::fromStdString(pmGetInfoBarLocationText(model_.latitude(), model_.longitude(), model_.speed(),
                                                           model_.altitude(), model_.direction()));
}

QString MapView::infoBarSpeedText() const {
    return QString::fromStdString(pmGetInfoBarSpeedText(model_.speed(), model_.getSpeedUnit()));
}

void MapView::paintEvent(QPaintEvent*) {
    QPainter p(this);
    switch (model_.drawing()) {
        case MapDrawing::Dashboard: return;  // the dashboard draws itself
        case MapDrawing::InfoBar: paintInfoBar(p); return;
        case MapDrawing::NoGpsPicture:
        case MapDrawing::MapDisabledPicture: paintPicture(p); return;
    }
}

void MapView::paintInfoBar(QPainter& p) {
    p.fillRect(rect(), kPictureFill);
    const int top = height() - kInfoBarHeight;
    // The bar's picture at its right end, the rest covered by slices of its left part.
    const QPixmap& end = barImage_;
    const int slice = std::max(1, barSliceImage_.width());
    for (int x = 0; x < width() - end.width(); x += slice) p.drawPixmap(x, top, end, 0, 0, slice, kInfoBarHeight);
    p.drawPixmap(width() - end.width(), top, end);

    p.setPen(Qt::white);
    p.setFont(pmViewFont(kSpeedFontSize));
    const QRect speedBox(kUnitButtonX - kSpeedBoxWidth, top, kSpeedBoxWidth, kInfoBarHeight);
    p.drawText(speedBox, Qt::AlignRight | Qt::AlignVCenter, infoBarSpeedText());
    // The location text ends where the speed begins: in a narrow view it is cut short there.
    const QRect locationBox(4, top, speedBox.left() - 8, kInfoBarHeight);
    p.drawText(locationBox, Qt::AlignLeft | Qt::AlignVCenter,
               p.fontMetrics().elidedText(infoBarLocationText(), Qt::ElideRight, locationBox.width()));
}

void MapView::paintPicture(QPainter& p) {
    p.fillRect(rect(), kPictureFill);
    const bool noGps = model_.drawing() == MapDrawing::NoGpsPicture;
    const QPixmap& picture = noGps ? noGpsImage_ : disabledImage_;
    if (!picture.isNull()) p.drawPixmap((width() - picture.width()) / 2, height() - picture.height(), picture);
    if (!noGps) return;
    p.setPen(kNoGpsText);
    p.setFont(pmViewFont(16));
    p.drawText(QRect(0, 120, width(), height() - 120), Qt::AlignHCenter | Qt::AlignTop | Qt::TextWordWrap,
               pmViewString("IDS_ERR_NO_GPS_DATA"));
}
