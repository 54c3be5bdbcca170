#include "sharing/AccountLogin.h"

#include "Utility/DiagnosticLog.h"
#include "Utility/Preferences.h"
#include "Utility/WaitingIndicator.h"
#include "sharing/Redaction.h"
#include "sharing/UploadRequests.h"

#include <nlohmann/json.hpp>

#include <cstdio>

namespace {

// The permission check may wait for the user's network as long as it takes; closing the dialog
// is the way out.
constexpr double kPermissionTimeout = 10000.0;

void console(const char* line) { std::fprintf(stderr, "%s\n", line); }

bool contains(const std::string& text, std::string_view part) { return text.find(part) != std::string::npos; }

bool publishingGranted(const std::string& reply) {
    const auto root = nlohmann::json::parse(reply, nullptr, false);
    if (root.is_discarded() || !root.is_object() || !root.contains("data") || !root["data"].is_array()) return false;
    for (const auto& entry : root["data"])
        if (entry.is_object() && entry.value("permission", "") == "publish_actions" &&
            entry.value("status", "") == "granted")
            return true;
    return false;
}

}  // namespace

std::string pmLoginEscape(std::string_view text) { return pmPercentEncode(text, "-", true); }

std::string pmFacebookLoginUrl(const FacebookServices& facebook) {
    const std::string success = "http://" + pmAddressHost(facebook.web) + "/connect/login_success.html";
    return facebook.web + "/v2.3/dialog/oauth?response_type=token&client_id=" + facebook.appId +
           "&redirect_uri=" + pmLoginEscape(success) +
           "&type=user_agent&display=popup&scope=user_videos%2Cpublish_actions";
}

std::string pmYouTubeRedirectUrl(const YouTubeServices& youtube) { return "http://" + youtube.redirectHost + "/"; }

std::string pmYouTubeLoginUrl(const YouTubeServices& youtube) {
    const std::string scope = "https://" + pmAddressHost(youtube.api) + "/auth/youtube.upload";
    return youtube.accounts + "/o/oauth2/auth?client_id=" + youtube.clientId +
           "&redirect_uri=" + pmLoginEscape(pmYouTubeRedirectUrl(youtube)) + "&scope=" + pmLoginEscape(scope) +
           "&response_type=code&access_type=offline";
}

AccountLogin::AccountLogin(std::int16_t videoWebsite, const SharingServices& services, HttpClient& http,
                           WebPage& page, LoginDialogHost host)
    : m_nVideoWebsite(videoWebsite), services_(services), http_(http), page_(page), host_(std::move(host)) {
    WebPageEvents events;
    events.loadStarted = [this](const std::string& address) { webLoadStarted(address); };
    events.urlChanged = [this](const std::string& address) { seeAddress(address); };
    events.navigation = [this](const std::string& address, WebNavigationKind kind) {
        navigationRequested(address, kind);
    };
    // The page stays open on the failure; the user may go back or close the dialog.
    events.loadFailed = [](const std::string& address, const std::string& error) {
        pmLogRedacted("LoginDlg - page failed to load: " + address + " - " + error);
    };
    page_.setEventHandlers(std::move(events));
    page_.setLoadFinishedHandler([this](bool) { webLoadComplete(); });
}

AccountLogin::~AccountLogin() {
    if (permissionCheck_) http_.cancel(*permissionCheck_);
    page_.setEventHandlers({});
    page_.setLoadFinishedHandler({});
    if (pmIsWaiting()) pmEndWait();
}

void AccountLogin::doLogin() {
    pmStartWait();
    if (m_nVideoWebsite == kVideoWebsiteFacebook) {
        page_.load(pmFacebookLoginUrl(services_.facebook));
    } else {
        const std::string address = pmYouTubeLoginUrl(services_.youtube);
        pmOutputDebugMsg("doLogin() - YouTube V3 login URL - " + address);
        page_.load(address);
    }
}

void AccountLogin::webLoadStarted(const std::string& address) { seeAddress(address); }

