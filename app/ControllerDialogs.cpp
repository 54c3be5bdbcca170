#include "app/ControllerDialogs.h"

#include <charconv>

namespace {

constexpr const char* kUploadTypeKey = "UPLOAD_TYPE";
constexpr const char* kSelectedRowsKey = "SELECTED_ROWS";
constexpr const char* kFacebookKeyKey = "FBKey";
constexpr const char* kYouTubeKeyKey = "YouTubeKey";

std::string userInfoValue(const Notification& notification, const char* key) {
    const auto found = notification.userInfo.find(key);
    return found == notification.userInfo.end() ? std::string() : found->second;
}

}  // namespace

Notification pmSelectionNotification(int uploadType, const std::set<std::int32_t>& rows) {
    Notification notification{NotificationCenter::fullName(notify::kUploadVideoChanged), 0, {}};
    notification.userInfo[kUploadTypeKey] = std::to_string(uploadType);
    if (uploadType == 2) {
        std::string list;
        for (const std::int32_t row : rows) {
            if (!list.empty()) list += ',';
            list += std::to_string(row);
        }
        notification.userInfo[kSelectedRowsKey] = list;
        notification.object = static_cast<long>(rows.size());
    }
    return notification;
}

int pmUploadType(const Notification& notification) {
    const auto found = notification.userInfo.find(kUploadTypeKey);
    if (found == notification.userInfo.end()) return -1;
    int type = -1;
    const std::string& text = found->second;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), type);
    return error == std::errc() && end == text.data() + text.size() ? type : -1;
}

std::set<std::int32_t> pmSelectedRows(const Notification& notification) {
    std::set<std::int32_t> rows;
    const auto found = notification.userInfo.find(kSelectedRowsKey);
    if (found == notification.userInfo.end()) return rows;
    std::string_view text = found->second;
    while (!text.empty()) {
        const std::size_t comma = text.find(',');
        const std::string_view item = text.substr(0, comma);
        std::int32_t row = 0;
        const auto [end, error] = std::from_chars(item.data(), item.data() + item.size(), row);
        if (error == std::errc() && end == item.data() + item.size() && row >= 0) rows.insert(row);
        text = comma == std::string_view::npos ? std::string_view() : text.substr(comma + 1);
    }
    return rows;
}

Notification pmLoginNotification(const LoginOutcome& outcome) {
    Notification notification{NotificationCenter::fullName(notify::kUploadVideoChanged), 0, {}};
    notification.userInfo[kUploadTypeKey] = std::to_string(outcome.type);
    if (!outcome.facebookKey.empty()) notification.userInfo[kFacebookKeyKey] = outcome.facebookKey;
    if (!outcome.youTubeKey.empty()) notification.userInfo[kYouTubeKeyKey] = outcome.youTubeKey;
    return notification;
}

std::string pmFacebookKey(const Notification& notification) { return userInfoValue(notification, kFacebookKeyKey); }

std::string pmYouTubeKey(const Notification& notification) { return userInfoValue(notification, kYouTubeKeyKey); }
