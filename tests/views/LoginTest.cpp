// The sign-in on the real web engine against the stand-in server, and where tokens and codes end up.
#include "Utility/DiagnosticLog.h"
#include "Utility/Preferences.h"
#include "Utility/WaitingIndicator.h"
#include "platform/QtHttpClient.h"
#include "platform/QtWebPage.h"
#include "platform/WebEngineSandbox.h"
#include "support/GraphicsDrivers.h"
#include "support/LocalHttpServer.h"
#include "support/ModalDriver.h"
#include "support/QtWait.h"
#include "support/Screenshot.h"
#include "support/TempHome.h"
#include "views/LoginDialog.h"
#include "views/MainWindow.h"
#include "views/QtControllerDialogs.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QTcpServer>

#include <cstring>
#include <filesystem>

// A process that made a web view ends with a new/delete mismatch inside the engine.
extern "C" const char* __asan_default_options() { return "new_delete_type_mismatch=0"; }

const std::string id = "123456789012-abcdefghijklmnopqrstuvwxyz012345.apps.googleusercontent.com";

TEST(LoginAddresses, AreTheServicesOwnStringsWithTheHostsEscapedInLowerCase) {
    FacebookServices facebook{"https://www.facebook.com", "", "1234567890123456", true};
    YouTubeServices youtube{"http://127.0.0.1:8080", "https://api.example:8081", "127.0.0.1:8082", id, "", true};
    EXPECT_EQ(pmFacebookLoginUrl(facebook),
              "https://www.facebook.com/v2.3/dialog/oauth?response_type=token&client_id=1234567890123456&redirect_uri="
              "http%3a%2f%2fwww%2efacebook%2ecom%2fconnect%2flogin%5fsuccess%2ehtml&type=user_agent&display=popup"
              "&scope=user_videos%2Cpublish_actions");
    // A port's colon is escaped like the rest.
    EXPECT_EQ(pmYouTubeLoginUrl(youtube),
              "http://127.0.0.1:8080/o/oauth2/auth?client_id=" + id + "&redirect_uri=http%3a%2f%2f127%2e0%2e0%2e1%3a8082%2f"
              "&scope=https%3a%2f%2fapi%2eexample%3a8081%2fauth%2fyoutube%2eupload&response_type=code&access_type=offline");
}

namespace {

// An address in RFC 3986's normal form, as the engine sends it: escapes of unreserved characters
// decoded, the others' hexadecimal digits in capitals.
std::string normalized(const std::string& address) {
    std::string normal;
    for (std::size_t i = 0; i < address.size(); ++i) {
        if (address[i] != '%') {
            normal += address[i];
            continue;
        }
        const std::string digits = QByteArray::fromStdString(address.substr(i + 1, 2)).toUpper().toStdString();
        const char c = char(std::stoi(digits, nullptr, 16));
        normal += std::isalnum(static_cast<unsigned char>(c)) || std::strchr("-._~", c) ? std::string(1, c) : "%" + digits;
        i += 2;
    }
    return normal;
}

// The login dialog on the stand-in server; the user is played by script. The video service's sign-in
// returns to a port that never answers: only a watcher that sees the redirect itself ends it.
class Login : public ::testing::Test {
public:
    Login() {
        silent.listen(QHostAddress::LocalHost);
        const std::string silentHost = "127.0.0.1:" + std::to_string(silent.serverPort());
        services = {{server.url(""), server.url(""), "1234567890123456", true},
                    {server.url(""), server.url(""), silentHost, id, "abcdefghijklmnopqrstuvwx", true}};
        dialogs.configureSharing(&http, services);
        notifications.addObserver(NotificationCenter::fullName(notify::kUploadVideoChanged),
                                  [this](const Notification& n) { posted.push_back(n); });
    }
    void signIn(std::int16_t site, const std::function<void(LoginDialog&)>& user) {
        ModalDriver driver({[&](QWidget* modal) {
            auto& dialog = *static_cast<LoginDialog*>(modal);
            bool shown = false;
            spinUntil([&] {
                dialog.page().evaluate("document.getElementById('allow') !== null", [&](auto v) { shown = v == "true"; });
                return spinFor(0.1), shown;
            });
            keepGraphicsDriversLoaded();
            saveScreenshot(dialog, "login-dialog");
            // A sign-in that never ends fails the row instead of hanging the test.
            QTimer::singleShot(30000, &dialog, [&dialog] { dialog.close(); });
            user(dialog);
        }});
        dialogs.runLoginDialog(site);
        EXPECT_TRUE(driver.done());
    }
    static std::function<void(LoginDialog&)> press(const std::string& button) {
        return [button](LoginDialog& d) { d.page().evaluate("document.getElementById('" + button + "').click()", {}); };
    }
    std::vector<std::string> checkedTokens() const {
        std::vector<std::string> tokens;
        for (const auto& request : server.requests())
            if (const std::string path = request["path"]; path.starts_with("/me/permissions?access_token="))
                tokens.push_back(path.substr(29));
        return tokens;
    }

