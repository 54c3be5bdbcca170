#pragma once
#include "Utility/PreferencesStore.h"

#include <cstdint>
#include <string>

// The process's store: a file under $XDG_CONFIG_HOME/cartena-manager/, opened on first use. Tests
// and programs may install another (nullptr restores the file store).
PreferencesStore& pmPreferences();
void pmSetPreferences(PreferencesStore* store);

// Reads keep the stored type: an integer read of a string gives 0, a string read of an integer gives
// no string (the caller's default does not apply to a present key).
std::int32_t pmGetProfileInt(const std::string& key, std::int32_t defaultValue);
void pmWriteProfileInt(const std::string& key, std::int32_t value);
std::string pmGetProfileString(const std::string& key, const std::string& defaultValue);
void pmWriteProfileString(const std::string& key, const std::string& value);
bool pmSynchronizePreferences();

// The keys the system keeps, with their defaults where a number is read.
inline constexpr const char* kKeyCurrentFolder = "CurrentFolder";
inline constexpr const char* kKeyCaptureFolder = "CaptureFolder";
inline constexpr const char* kKeyExportFolder = "ExportFolder";
inline constexpr const char* kKeyVolume = "Volume";
inline constexpr std::int32_t kDefaultVolume = 8;
inline constexpr const char* kKeySpeedUnit = "SpeedUnit";
inline constexpr std::int32_t kDefaultSpeedUnit = 0;
inline constexpr const char* kKeyLanguageId = "LANGUAGE_ID";
inline constexpr const char* kKeySkinId = "SKIN_ID";
inline constexpr std::int32_t kDefaultSkinId = 0;
inline constexpr const char* kKeyYouTubeEmail = "YOUTUBE_EMAIL";
inline constexpr const char* kKeyFacebookKey = "FB_KEY";

// Folder lookups with their fallbacks to the user's standard folders.
std::string pmGetStorageFolder();
void pmSaveStorageFolder(const std::string& path);
std::string pmGetCaptureFolder();
void pmSaveCaptureFolder(const std::string& path);
std::string pmGetExportFolder();
void pmSaveExportFolder(const std::string& path);
