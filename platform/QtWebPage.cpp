#include "platform/QtWebPage.h"

#include <QWebEngineLoadingInfo>
#include <QWebEngineNavigationRequest>
#include <QWebEnginePage>
#include <QWebEngineSettings>

namespace {

// As on the wire: the default form would decode escapes that belong to the address.
std::string encoded(const QUrl& url) { return url.toString(QUrl::FullyEncoded).toStdString(); }

WebNavigationKind kindOf(QWebEngineNavigationRequest::NavigationType type) {
    switch (type) {
    case QWebEngineNavigationRequest::LinkClickedNavigation:
    case QWebEngineNavigationRequest::FormSubmittedNavigation:
        return WebNavigationKind::LinkOrForm;
    case QWebEngineNavigationRequest::RedirectNavigation:
        return WebNavigationKind::Redirect;
    default:
        return WebNavigationKind::Other;
    }
}

}  // namespace

QtWebPage::QtWebPage(QWebEnginePage& page) : page_(page) {
    connect(&page_, &QWebEnginePage::loadFinished, this, [this](bool succeeded) {
        if (loadFinished_) loadFinished_(succeeded);
    });
    connect(&page_, &QWebEnginePage::loadingChanged, this, [this](const QWebEngineLoadingInfo& info) {
        if (info.status() == QWebEngineLoadingInfo::LoadStartedStatus && events_.loadStarted) events_.loadStarted(encoded(info.url()));
        if (info.status() == QWebEngineLoadingInfo::LoadFailedStatus && events_.loadFailed)
            events_.loadFailed(encoded(info.url()), info.errorString().toStdString());
    });
    connect(&page_, &QWebEnginePage::urlChanged, this, [this](const QUrl& url) {
        if (events_.urlChanged) events_.urlChanged(encoded(url));
    });
    // Every navigation goes ahead: the request is left accepted.
    connect(&page_, &QWebEnginePage::navigationRequested, this, [this](QWebEngineNavigationRequest& request) {
        if (request.isMainFrame() && events_.navigation) events_.navigation(encoded(request.url()), kindOf(request.navigationType()));
    });
}

std::string QtWebPage::url() const { return encoded(page_.url()); }

void QtWebPage::load(const std::string& url) { page_.load(QUrl(QString::fromStdString(url))); }

void QtWebPage::stopLoading() { page_.triggerAction(QWebEnginePage::Stop); }

void QtWebPage::evaluate(const std::string& statement, ScriptResult result) {
    const QString script = QString::fromStdString(statement);
    if (!result) {
        page_.runJavaScript(script);
        return;
    }
    page_.runJavaScript(script, [result = std::move(result)](const QVariant& value) {
        // A statement that threw, or gave undefined or null, has no value.
        if (!value.isValid() || value.isNull()) result(std::nullopt);
        else result(value.toString().toStdString());
    });
}

void QtWebPage::setLoadFinishedHandler(std::function<void(bool)> handler) { loadFinished_ = std::move(handler); }

bool QtWebPage::isJavaScriptEnabled() const {
    return page_.settings()->testAttribute(QWebEngineSettings::JavascriptEnabled);
}

void QtWebPage::setJavaScriptEnabled(bool enabled) {
    page_.settings()->setAttribute(QWebEngineSettings::JavascriptEnabled, enabled);
}

bool QtWebPage::arePlugInsEnabled() const { return page_.settings()->testAttribute(QWebEngineSettings::PluginsEnabled); }
