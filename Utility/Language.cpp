#include "Utility/Language.h"

#include "Utility/DiagnosticLog.h"
#include "Utility/Preferences.h"

#include <cstdlib>

const std::array<LanguageInfo, kLanguageCount> kLanguageTable = {{
    {0, "English", {"en", nullptr}},
    {1, "TraditionalChinese", {"zh-Hant", nullptr}},
    {2, "SimplifiedChinese", {"zh-Hans", nullptr}},
    {3, "Russian", {"ru", nullptr}},
    {4, "Korean", {"ko", nullptr}},
    {5, "Czech", {"cs", nullptr}},
    {6, "Dutch", {"nl", nullptr}},
    {7, "French", {"fr", nullptr}},
    {8, "German", {"de", nullptr}},
    {9, "Hungarian", {"hu", nullptr}},
    {10, "Italian", {"it", nullptr}},
    {11, "Polish", {"pl", nullptr}},
    {12, "Spanish", {"es", nullptr}},
    {13, "Arabic", {"sa", nullptr}},
    {14, "Lithuanian", {"lt", nullptr}},
    {15, "Romanian", {"ro", nullptr}},
    {16, "Slovakian", {"sk", nullptr}},
    {17, "Portuguese", {"pt", nullptr}},
    {18, "Slovinian", {"sl", nullptr}},
    {19, "Thai", {"th", nullptr}},
    {20, "Turkish", {"tr", nullptr}},
    {21, "Japanese", {"jp", "ja"}},
}};

const char* pmGetLanguageTableName(std::int32_t languageId) {
    if (languageId < 1 || languageId >= kLanguageCount) return kLanguageTable[kLanguageEnglish].tableName;
    return kLanguageTable[static_cast<std::size_t>(languageId)].tableName;
}

std::string pmGetLanguageLabelKey(std::int32_t languageId) { return pmFormat("IDS_LANG_%02d", languageId + 1); }

std::int32_t pmLanguageIdForSystemLanguage(std::string_view firstPreferredLanguage) {
    for (const LanguageInfo& language : kLanguageTable) {
        for (const char* prefix : language.prefixes) {
            if (prefix && firstPreferredLanguage.starts_with(prefix)) return language.id;
        }
    }
    return kLanguageEnglish;
}

namespace {

const char* nonEmpty(const char* value) { return value && *value ? value : nullptr; }

// "zh_TW.UTF-8@euro" -> "zh-Hant-TW"; the C locale names no language.
std::string languageCodeOfLocale(std::string_view locale) {
    locale = locale.substr(0, locale.find_first_of(".@"));
    if (locale == "C" || locale == "POSIX") return {};
    std::string code(locale);
    for (char& c : code) {
        if (c == '_') c = '-';
    }
    // Chinese locales name a region; the language table tells the two scripts apart.
    static constexpr std::pair<std::string_view, std::string_view> kChineseRegions[] = {
        {"zh-TW", "zh-Hant-TW"}, {"zh-HK", "zh-Hant-HK"}, {"zh-MO", "zh-Hant-MO"},
        {"zh-CN", "zh-Hans-CN"}, {"zh-SG", "zh-Hans-SG"},
    };
    for (const auto& [region, scripted] : kChineseRegions) {
        if (code == region) return std::string(scripted);
    }
    return code;
}

}  // namespace

std::string pmPreferredLanguageFromEnvironment(const EnvironmentLookup& lookup) {
    const char* messages = nonEmpty(lookup("LC_ALL"));
    if (!messages) messages = nonEmpty(lookup("LC_MESSAGES"));
    if (!messages) messages = nonEmpty(lookup("LANG"));
    const std::string_view locale = messages ? messages : "C";

    // Like gettext, a program in the C locale ignores LANGUAGE: its output must not depend on it.
    if (locale != "C" && locale != "POSIX") {
        if (const char* list = nonEmpty(lookup("LANGUAGE"))) {
            std::string_view rest = list;
            while (!rest.empty()) {
                const std::size_t colon = rest.find(':');
                const std::string_view entry = rest.substr(0, colon);
                if (!entry.empty()) return languageCodeOfLocale(entry);
                if (colon == std::string_view::npos) break;
                rest.remove_prefix(colon + 1);
            }
        }
    }
    return languageCodeOfLocale(locale);
}

std::string pmGetSystemPreferredLanguage() {
    return pmPreferredLanguageFromEnvironment([](const char* name) { return std::getenv(name); });
}

std::int32_t pmDetectUILanguage() { return pmLanguageIdForSystemLanguage(pmGetSystemPreferredLanguage()); }

bool pmIsSupportedLanguage(std::int32_t languageId) {
    for (const std::int32_t id : kLanguageMenu) {
        if (id == languageId) return true;
    }
    return false;
}

std::int32_t getLanguageId() {
    if (pmPreferences().value(kKeyLanguageId)) {
        const std::int32_t stored = pmGetProfileInt(kKeyLanguageId, kLanguageEnglish);
        return pmIsSupportedLanguage(stored) ? stored : kLanguageEnglish;
    }
    const std::string system = pmGetSystemPreferredLanguage();
    const std::int32_t detected = pmLanguageIdForSystemLanguage(system);
    const std::int32_t id = pmIsSupportedLanguage(detected) ? detected : kLanguageEnglish;
    pmOutputDebugMsgF("getLanguageId - system language = \"%s\", detected = %d, current = %d", system.c_str(),
                      detected, id);
    saveLanguageId(id);
    return id;
}

std::int32_t pmGetLanguageID() { return getLanguageId(); }

bool saveLanguageId(std::int32_t languageId) {
    pmWriteProfileInt(kKeyLanguageId, languageId);
    if (pmSynchronizePreferences()) return true;
    pmOutputDebugMsgF("saveLanguageId - language %d could not be written to the settings", languageId);
    return false;
}

std::int32_t pmGetLanguageByMenuIndex(std::int32_t index) {
    if (index < 0 || static_cast<std::size_t>(index) >= kLanguageMenu.size()) return kLanguageEnglish;
    return kLanguageMenu[static_cast<std::size_t>(index)];
}

bool pmIsRightLayout() { return getLanguageId() == kLanguageArabic; }
