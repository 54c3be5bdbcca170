#pragma once
#include <string>

// The text with every secret of the sign-in and upload flows replaced by "<redacted>", the rest of
// the line kept as it was: the values of access_token, code, refresh_token and client_secret, both
// as "key=value" (addresses, form bodies) and as "key": "value" (JSON replies), and the credential
// after "Bearer ". Log and console lines of those flows pass through it.
std::string pmRedactSecrets(const std::string& text);
// The line, redacted, to the diagnostic log; to standard error.
void pmLogRedacted(const std::string& line);
void pmPrintRedacted(const std::string& line);
