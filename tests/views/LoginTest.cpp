// The sign-in to the video services against the stand-in server: the first pages' addresses, the
// login dialog on the real web engine, the outcome it tells, and where tokens and codes end up.
#include "Utility/DiagnosticLog.h"
#include "Utility/Preferences.h"
#include "Utility/WaitingIndicator.h"
#include "app/ControllerDialogs.h"
#include "platform/QtHttpClient.h"
#include "platform/QtWebPage.h"
#include "platform/WebEngineSandbox.h"
#include "sharing/AccountLogin.h"
#include "support/GraphicsDrivers.h"
#include "support/LocalHttpServer.h"
#include "support/ModalDriver.h"
#include "support/QtWait.h"
#include "support/Rfc3986.h"
#include "support/Screenshot.h"
#include "support/TempHome.h"
#include "views/LoginDialog.h"
#include "views/MainWindow.h"
#include "views/QtControllerDialogs.h"

#include <gtest/gtest.h>

#include <QApplication>

#include <filesystem>
#include <fstream>
#include <sstream>

// A process that made a web view ends with a new/delete mismatch inside the engine.
extern "C" const char* __asan_default_options() { return "new_delete_type_mismatch=0"; }

TEST(LoginAddresses, AreTheServicesOwnStringsWithTheHostsEscapedInLowerCase) {
    SharingServices s;
    s.facebook.appId = "1234567890123456";
    s.youtube.clientId = "123456789012-abcdefghijklmnopqrstuvwxyz012345.apps.googleusercontent.com";
    SharingServices local = s;
    local.facebook.web = "http://127.0.0.1:8080";
    local.youtube = {"http://127.0.0.1:8080", "http://127.0.0.1:8081", "127.0.0.1:8082", s.youtube.clientId, "", true};
    const std::string id = s.youtube.clientId;
    const struct {
        std::string built, expected;
    } cases[] = {
        {pmFacebookLoginUrl(s.facebook),
         "https://www.facebook.com/v2.3/dialog/oauth?response_type=token&client_id=1234567890123456&redirect_uri="
         "http%3a%2f%2fwww%2efacebook%2ecom%2fconnect%2flogin%5fsuccess%2ehtml&type=user_agent&display=popup"
         "&scope=user_videos%2Cpublish_actions"},
        {pmYouTubeLoginUrl(s.youtube),
         "https://accounts.google.com/o/oauth2/auth?client_id=" + id + "&redirect_uri=http%3a%2f%2flocalhost%2f"
         "&scope=https%3a%2f%2fwww%2egoogleapis%2ecom%2fauth%2fyoutube%2eupload&response_type=code&access_type=offline"},
        // A port's colon is escaped like the rest.
        {pmFacebookLoginUrl(local.facebook),
         "http://127.0.0.1:8080/v2.3/dialog/oauth?response_type=token&client_id=1234567890123456&redirect_uri="
         "http%3a%2f%2f127%2e0%2e0%2e1%3a8080%2fconnect%2flogin%5fsuccess%2ehtml&type=user_agent&display=popup"
         "&scope=user_videos%2Cpublish_actions"},
        {pmYouTubeLoginUrl(local.youtube),
         "http://127.0.0.1:8080/o/oauth2/auth?client_id=" + id + "&redirect_uri=http%3a%2f%2f127%2e0%2e0%2e1%3a8082%2f"
         "&scope=https%3a%2f%2f127%2e0%2e0%2e1%3a8081%2fauth%2fyoutube%2eupload&response_type=code&access_type=offline"},
        {pmLoginEscape("my-host_1.example~"), "my-host%5f1%2eexample%7e"},
    };
    for (const auto& c : cases) EXPECT_EQ(c.built, c.expected);
}

