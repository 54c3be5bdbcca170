#include "platform/QtWebPage.h"
#include "platform/WebEngineSandbox.h"
#include "support/GraphicsDrivers.h"
#include "support/QtWait.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QWebEnginePage>
#include <QWebEngineProfile>

// A process that made a web view ends with a new/delete mismatch inside the engine.
extern "C" const char* __asan_default_options() { return "new_delete_type_mismatch=0"; }

TEST(QtWebPage, LoadsRunsStatementsAndReadsTheirValuesOnTheRealEngine) {
    pmPrepareWebEngineSandbox();
    QApplication application(qtArgc(), qtArgv());
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
