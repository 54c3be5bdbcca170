#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <variant>

// Where the per-user settings are kept. Values keep their type; std::monostate stands for a value
// of some other kind (a hand-edited file).
using PreferenceValue = std::variant<std::int32_t, std::string, std::monostate>;

class PreferencesStore {
public:
    virtual ~PreferencesStore() = default;
    virtual std::optional<PreferenceValue> value(const std::string& key) const = 0;
    virtual void setValue(const std::string& key, const PreferenceValue& value) = 0;
    // Writes every change out now and returns once it is on disk (or failed: false).
    virtual bool synchronize() = 0;
};
