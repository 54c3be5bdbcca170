#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <variant>

// The per-user settings store. Values keep their type: an integer read of a string gives 0, a
// string read of an integer gives no string (the caller's default does not apply to a present key).
using PreferenceValue = std::variant<std::int32_t, std::string>;

class PreferencesStore {
public:
    virtual ~PreferencesStore() = default;
    virtual std::optional<PreferenceValue> value(const std::string& key) const = 0;
    virtual void setValue(const std::string& key, const PreferenceValue& value) = 0;
    // Writes every change out now and returns once it is on disk (or failed: false).
    virtual bool synchronize() = 0;
};

// The process's store: a file under $XDG_CONFIG_HOME/cartena-manager/, opened on first use. Tests
// and programs may install another (nullptr restores the file store).
PreferencesStore& pmPreferences();
void pmSetPreferences(PreferencesStore* store);

std::int32_t pmGetProfileInt(const std::string& key, std::int32_t defaultValue);
void pmWriteProfileInt(const std::string& key, std::int32_t value);
std::string pmGetProfileString(const std::string& key, const std::string& defaultValue);
void pmWriteProfileString(const std::string& key, const std::string& value);
bool pmSynchronizePreferences();

// Folder lookups with their fallbacks to the user's standard folders.
std::string pmGetStorageFolder();
void pmSaveStorageFolder(const std::string& path);
std::string pmGetCaptureFolder();
void pmSaveCaptureFolder(const std::string& path);
std::string pmGetExportFolder();
void pmSaveExportFolder(const std::string& path);
