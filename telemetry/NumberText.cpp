#include "telemetry/NumberText.h"

#include "Utility/AsciiText.h"

#include <charconv>
#include <cmath>
#include <system_error>

namespace {

bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r'; }

// Skips blanks and one sign; true when a digit (or a point and a digit) follows, so that "inf",
// "nan" and bare signs read as no number.
bool numberStart(std::string_view text, std::size_t& pos, bool& negative, bool allowPoint) {
    pos = 0;
    while (pos < text.size() && isBlank(text[pos])) ++pos;
    negative = false;
    if (pos < text.size() && (text[pos] == '+' || text[pos] == '-')) {
        negative = text[pos] == '-';
        ++pos;
    }
    if (pos >= text.size()) return false;
    if (pmIsDigitAscii(text[pos])) return true;
    return allowPoint && text[pos] == '.' && pos + 1 < text.size() && pmIsDigitAscii(text[pos + 1]);
}

}  // namespace

double pmTextToDouble(std::string_view text, bool* ok) {
    if (ok) *ok = false;
    std::size_t pos;
    bool negative;
    if (!numberStart(text, pos, negative, true)) return 0.0;
    double value = 0.0;
    const char* first = text.data() + pos;
    const auto [end, error] = std::from_chars(first, text.data() + text.size(), value, std::chars_format::general);
    if (error != std::errc() || end == first || !std::isfinite(value)) return 0.0;
    if (ok) *ok = true;
    return negative ? -value : value;
}

long pmTextToLong(std::string_view text, bool* ok) {
    if (ok) *ok = false;
    std::size_t pos;
    bool negative;
    if (!numberStart(text, pos, negative, false)) return 0;
    long value = 0;
    const char* first = text.data() + pos;
    const auto [end, error] = std::from_chars(first, text.data() + text.size(), value);
    if (error != std::errc() || end == first) return 0;
    if (ok) *ok = true;
    return negative ? -value : value;
}
