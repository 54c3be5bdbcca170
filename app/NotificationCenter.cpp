#include "app/NotificationCenter.h"

#include <algorithm>

NotificationCenter::Token NotificationCenter::addObserver(const std::string& name, Handler handler) {
    observers_.push_back({++lastToken_, name, std::move(handler)});
    return lastToken_;
}

void NotificationCenter::removeObserver(Token token) {
    std::erase_if(observers_, [token](const Observer& o) { return o.token == token; });
}

void NotificationCenter::post(const Notification& notification) {
    // Handlers may add or remove observers while we deliver: deliver to a snapshot of the tokens and
    // skip the ones removed meanwhile.
    std::vector<Token> tokens;
    for (const auto& o : observers_)
        if (o.name == notification.name) tokens.push_back(o.token);
    for (Token token : tokens) {
        auto it = std::find_if(observers_.begin(), observers_.end(), [token](const Observer& o) { return o.token == token; });
        if (it == observers_.end()) continue;
        Handler handler = it->handler;
        handler(notification);
    }
}

void NotificationCenter::post(const std::string& shortName, long object, std::map<std::string, std::string> userInfo) {
    post(Notification{fullName(shortName), object, std::move(userInfo)});
}