    bool sandboxReady = (pmPrepareWebEngineSandbox(), true);
    TempHome home;
    QApplication application{qtArgc(), qtArgv()};
    LocalHttpServer server;
    QTcpServer silent;
    QtHttpClient http;
    NotificationCenter notifications;
    MainWindow window{notifications};
    QtControllerDialogs dialogs{window, notifications};
    SharingServices services;
    std::vector<Notification> posted;
};

}  // namespace

// Each flow ends as the service decides, told once: the token is stored, then the permission decides;
// the code is kept as it came. Closed by the user (also during the permission check) it tells nothing.
// No token or code reaches the log, the console or any file but the settings (the last token).
TEST_F(Login, EachFlowEndsAsTheServiceOrTheUserDecidesAndOnlyTheSettingsHoldAToken) {
    ASSERT_TRUE(server.isRunning()) << server.error();
    const auto closeAfterCheck = [this](LoginDialog& dialog) {
        press("slow")(dialog);
        spinUntil([&] { return server.requests().back()["path"].get<std::string>().starts_with("/me/"); });
        dialog.close();
    };
    const struct {  // type -1: nothing told
        std::int16_t site; std::function<void(LoginDialog&)> user; int type; bool permissionChecked;
    } cases[] = {{kVideoWebsiteFacebook, press("allow"), 1, true},  {kVideoWebsiteFacebook, press("nopublish"), 0, true},
                 {kVideoWebsiteFacebook, press("deny"), 0, false},  {kVideoWebsiteYouTube, press("allow"), 1, false},
                 {kVideoWebsiteYouTube, press("deny"), 0, false},   {kVideoWebsiteYouTube, [](LoginDialog& d) { d.close(); }, -1, false},
                 {kVideoWebsiteFacebook, closeAfterCheck, -1, true}};
    testing::internal::CaptureStderr();
    std::vector<std::string> secrets;
    for (std::size_t row = 0; row < std::size(cases); ++row) {
        const auto& c = cases[row];
        const std::size_t requestsBefore = server.requests().size(), checksBefore = checkedTokens().size();
        posted.clear();
        signIn(c.site, c.user);
        ASSERT_EQ(posted.size(), c.type < 0 ? 0u : 1u) << row;
        const std::string built =
            c.site == kVideoWebsiteFacebook ? pmFacebookLoginUrl(services.facebook) : pmYouTubeLoginUrl(services.youtube);
        EXPECT_EQ(server.url(server.requests()[requestsBefore]["path"]), normalized(built)) << row;
        ASSERT_EQ(checkedTokens().size(), checksBefore + (c.permissionChecked ? 1 : 0)) << row;
        if (c.permissionChecked) secrets.push_back(checkedTokens().back());
        if (posted.empty()) continue;
        EXPECT_EQ(pmUploadType(posted[0]), c.type) << row;
        if (c.permissionChecked) { EXPECT_EQ(pmFacebookKey(posted[0]), secrets.back()) << row; }
        if (c.site == kVideoWebsiteYouTube && c.type == 1) {
            // Everything after "code=", escapes and the further parameter included.
            const std::string code = pmYouTubeKey(posted[0]);
            EXPECT_TRUE(code.starts_with("4%2F0AdQt8q") && code.ends_with("&scope=https%3A%2F%2Fwww.googleapis.com%2Fauth%2Fyoutube.upload")) << code;
            secrets.push_back(code.substr(0, code.find('&')));
        }
    }
    const std::string console = testing::internal::GetCapturedStderr();
    ASSERT_EQ(secrets.size(), 4u);
    EXPECT_EQ(pmGetProfileString(kFacebookKeyProfile, ""), secrets.back());
    for (const std::string& secret : secrets) {
        EXPECT_EQ(console.find(secret), std::string::npos) << secret;
        for (const auto& entry : std::filesystem::recursive_directory_iterator(home.path()))
            EXPECT_FALSE(entry.is_regular_file() && readFile(entry.path()).find(secret) != std::string::npos &&
                         !(secret == secrets.back() && entry.path().filename() == "settings.json")) << secret << " in " << entry.path();
    }
    EXPECT_NE(readFile(pmLogFilePath()).find("LoginDlg::CheckPermission - End - declined"), std::string::npos);
    EXPECT_FALSE(pmIsWaiting());
}
