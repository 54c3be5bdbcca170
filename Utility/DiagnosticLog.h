#pragma once
#include <cstdarg>
#include <string>
#include <string_view>

// The diagnostic log: one time-stamped line per noteworthy step, in the user's documents folder.
// Never throws and never reports failure; a line that cannot be written is dropped.

inline constexpr const char* kLogFileName = "CartenaManagerLog_mac.txt";

struct LogTime {
    int year, month, day, hour, minute, second;
    long milliseconds;
};

std::string pmLogFilePath();
std::string pmFormatLogLine(const LogTime& time, std::string_view message);

void pmOutputDebugMsg(std::string_view message);
// printf-style convenience for the system's formatted log lines; numbers in the C locale's form
// only while LC_NUMERIC is "C", which both programs keep.
void pmOutputDebugMsgF(const char* format, ...) __attribute__((format(printf, 1, 2)));
void pmDeleteOutputDebugMsg();

std::string pmFormatV(const char* format, va_list args) __attribute__((format(printf, 1, 0)));
std::string pmFormat(const char* format, ...) __attribute__((format(printf, 1, 2)));
