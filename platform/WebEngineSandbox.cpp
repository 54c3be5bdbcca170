#include "platform/WebEngineSandbox.h"

#include <unistd.h>

#include <cstdlib>

std::string pmPrepareWebEngineSandbox() {
    if (::geteuid() != 0) return {};
    const char* already = std::getenv("QTWEBENGINE_DISABLE_SANDBOX");
    if (already && *already) return {};
    ::setenv("QTWEBENGINE_DISABLE_SANDBOX", "1", 1);
    return "Running as root: the web view runs without its sandbox";
}
