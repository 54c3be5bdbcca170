#include "platform/HttpExchange.h"

#include "platform/FileBodyDevice.h"

#include <QNetworkAccessManager>
#include <QNetworkReply>

#include <chrono>

namespace {

constexpr const char* kTimedOut = "timed out";

std::chrono::milliseconds milliseconds(double seconds) { return std::chrono::milliseconds(qint64(seconds * 1000)); }

QNetworkRequest wireRequest(const HttpRequest& request) {
    QNetworkRequest wire(QUrl(QString::fromStdString(request.url)));
    for (const auto& [name, value] : request.headers)
        wire.setRawHeader(QByteArray::fromStdString(name), QByteArray::fromStdString(value));
    // Only what the caller wrote: no cached answer, no cookies, one HTTP/1.1 exchange; a redirect is
    // followed for a GET only (never to a less safe scheme), anything else reads it as the answer.
    wire.setAttribute(QNetworkRequest::CacheLoadControlAttribute, QNetworkRequest::AlwaysNetwork);
    wire.setAttribute(QNetworkRequest::CacheSaveControlAttribute, false);
    wire.setAttribute(QNetworkRequest::CookieLoadControlAttribute, QNetworkRequest::Manual);
    wire.setAttribute(QNetworkRequest::CookieSaveControlAttribute, QNetworkRequest::Manual);
    wire.setAttribute(QNetworkRequest::Http2AllowedAttribute, false);
    wire.setAttribute(QNetworkRequest::RedirectPolicyAttribute,
                      request.method == "GET" ? QNetworkRequest::NoLessSafeRedirectPolicy
                                              : QNetworkRequest::ManualRedirectPolicy);
    return wire;
}

}  // namespace

HttpExchange::HttpExchange(QNetworkAccessManager& manager, const HttpRequest& request, HttpCallbacks callbacks)
    : callbacks_(std::move(callbacks)) {
    idle_.setSingleShot(true);
    deadline_.setSingleShot(true);
    connect(&idle_, &QTimer::timeout, this, &HttpExchange::expire);
    connect(&deadline_, &QTimer::timeout, this, &HttpExchange::expire);

    const QByteArray method = QByteArray::fromStdString(request.method);
    if (request.fileBody) {
        auto device = std::make_unique<FileBodyDevice>(QByteArray::fromStdString(request.fileBody->prefix),
                                                       QString::fromStdString(request.fileBody->path),
                                                       QByteArray::fromStdString(request.fileBody->suffix));
        if (!device->openBody()) {
            // Reported later than the call, as every outcome is.
            const std::string error = "cannot read " + request.fileBody->path;
            QTimer::singleShot(0, this, [this, error] { fail(error); });
            return;
        }
        reply_ = manager.sendCustomRequest(wireRequest(request), method, device.get());
        device.release()->setParent(reply_);
    } else {
        reply_ = manager.sendCustomRequest(wireRequest(request), method, QByteArray::fromStdString(request.body));
    }

    if (request.idleTimeoutSeconds > 0) {
        idle_.setInterval(milliseconds(request.idleTimeoutSeconds));
        idle_.start();
    }
    if (request.timeoutSeconds > 0) deadline_.start(milliseconds(request.timeoutSeconds));
    const auto restartIdle = [this] {
        if (idle_.interval() > 0) idle_.start();
    };
    connect(reply_, &QNetworkReply::uploadProgress, this, [this, restartIdle](qint64 sent, qint64 total) {
        restartIdle();
        if (callbacks_.bodySent && total > 0) callbacks_.bodySent(sent, total);
    });
    connect(reply_, &QNetworkReply::readyRead, this, [this, restartIdle] {
        restartIdle();
        const QByteArray piece = reply_->readAll();
        body_.append(piece.constData(), std::size_t(piece.size()));
        if (callbacks_.dataReceived && !piece.isEmpty()) callbacks_.dataReceived(piece.toStdString());
    });
    connect(reply_, &QNetworkReply::finished, this, &HttpExchange::onFinished);
}

HttpExchange::~HttpExchange() {
    if (!reply_) return;
    reply_->disconnect(this);
    if (reply_->isRunning()) reply_->abort();
    reply_->deleteLater();
}

void HttpExchange::expire() {
    timedOut_ = true;
    if (reply_) reply_->abort();
}

void HttpExchange::onFinished() {
    if (reply_->isOpen()) {
        const QByteArray rest = reply_->readAll();
        body_.append(rest.constData(), std::size_t(rest.size()));
    }
    const QVariant status = reply_->attribute(QNetworkRequest::HttpStatusCodeAttribute);
    // Qt reports 4xx and 5xx answers as errors of their own ranges; only the transport's errors
    // (below 100), a time-out and a cancel mean that no whole answer came.
    const QNetworkReply::NetworkError error = reply_->error();
    if (!status.isValid() || timedOut_ || (error != QNetworkReply::NoError && error < 100)) {
        fail(timedOut_ ? kTimedOut : reply_->errorString().toStdString());
        return;
    }
    HttpResponse response;
    response.answered = true;
    response.status = status.toInt();
    response.body = std::move(body_);
    for (const auto& [name, value] : reply_->rawHeaderPairs()) response.headers.emplace_back(name.toStdString(), value.toStdString());
    report(response);
}

void HttpExchange::fail(const std::string& error) {
    HttpResponse response;
    response.error = error;
    response.timedOut = timedOut_;
    report(response);
}

void HttpExchange::report(const HttpResponse& response) {
    if (reported_) return;
    reported_ = true;
    idle_.stop();
    deadline_.stop();
    // The last report: the receiver may delete this exchange from inside it.
    const auto finished = std::move(callbacks_.finished);
    callbacks_ = {};
    if (finished) finished(response);
}
