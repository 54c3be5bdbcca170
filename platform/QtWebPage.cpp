#include "platform/QtWebPage.h"

#include <QWebEnginePage>
#include <QWebEngineSettings>

QtWebPage::QtWebPage(QWebEnginePage& page) : page_(page) {
    connect(&page_, &QWebEnginePage::loadFinished, this, [this](bool succeeded) {
        if (loadFinished_) loadFinished_(succeeded);
    });
}

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
