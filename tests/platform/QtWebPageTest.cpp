#include "platform/QtWebPage.h"
#include "platform/WebEngineSandbox.h"
#include "support/GraphicsDrivers.h"
#include "support/LocalHttpServer.h"
#include "support/Rfc3986.h"
#include "support/QtWait.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QWebEnginePage>
#include <QWebEngineProfile>

// A process that made a web view ends with a new/delete mismatch inside the engine.
extern "C" const char* __asan_default_options() { return "new_delete_type_mismatch=0"; }

namespace {

struct WebApplication {
    WebApplication() { pmPrepareWebEngineSandbox(); }
    int argc = 1;
    char name[15] = "web_page_tests";
    char* argv[2] = {name, nullptr};
    QApplication application{argc, argv};
};

}  // namespace

TEST(QtWebPage, LoadsRunsStatementsAndReadsTheirValuesOnTheRealEngine) {
    WebApplication web;
    QWebEngineProfile profile;
    auto* engine = new QWebEnginePage(&profile);
    QtWebPage page(*engine);
    std::vector<bool> loads;
    std::vector<std::string> results;
    page.setLoadFinishedHandler([&](bool succeeded) { loads.push_back(succeeded); });
    page.load("data:text/html,<script>var count = 0; function add(n) { count += n; return count; }</script>");
    ASSERT_TRUE(spinUntil([&] { return !loads.empty(); }, 60.0));
    keepGraphicsDriversLoaded();
    // Values come back as text; a statement that throws or gives nothing has no value.
    page.evaluate("add(1)", {});
    for (const char* statement : {"add(2)", "'mapSetCenter' + 1", "undefined", "missing()"})
        page.evaluate(statement, [&](const auto& value) { results.push_back(value.value_or("(none)")); });
    ASSERT_TRUE(spinUntil([&] { return results.size() == 4; }, 30.0));
    EXPECT_EQ(results, (std::vector<std::string>{"3", "mapSetCenter1", "(none)", "(none)"}));
    page.load("http://127.0.0.1:1/");  // a failed load is a finished load too
    ASSERT_TRUE(spinUntil([&] { return loads.size() == 2; }, 30.0));
    EXPECT_EQ(loads, (std::vector<bool>{true, false}));
    delete engine;
}

// A sign-in page of the stand-in server: the page loads, the user's click is a link-or-form
// navigation, the server's answer a redirect, and the redirect's target (a closed port) fails to
// load; each address keeps its escapes as they came (in the wire's normal form).
TEST(QtWebPage, ReportsLoadsNavigationsAndFailuresWithAddressesAsEncoded) {
    WebApplication web;
    LocalHttpServer server;
    ASSERT_TRUE(server.isRunning()) << server.error();
    QWebEngineProfile profile;
    auto* engine = new QWebEnginePage(&profile);
    QtWebPage page(*engine);
    std::vector<std::string> events;
    WebPageEvents handlers;
    handlers.loadStarted = [&](const std::string& url) { events.push_back("started " + url); };
    handlers.urlChanged = [&](const std::string& url) { events.push_back("url " + url); };
    handlers.loadFailed = [&](const std::string& url, const std::string&) { events.push_back("failed " + url); };
    handlers.navigation = [&](const std::string& url, WebNavigationKind kind) {
        const char* names[] = {"link-or-form ", "redirect ", "other "};
        events.push_back(names[int(kind)] + url);
    };
    page.setEventHandlers(handlers);
    int finished = 0;
    page.setLoadFinishedHandler([&](bool) { ++finished; });
    const std::string signIn = server.url("/o/oauth2/auth?redirect_uri=http%3a%2f%2f127.0.0.1%3a1%2f&x=a%20b");
    page.load(signIn);
    ASSERT_TRUE(spinUntil([&] { return finished == 1; }, 60.0));
    const std::string wireSignIn = pmNormalizedUri(signIn);
    EXPECT_EQ(page.url(), wireSignIn);
    page.evaluate("document.getElementById('allow').click()", {});
    ASSERT_TRUE(spinUntil([&] { return finished == 2; }, 30.0));
    keepGraphicsDriversLoaded();

    const auto seen = [&](const std::string& prefix) {
        std::vector<std::string> found;
        for (const std::string& event : events)
            if (event.rfind(prefix, 0) == 0) found.push_back(event.substr(prefix.size()));
        return found;
    };
    const std::string decide = server.url("/signin/decide?flow=code&redirect_uri=http%3A%2F%2F127.0.0.1%3A1%2F&choice=allow");
    ASSERT_EQ(seen("redirect ").size(), 1u);
    const std::string redirected = seen("redirect ")[0];
    EXPECT_EQ(redirected.rfind("http://127.0.0.1:1/?code=4%2F0AdQt8q", 0), 0u) << redirected;
    EXPECT_EQ(seen("other "), std::vector<std::string>{wireSignIn});
    EXPECT_EQ(seen("link-or-form "), std::vector<std::string>{decide});
    EXPECT_EQ(seen("started "), (std::vector<std::string>{wireSignIn, decide}));
    EXPECT_EQ(seen("failed "), std::vector<std::string>{redirected});
    EXPECT_EQ(seen("url ").back(), redirected);
    EXPECT_EQ(page.url(), redirected);
    delete engine;
}
