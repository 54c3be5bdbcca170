#pragma once
#include "Utility/Preferences.h"

#include <map>

// A settings store in memory, installed for the life of the object. It counts the write-outs asked
// of it and can be told to fail them.
class MemoryPreferences : public PreferencesStore {
public:
    MemoryPreferences() { pmSetPreferences(this); }
    ~MemoryPreferences() override { pmSetPreferences(nullptr); }
    MemoryPreferences(const MemoryPreferences&) = delete;
    MemoryPreferences& operator=(const MemoryPreferences&) = delete;

    std::optional<PreferenceValue> value(const std::string& key) const override {
        if (const auto found = values.find(key); found != values.end()) return found->second;
        return std::nullopt;
    }
    void setValue(const std::string& key, const PreferenceValue& value) override { values[key] = value; }
    bool synchronize() override {
        ++synchronizeCount;
        return !failSynchronize;
    }

    std::map<std::string, PreferenceValue> values;
    int synchronizeCount = 0;
    bool failSynchronize = false;
};
