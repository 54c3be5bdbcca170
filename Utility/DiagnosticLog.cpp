#include "Utility/DiagnosticLog.h"

#include "Utility/FileSystem.h"
#include "Utility/UserFolders.h"

#include <fcntl.h>
#include <sys/time.h>
#include <unistd.h>

#include <cstdio>
#include <ctime>

std::string pmLogFilePath() { return pmGetDocumentsFolder() + "/" + kLogFileName; }

std::string pmFormatLogLine(const LogTime& t, std::string_view message) {
    char stamp[64];
    const int n = std::snprintf(stamp, sizeof stamp, "%04d-%02d-%02d %02d:%02d:%02d.%ld ", t.year, t.month,
                                t.day, t.hour, t.minute, t.second, t.milliseconds);
    std::string line(stamp, n > 0 ? static_cast<size_t>(n) : 0);
    line.append(message);
    line.push_back('\n');
    return line;
}

void pmOutputDebugMsg(std::string_view message) {
    try {
        // Date fields and milliseconds are two clock reads, as the line format has always had them.
        const std::time_t now = std::time(nullptr);
        struct tm local {};
        localtime_r(&now, &local);
        struct timeval tv {};
        gettimeofday(&tv, nullptr);
        const LogTime time{local.tm_year + 1900, local.tm_mon + 1, local.tm_mday, local.tm_hour,
                           local.tm_min,         local.tm_sec,     static_cast<long>(tv.tv_usec / 1000)};
        const std::string line = pmFormatLogLine(time, message);

        // One open-append-write-close per line: lines of several threads stay whole, and each line is
        // in the file when the call returns.
        const int fd = ::open(pmLogFilePath().c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
        if (fd < 0) return;
        const ssize_t written = ::write(fd, line.data(), line.size());
        (void)written;
        ::close(fd);
    } catch (...) {
        // Logging never fails its caller.
    }
}

std::string pmFormatV(const char* format, va_list args) {
    va_list copy;
    va_copy(copy, args);
    const int n = std::vsnprintf(nullptr, 0, format, copy);
    va_end(copy);
    if (n <= 0) return {};
    std::string text(static_cast<size_t>(n), '\0');
    std::vsnprintf(text.data(), text.size() + 1, format, args);
    return text;
}

std::string pmFormat(const char* format, ...) {
    va_list args;
    va_start(args, format);
    std::string text = pmFormatV(format, args);
    va_end(args);
    return text;
}

void pmOutputDebugMsgF(const char* format, ...) {
    va_list args;
    va_start(args, format);
    std::string text;
    try {
        text = pmFormatV(format, args);
    } catch (...) {
    }
    va_end(args);
    pmOutputDebugMsg(text);
}

void pmDeleteOutputDebugMsg() { pmDeleteFile(pmLogFilePath()); }
