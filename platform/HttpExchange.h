#pragma once
#include "interfaces/HttpClient.h"

#include <QNetworkReply>
#include <QObject>
#include <QPointer>
#include <QTimer>

class QNetworkAccessManager;

// One request on a Qt network manager, from sending to its one `finished` report: the body
// streamed from memory or a file, the idle and whole-exchange time-outs, the answer collected.
// Deleting it stops the request silently.
class HttpExchange : public QObject {
public:
    HttpExchange(QNetworkAccessManager& manager, const HttpRequest& request, HttpCallbacks callbacks);
    ~HttpExchange() override;
    HttpExchange(const HttpExchange&) = delete;
    HttpExchange& operator=(const HttpExchange&) = delete;

private:
    void onFinished();
    void fail(const std::string& error);
    void report(const HttpResponse& response);
    void expire();

    HttpCallbacks callbacks_;
    // Gone with its manager when that goes first.
    QPointer<QNetworkReply> reply_;
    QTimer idle_;
    QTimer deadline_;
    std::string body_;
    bool timedOut_ = false;
    bool reported_ = false;
};
