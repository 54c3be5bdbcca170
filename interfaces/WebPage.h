#pragma once
#include <functional>
#include <optional>
#include <string>

// How a navigation came about. Every navigation is allowed; the kind only tells who asked.
enum class WebNavigationKind {
    LinkOrForm,  // the user followed a link or submitted a form
    Redirect,    // the server answered with a redirect
    Other,       // a load the program asked for, a script, history
};

// What a page tells besides finished loads, for the web logins; each handler may be empty.
struct WebPageEvents {
    // The main frame starts loading `url`.
    std::function<void(const std::string& url)> loadStarted;
    // A load of the main frame failed, with the engine's reason.
    std::function<void(const std::string& url, const std::string& error)> loadFailed;
    // The main frame's address changed.
    std::function<void(const std::string& url)> urlChanged;
    // A navigation of the main frame, before it is carried out.
    std::function<void(const std::string& url, WebNavigationKind kind)> navigation;
};

// A web page shown in an embedded web view, as the map and the web logins drive it: load an
// address, run one script statement and read its value, hear of loads and navigations. Addresses
// are given fully encoded, escapes as they were on the wire. Main thread only; every handler is
// called later than the call that caused it, never from inside it.
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

    // The main frame's current address; empty before the first load.
    virtual std::string url() const = 0;

    // Called after every load of the page, successful or not.
    virtual void setLoadFinishedHandler(std::function<void(bool succeeded)> handler) = 0;
    virtual void setEventHandlers(WebPageEvents events) = 0;

    // The page's settings the map reports in its log.
    virtual bool isJavaScriptEnabled() const = 0;
    virtual void setJavaScriptEnabled(bool enabled) = 0;
    virtual bool isJavaEnabled() const = 0;  // no web view here runs Java: false
    virtual bool arePlugInsEnabled() const = 0;
};
