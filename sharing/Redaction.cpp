#include "sharing/Redaction.h"

#include "Utility/DiagnosticLog.h"

#include <array>
#include <cstdio>
#include <string_view>

namespace {

constexpr std::string_view kRedacted = "<redacted>";
constexpr std::array<std::string_view, 4> kSecretKeys = {"access_token", "code", "refresh_token", "client_secret"};

bool isKeyChar(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_'; }

bool isSecretKey(std::string_view key) {
    for (const std::string_view secret : kSecretKeys)
        if (key == secret) return true;
    return false;
}

// Where the secret value starting at `from` ends: a query or fragment separator, white space or a
// quote closes it.
std::size_t valueEnd(const std::string& text, std::size_t from, std::string_view stops) {
    const std::size_t end = text.find_first_of(stops, from);
    return end == std::string::npos ? text.size() : end;
}

}  // namespace

std::string pmRedactSecrets(const std::string& text) {
    std::string out;
    out.reserve(text.size());
    std::size_t i = 0;
    while (i < text.size()) {
        // A whole word: the key must not be the tail of a longer name ("postcode=").
        if (isKeyChar(text[i]) && (i == 0 || !isKeyChar(text[i - 1]))) {
            std::size_t end = i;
            while (end < text.size() && isKeyChar(text[end])) ++end;
            const std::string_view word(text.data() + i, end - i);
            const bool quoted = i > 0 && text[i - 1] == '"' && end < text.size() && text[end] == '"';
            if (isSecretKey(word) && end < text.size() && text[end] == '=') {
                const std::size_t stop = valueEnd(text, end + 1, "&#; \t\r\n\"'");
                out.append(word).append("=").append(stop > end + 1 ? kRedacted : "");
                i = stop;
                continue;
            }
            if (isSecretKey(word) && quoted) {
                // "key" : "value"
                std::size_t value = text.find_first_not_of(" \t\r\n", end + 1);
                if (value != std::string::npos && text[value] == ':') value = text.find_first_not_of(" \t\r\n", value + 1);
                if (value != std::string::npos && text[value] == '"') {
                    std::size_t close = value + 1;
                    while (close < text.size() && text[close] != '"') close += text[close] == '\\' ? 2 : 1;
                    out.append(text, i, value + 1 - i).append(kRedacted);
                    i = std::min(close, text.size());
                    continue;
                }
            }
            if (word == "Bearer" && end < text.size() && text[end] == ' ') {
                const std::size_t stop = valueEnd(text, end + 1, " \t\r\n\"'");
                out.append("Bearer ").append(kRedacted);
                i = stop;
                continue;
            }
            out.append(word);
            i = end;
            continue;
        }
        out.push_back(text[i++]);
    }
    return out;
}

void pmLogRedacted(const std::string& line) { pmOutputDebugMsg(pmRedactSecrets(line)); }

void pmPrintRedacted(const std::string& line) { std::fprintf(stderr, "%s\n", pmRedactSecrets(line).c_str()); }
