#pragma once
#include "Utility/PreferencesStore.h"

#include <nlohmann/json.hpp>

#include <string>

// The settings file: a JSON object whose numbers and strings keep their type. Each change is written
// to a temporary file (mode 0600) that is flushed and renamed over the old one, so a crash or a full
// disk never leaves half a file. A file that cannot be parsed reads as empty and is moved aside
// before the next write. When the folder cannot be written, changes live in memory for the run.
class FilePreferencesStore : public PreferencesStore {
public:
    explicit FilePreferencesStore(std::string folder);

    std::optional<PreferenceValue> value(const std::string& key) const override;
    void setValue(const std::string& key, const PreferenceValue& value) override;
    bool synchronize() override;

    const std::string& filePath() const { return file_; }
    // Where an unreadable file was moved, once it was; empty otherwise.
    const std::string& setAsidePath() const { return setAside_; }

private:
    void load();
    bool save(bool syncFolder);
    bool moveUnreadableFileAside();
    void reportWriteFailure(const std::string& what);

    std::string folder_;
    std::string file_;
    std::string setAside_;
    nlohmann::json values_ = nlohmann::json::object();
    bool unreadableFileInPlace_ = false;
    bool writeFailureReported_ = false;
};
