#include "views/LoginDialog.h"

#include "Utility/DiagnosticLog.h"
#include "platform/QtWebPage.h"
#include "views/ViewStyle.h"

#include <QVBoxLayout>
#include <QWebEnginePage>
#include <QWebEngineProfile>
#include <QWebEngineView>

LoginDialog::LoginDialog(std::int16_t videoWebsite, const SharingServices& services, HttpClient& http, QWidget* parent)
    : QDialog(parent), profile_(new QWebEngineProfile) {
    setObjectName("loginDialog");
    setWindowTitle(pmViewString(videoWebsite == kVideoWebsiteFacebook ? "IDS_UPLOAD_FACEBOOK" : "IDS_UPLOAD_YOUTUBE"));
    resize(640, 560);
    // A profile without a storage name is off the record; memory holds no cache either.
    profile_->setHttpCacheType(QWebEngineProfile::NoCache);
    m_loginView = new QWebEngineView(this);
    m_loginView->setObjectName("loginWebView");
    auto* page = new QWebEnginePage(profile_, m_loginView);
    m_loginView->setPage(page);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_loginView);
    page_ = std::make_unique<QtWebPage>(*page);
    LoginDialogHost host;
    host.finish = [this](const LoginOutcome& outcome) {
        outcome_ = outcome;
        accept();
    };
    host.hideWebView = [this] { m_loginView->hide(); };
    login_ = std::make_unique<AccountLogin>(videoWebsite, services, http, *page_, std::move(host));
    login_->doLogin();
    pmOutputDebugMsg("LoginDlg Start");
}

LoginDialog::~LoginDialog() {
    // The sign-in lets go of the page, the page goes before its profile.
    login_.reset();
    page_.reset();
    delete m_loginView;
    delete profile_;
}

void LoginDialog::done(int result) {
    // A permission check still running is given up with the window.
    if (!outcome_) login_.reset();
    QDialog::done(result);
    pmOutputDebugMsg("LoginDlg End");
}
