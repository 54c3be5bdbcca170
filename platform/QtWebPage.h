#pragma once
#include "interfaces/WebPage.h"

#include <QObject>

class QWebEnginePage;

// A WebPage over a Qt WebEngine page (not owned; it must outlive this object).
class QtWebPage : public QObject, public WebPage {
    Q_OBJECT
public:
    explicit QtWebPage(QWebEnginePage& page);

    void load(const std::string& url) override;
    void stopLoading() override;
    void evaluate(const std::string& statement, ScriptResult result) override;
    std::string url() const override;
    void setLoadFinishedHandler(std::function<void(bool succeeded)> handler) override;
    void setEventHandlers(WebPageEvents events) override { events_ = std::move(events); }
    bool isJavaScriptEnabled() const override;
    void setJavaScriptEnabled(bool enabled) override;
    bool isJavaEnabled() const override { return false; }
    bool arePlugInsEnabled() const override;

private:
    QWebEnginePage& page_;
    std::function<void(bool)> loadFinished_;
    WebPageEvents events_;
};
