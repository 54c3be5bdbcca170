#pragma once
#include "Utility/ServicesConfig.h"
#include "interfaces/HttpClient.h"
#include "interfaces/WebPage.h"
#include "sharing/UploadBatch.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

// The sign-in to a video service inside the login dialog's web page: the social network's implicit
// flow ends with an access token and a check of the publishing permission, the video service's
// authorisation-code flow with a code for the upload to exchange. Addresses are compared as exact
// strings, in the fully encoded form the page gives.

// The setting that keeps the last social network token; the only place a token is written.
inline constexpr const char* kFacebookKeyProfile = "FB_KEY";

// Percent-encoding with lower-case hexadecimal digits of everything but letters, digits and "-":
// "http://127.0.0.1:8080/" gives "http%3a%2f%2f127%2e0%2e0%2e1%3a8080%2f".
std::string pmLoginEscape(std::string_view text);
// The first sign-in page of each service, query parameters in the services' order.
std::string pmFacebookLoginUrl(const FacebookServices& facebook);
std::string pmYouTubeLoginUrl(const YouTubeServices& youtube);
// Where the video service's sign-in returns to: "http://<redirect host>/".
std::string pmYouTubeRedirectUrl(const YouTubeServices& youtube);

// How a sign-in ended: type 1 signed in, 0 given up; the social network's token or the video
// service's code, empty when none.
struct LoginOutcome {
    int type = 0;
    std::string facebookKey;
    std::string youTubeKey;
};

// What the sign-in asks of the dialog around its page.
struct LoginDialogHost {
    // The outcome: the dialog closes and tells the controller. Called at most once.
    std::function<void(const LoginOutcome&)> finish;
    // The permission check has begun: only the waiting indicator shows.
    std::function<void()> hideWebView;
};

class AccountLogin {
public:
    AccountLogin(std::int16_t videoWebsite, const SharingServices& services, HttpClient& http, WebPage& page,
                 LoginDialogHost host);
    // A permission check still running is given up; no outcome follows.
    ~AccountLogin();
    AccountLogin(const AccountLogin&) = delete;
    AccountLogin& operator=(const AccountLogin&) = delete;

    // Shows the waiting indicator and loads the first sign-in page.
    void doLogin();

    // The page's watchers; every address they see goes to the service's result reader. Several of
    // them see the same redirect: only the first sighting counts.
    void webLoadStarted(const std::string& address);
    void webLoadComplete();
    void navigationRequested(const std::string& address, WebNavigationKind kind);

    // The service's result readers, given each address the page shows.
    void getFacebookKey(const std::string& address);
    void getYouTubeAccessToken(const std::string& address);

    const std::string& facebookKey() const { return m_strFBKey; }
    const std::string& youTubeKey() const { return m_strYouTubeKey; }

private:
    void checkPermission();
    void permissionAnswered(const HttpResponse& response);
    void postNotification(int type);
    void seeAddress(const std::string& address);

    std::int16_t m_nVideoWebsite;
    SharingServices services_;
    HttpClient& http_;
    WebPage& page_;
    LoginDialogHost host_;
    std::string m_strFBKey;
    std::string m_strYouTubeKey;
    std::optional<HttpClient::RequestId> permissionCheck_;  // while it runs
    bool posted_ = false;
};
