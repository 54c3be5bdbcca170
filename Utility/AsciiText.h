#pragma once
#include <string>
#include <string_view>

// Case folding of ASCII letters only: file names and four-character codes must compare the same
// whatever locale the process runs in, and bytes above 0x7F are left alone.
inline char pmToUpperAscii(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }
inline char pmToLowerAscii(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

inline std::string pmToUpperAscii(std::string_view text) {
    std::string out(text);
    for (char& c : out) c = pmToUpperAscii(c);
    return out;
}

inline bool pmIsDigitAscii(char c) { return c >= '0' && c <= '9'; }
