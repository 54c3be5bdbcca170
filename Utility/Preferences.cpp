#include "Utility/Preferences.h"

#include "Utility/FilePreferencesStore.h"
#include "Utility/FileSystem.h"
#include "Utility/UserFolders.h"


namespace {

PreferencesStore* gInstalled = nullptr;

PreferencesStore& fileStore() {
    static FilePreferencesStore store(pmUserFolders().configHome + "/cartena-manager");
    return store;
}

}  // namespace

PreferencesStore& pmPreferences() { return gInstalled ? *gInstalled : fileStore(); }
void pmSetPreferences(PreferencesStore* store) { gInstalled = store; }

std::int32_t pmGetProfileInt(const std::string& key, std::int32_t defaultValue) {
    const auto value = pmPreferences().value(key);
    if (!value) return defaultValue;
    const auto* number = std::get_if<std::int32_t>(&*value);
    return number ? *number : 0;
}

void pmWriteProfileInt(const std::string& key, std::int32_t value) { pmPreferences().setValue(key, value); }

std::string pmGetProfileString(const std::string& key, const std::string& defaultValue) {
    const auto value = pmPreferences().value(key);
    if (!value) return defaultValue;
    const auto* text = std::get_if<std::string>(&*value);
    return text ? *text : std::string();
}

void pmWriteProfileString(const std::string& key, const std::string& value) {
    pmPreferences().setValue(key, value);
}

bool pmSynchronizePreferences() { return pmPreferences().synchronize(); }

std::string pmGetStorageFolder() {
    const std::string folder = pmGetProfileString(kKeyCurrentFolder, pmGetMoviesFolder());
    return pmIsFileExist(folder) ? folder : pmGetMoviesFolder();
}

void pmSaveStorageFolder(const std::string& path) {
    if (pmIsFileExist(path)) pmWriteProfileString(kKeyCurrentFolder, path);
}

std::string pmGetCaptureFolder() {
    const std::string folder = pmGetProfileString(kKeyCaptureFolder, "");
    return pmIsFileExist(folder) ? folder : pmGetDocumentsFolder();
}

void pmSaveCaptureFolder(const std::string& path) { pmWriteProfileString(kKeyCaptureFolder, path); }

std::string pmGetExportFolder() {
    const std::string folder = pmGetProfileString(kKeyExportFolder, "");
    return pmIsFileExist(folder) ? folder : pmGetDocumentsFolder();
}

void pmSaveExportFolder(const std::string& path) {
    if (pmIsFileExist(path)) pmWriteProfileString(kKeyExportFolder, path);
}