void AccountLogin::webLoadComplete() {
    if (posted_ || permissionCheck_) return;
    pmEndWait();
    page_.stopLoading();
    seeAddress(page_.url());
}

void AccountLogin::navigationRequested(const std::string& address, WebNavigationKind kind) {
    // A redirect is caught before the page behind it (the loopback address) fails to load.
    if (kind != WebNavigationKind::Other) seeAddress(address);
}

void AccountLogin::seeAddress(const std::string& address) {
    if (posted_ || permissionCheck_) return;
    if (m_nVideoWebsite == kVideoWebsiteFacebook) getFacebookKey(address);
    else getYouTubeAccessToken(address);
}

void AccountLogin::getFacebookKey(const std::string& address) {
    if (address.empty()) return;
    pmLogRedacted("LoginDlg::getFacebookKey - " + address);
    if (!contains(address, "login_success.html")) return;
    constexpr std::string_view kToken = "access_token=";
    if (const std::size_t at = address.find(kToken); at != std::string::npos) {
        const std::size_t from = at + kToken.size();
        m_strFBKey = address.substr(from, address.find('&', from) - from);
        pmWriteProfileString(kFacebookKeyProfile, m_strFBKey);
        page_.stopLoading();
        checkPermission();
    } else if (contains(address, "error=")) {
        console("User canceled facebook login");
        postNotification(0);
    } else {
        console("access_token is not found");
    }
}

void AccountLogin::getYouTubeAccessToken(const std::string& address) {
    if (address.empty()) return;
    pmOutputDebugMsg("--- Start to parse YouTube V3 key ---");
    pmLogRedacted(address);
    if (!contains(address, pmYouTubeRedirectUrl(services_.youtube))) return;
    constexpr std::string_view kCode = "code=";
    if (const std::size_t at = address.find(kCode); at != std::string::npos) {
        if (m_strYouTubeKey.size() >= 3) {
            pmOutputDebugMsg("LoginDlg::getYouTubeAccessToken - the code was found again");
            return;
        }
        // Unchanged: neither decoded nor cut at "&"; the token exchange sends it as it came.
        m_strYouTubeKey = address.substr(at + kCode.size());
        pmLogRedacted("LoginDlg::getYouTubeAccessToken - code=" + m_strYouTubeKey);
        page_.stopLoading();
        postNotification(1);
    } else if (contains(address, "error=")) {
        console("User canceled YouTube V3 login");
        postNotification(0);
    } else {
        console("access_token is not found");
    }
}

// Asynchronous, so that the dialog can still be closed while it waits.
void AccountLogin::checkPermission() {
    if (host_.hideWebView) host_.hideWebView();
    pmStartWait();
    HttpRequest request;
    request.url = services_.facebook.graph + "/me/permissions?access_token=" + m_strFBKey;
    request.timeoutSeconds = kPermissionTimeout;
    HttpCallbacks callbacks;
    callbacks.finished = [this](const HttpResponse& response) { permissionAnswered(response); };
    permissionCheck_ = http_.start(request, std::move(callbacks));
}

void AccountLogin::permissionAnswered(const HttpResponse& response) {
    permissionCheck_.reset();
    if (!response.answered) {
        pmOutputDebugMsg("LoginDlg::CheckPermission - FB Permission API failed !");
        pmEndWait();
        postNotification(0);
        return;
    }
    pmLogRedacted("LoginDlg::CheckPermission - FB Permission API result : " + response.body);
    const bool granted = publishingGranted(response.body);
    pmEndWait();
    pmOutputDebugMsg(granted ? "LoginDlg::CheckPermission - End - granted" : "LoginDlg::CheckPermission - End - declined");
    postNotification(granted ? 1 : 0);
}

void AccountLogin::postNotification(int type) {
    if (posted_) return;
    posted_ = true;
    if (host_.finish) host_.finish(LoginOutcome{type, m_strFBKey, m_strYouTubeKey});
}
