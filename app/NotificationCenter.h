#pragma once
#include <functional>
#include <map>
#include <string>
#include <vector>

// The application's notifications: views post what the user did, the controller observes. Names are
// the prefix plus a short name; there is no sender filter. Delivery is synchronous on the posting
// (main) thread, in the order observers registered.
inline constexpr const char* kNotificationPrefix = "com.norvel.cartenamanager:";

struct Notification {
    std::string name;
    long object = 0;                                // the integer payload (index, code, value)
    std::map<std::string, std::string> userInfo;  // e.g. "SLIDER_TYPE" -> "volume"
};

class NotificationCenter {
public:
    using Handler = std::function<void(const Notification&)>;
    using Token = int;

    static std::string fullName(const std::string& shortName) { return kNotificationPrefix + shortName; }

    Token addObserver(const std::string& name, Handler handler);
    void removeObserver(Token token);
    void post(const Notification& notification);
    // Posts "prefix + shortName" with the integer payload and optional user information.
    void post(const std::string& shortName, long object = 0, std::map<std::string, std::string> userInfo = {});

private:
    struct Observer {
        Token token;
        std::string name;
        Handler handler;
    };
    std::vector<Observer> observers_;
    Token lastToken_ = 0;
};

// The notification names the controller and the views exchange.
namespace notify {
inline constexpr const char* kComboBoxChanged = "ComboBoxChangedNotification";
inline constexpr const char* kListBoxChanged = "ListBoxChangedNotification";
inline constexpr const char* kCheckBoxChanged = "CheckBoxChangedNotification";
inline constexpr const char* kFileListBoxChanged = "FileListBoxChangedNotification";
inline constexpr const char* kFileListBoxDoubleClick = "FileListBoxDoubleClickNotification";
inline constexpr const char* kFileListViewDoubleClick = "FileListViewDoubleClickNotification";
inline constexpr const char* kFileListViewCheckBox = "FileListViewCheckBoxNotification";
inline constexpr const char* kCalendarSelChanged = "CalendarSelChangedNotification";
inline constexpr const char* kSliderChanged = "SliderChangedNotification";
inline constexpr const char* kDoSliderChanged = "DoSliderChangedNotification";
inline constexpr const char* kPlayBarButtonClicked = "PlayBarButtonClickedNotification";
inline constexpr const char* kMapViewReady = "MapViewReadyNotification";
inline constexpr const char* kUploadVideoChanged = "UploadVideoChangedNotification";
inline constexpr const char* kSaveCamera2Image = "SaveCamera2ImageNotification";
}  // namespace notify
