#pragma once
#include <functional>
#include <optional>
#include <string>

// A web page shown in an embedded web view, as the map (and later the web logins) drive it: load an
// address, run one script statement and read its value, hear when a load has finished. Main thread
// only; every handler is called later than the call that caused it, never from inside it.
class WebPage {
public:
    // The statement's value as text; none when the statement failed or gave no value.
    using ScriptResult = std::function<void(const std::optional<std::string>& value)>;

    virtual ~WebPage() = default;

    // Requests the address into the page's main frame.
    virtual void load(const std::string& url) = 0;
    // Stops whatever the page is still loading.
    virtual void stopLoading() = 0;
    // Runs one statement in the page; `result` (may be empty) gets its value.
    virtual void evaluate(const std::string& statement, ScriptResult result) = 0;

    // Called after every load of the page, successful or not.
    virtual void setLoadFinishedHandler(std::function<void(bool succeeded)> handler) = 0;

    // The page's settings the map reports in its log.
    virtual bool isJavaScriptEnabled() const = 0;
    virtual void setJavaScriptEnabled(bool enabled) = 0;
    virtual bool isJavaEnabled() const = 0;  // no web view here runs Java: false
    virtual bool arePlugInsEnabled() const = 0;
};
