#pragma once
#include "sharing/AccountLogin.h"

#include <QDialog>

#include <memory>
#include <optional>

class HttpClient;
class QtWebPage;
class QWebEngineProfile;
class QWebEngineView;

// The sign-in to a video service: only the service's own pages in a web view, which starts at the
// first page as soon as the dialog is made. The view has a profile of its own, off the record (no
// disk cache, cookies or history outlive the dialog), so no address holding a token stays behind.
// It closes itself when the sign-in has ended; closed before, it has no outcome.
class LoginDialog : public QDialog {
    Q_OBJECT
public:
    LoginDialog(std::int16_t videoWebsite, const SharingServices& services, HttpClient& http, QWidget* parent = nullptr);
    ~LoginDialog() override;

    const std::optional<LoginOutcome>& outcome() const { return outcome_; }
    QWebEngineView& webView() { return *m_loginView; }
    QtWebPage& page() { return *page_; }

    void done(int result) override;

private:
    QWebEngineProfile* profile_;
    QWebEngineView* m_loginView;
    std::unique_ptr<QtWebPage> page_;
    std::unique_ptr<AccountLogin> login_;
    std::optional<LoginOutcome> outcome_;
};