namespace {

std::string readWhole(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

// The login dialog over a main window, on the stand-in server, with the user played by script:
// once the sign-in page shows, a button of its form is pressed.
class Login : public ::testing::Test {
public:
    Login() {
        services.facebook = {server.url(""), server.url(""), "1234567890123456", true};
        services.youtube = {server.url(""), server.url(""), "127.0.0.1:1", "123456789012-abcdefghijklmnopqrstuvwxyz012345.apps.googleusercontent.com",
                            "abcdefghijklmnopqrstuvwx", true};
        dialogs.configureSharing(&http, services);
        notifications.addObserver(NotificationCenter::fullName(notify::kUploadVideoChanged),
                                  [this](const Notification& n) { posted.push_back(n); });
    }

    // Runs the dialog; `user` acts on it once the page shows its buttons.
    void signIn(std::int16_t site, const std::function<void(LoginDialog&)>& user) {
        ModalDriver driver({[&](QWidget* modal) {
            auto& dialog = *static_cast<LoginDialog*>(modal);
            bool shown = false;
            spinUntil([&] {
                dialog.page().evaluate("document.getElementById('allow') !== null",
                                       [&](const auto& value) { shown = value == "true"; });
                spinFor(0.1);
                return shown;
            });
            keepGraphicsDriversLoaded();
            if (screenshots++ == 0) saveScreenshot(dialog, "login-dialog");
            user(dialog);
        }});
        dialogs.runLoginDialog(site);
        EXPECT_TRUE(driver.done());
    }
    static std::function<void(LoginDialog&)> press(const std::string& button) {
        return [button](LoginDialog& dialog) { dialog.page().evaluate("document.getElementById('" + button + "').click()", {}); };
    }
    // The access_token of the permission checks so far.
    std::vector<std::string> checkedTokens() const {
        std::vector<std::string> tokens;
        for (const auto& request : server.requests()) {
            const std::string path = request["path"];
            if (path.starts_with("/me/permissions?access_token=")) tokens.push_back(path.substr(29));
        }
        return tokens;
    }

    bool sandboxReady = (pmPrepareWebEngineSandbox(), true);
    TempHome home;
    int argc = 1;
    char name[12] = "login_tests";
    char* argv[2] = {name, nullptr};
    QApplication application{argc, argv};
    LocalHttpServer server;
    QtHttpClient http;
    NotificationCenter notifications;
    MainWindow window{notifications};
    QtControllerDialogs dialogs{window, notifications};
    SharingServices services;
    std::vector<Notification> posted;
    int screenshots = 0;
};

}  // namespace

// Both flows end as the service decides: the social network's token is kept and stored, then the
// publishing permission decides; the video service's code is kept as it came, seen once although
// several watchers see its redirect. No token or code reaches the log or the console, and the
// settings file is the only file that holds a token.
TEST_F(Login, EachFlowEndsAsTheServiceDecidesAndOnlyTheSettingsHoldAToken) {
    ASSERT_TRUE(server.isRunning()) << server.error();
    const struct {
        std::int16_t site;
        const char* button;
        int type;
        bool permissionChecked;
    } cases[] = {
        {kVideoSiteFacebook, "allow", 1, true},
        {kVideoSiteFacebook, "nopublish", 0, true},
        {kVideoSiteFacebook, "deny", 0, false},
        {kVideoSiteYouTube, "allow", 1, false},
        {kVideoSiteYouTube, "deny", 0, false},
    };
    testing::internal::CaptureStderr();
    std::vector<std::string> secrets;
    for (const auto& c : cases) {
        const std::string row = std::to_string(c.site) + " " + c.button;
        const std::size_t requestsBefore = server.requests().size(), checksBefore = checkedTokens().size();
        posted.clear();
        signIn(c.site, press(c.button));
        ASSERT_EQ(posted.size(), 1u) << row;
        EXPECT_EQ(pmUploadType(posted[0]), c.type) << row;
        const std::string first = server.requests()[requestsBefore]["path"];
        const std::string built = c.site == kVideoSiteFacebook ? pmFacebookLoginUrl(services.facebook)
                                                               : pmYouTubeLoginUrl(services.youtube);
        EXPECT_EQ(server.url(first), pmNormalizedUri(built)) << row;
        ASSERT_EQ(checkedTokens().size(), checksBefore + (c.permissionChecked ? 1 : 0)) << row;
        if (c.permissionChecked) {
            const std::string token = checkedTokens().back();
            EXPECT_EQ(pmGetProfileString(kFacebookKeyProfile, ""), token) << row;
            EXPECT_EQ(pmFacebookKey(posted[0]), token) << row;
            secrets.push_back(token);
        }
        if (c.site == kVideoSiteYouTube && c.type == 1) {
            // Everything after "code=", escapes and the further parameter included.
            const std::string code = pmYouTubeKey(posted[0]);
            EXPECT_TRUE(code.starts_with("4%2F0AdQt8q")) << code;
            EXPECT_TRUE(code.ends_with("&scope=https%3A%2F%2Fwww.googleapis.com%2Fauth%2Fyoutube.upload")) << code;
            secrets.push_back(code.substr(0, code.find('&')));
        }
    }
    const std::string console = testing::internal::GetCapturedStderr();
    ASSERT_EQ(secrets.size(), 3u);
    const std::string settings = home.configHome() + "/cartena-manager";
    for (const std::string& secret : secrets) {
        EXPECT_EQ(console.find(secret), std::string::npos) << secret;
        for (const auto& entry : std::filesystem::recursive_directory_iterator(home.path())) {
            if (!entry.is_regular_file()) continue;
            // The settings hold the last token only; a code is kept nowhere.
            if (readWhole(entry.path()).find(secret) != std::string::npos)
                EXPECT_TRUE(secret.starts_with("EAAG") && entry.path().parent_path() == settings) << secret << " in " << entry.path();
        }
    }
    EXPECT_NE(readWhole(pmLogFilePath()).find("LoginDlg::CheckPermission - End - declined"), std::string::npos);
}

// Closed by the user, the dialog tells nothing: on the sign-in page, and while the permission
// check waits for its answer (which it then gives up).
TEST_F(Login, ClosingTheWindowEndsWithoutAnOutcomeAndGivesUpThePermissionCheck) {
    ASSERT_TRUE(server.isRunning()) << server.error();
    signIn(kVideoSiteYouTube, [](LoginDialog& dialog) { dialog.close(); });
    signIn(kVideoSiteFacebook, [this](LoginDialog& dialog) {
        press("slow")(dialog);
        spinUntil([&] { return !checkedTokens().empty(); });
        dialog.close();
    });
    EXPECT_EQ(checkedTokens().size(), 1u);
    EXPECT_TRUE(posted.empty());
    EXPECT_FALSE(pmIsWaiting());
}
