#pragma once
#include <string_view>

// Number reading for telemetry text that never depends on the process locale. The readers follow
// the C library's atoi/atof habit of reading the longest leading number and giving 0 when there is
// none, but accept no "inf", "nan" or hexadecimal floats, and give 0 for a value out of range.

// Leading decimal number (optional blanks and sign); `ok` tells whether any digit was read.
double pmTextToDouble(std::string_view text, bool* ok = nullptr);
// Leading decimal integer (optional blanks and sign); 0 when none or out of range.
long pmTextToLong(std::string_view text, bool* ok = nullptr);
