#pragma once
#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

// The interface languages, the choice of the current one and the system's preferred language.
//
// A language id is 0 to 21 (0 English, the fallback for anything unknown). Only the ids of the
// language menu (English and Traditional Chinese) ever become current; the current id lives in
// the setting "LANGUAGE_ID", written at the first lookup from what the system prefers.

inline constexpr std::int32_t kLanguageEnglish = 0;
inline constexpr std::int32_t kLanguageTraditionalChinese = 1;
inline constexpr std::int32_t kLanguageArabic = 13;
inline constexpr std::int32_t kLanguageCount = 22;

struct LanguageInfo {
    std::int32_t id;
    const char* tableName;      // the name its string table is found by
    const char* prefixes[2];    // system language prefixes, the second may be null
};

// Every language, indexed by id.
extern const std::array<LanguageInfo, kLanguageCount> kLanguageTable;

// The languages the user can choose, in menu order.
inline constexpr std::array<std::int32_t, 2> kLanguageMenu = {kLanguageEnglish, kLanguageTraditionalChinese};

// The string table of an id; "English" for 0 and for any id outside 1..21.
const char* pmGetLanguageTableName(std::int32_t languageId);
// "IDS_LANG_%02d" with id + 1: the key of the language's label in the language menu.
std::string pmGetLanguageLabelKey(std::int32_t languageId);

// The id whose prefix the entry begins with (case-sensitive, in table order), 0 when none does.
std::int32_t pmLanguageIdForSystemLanguage(std::string_view firstPreferredLanguage);

// The system's first preferred language as a language code ("en-US", "zh-Hant-TW"), empty when
// the system names none. Read from the environment the way gettext picks a message language: the
// first non-empty entry of LANGUAGE, unless the effective message locale (the first non-empty of
// LC_ALL, LC_MESSAGES, LANG; none at all counts as "C") is exactly "C" or "POSIX"; otherwise that
// effective locale. The codeset and modifier are dropped, '_' becomes '-', and Chinese regions get
// their script (zh_TW, zh_HK, zh_MO: zh-Hant-; zh_CN, zh_SG: zh-Hans-).
using EnvironmentLookup = std::function<const char*(const char* name)>;
std::string pmPreferredLanguageFromEnvironment(const EnvironmentLookup& lookup);
std::string pmGetSystemPreferredLanguage();  // the process environment

// The id matching the system's first preferred language (any of the 22, supported or not).
std::int32_t pmDetectUILanguage();

// The current language: the stored "LANGUAGE_ID" when it names a menu language, else 0 (the stored
// value is left as it is). Without a stored value the system's language is detected, replaced by 0
// when it is not a menu language, and stored at once.
std::int32_t getLanguageId();
std::int32_t pmGetLanguageID();
// Stores the id under "LANGUAGE_ID" and has the settings written out now; false when they could
// not be written (the value still holds for this run).
bool saveLanguageId(std::int32_t languageId);

// The language at a position of the language menu; 0 for a position outside it.
std::int32_t pmGetLanguageByMenuIndex(std::int32_t index);
bool pmIsSupportedLanguage(std::int32_t languageId);
// Whether the current language is laid out right to left (Arabic only).
bool pmIsRightLayout();
