#pragma once
#include <dlfcn.h>
#include <link.h>

#include <cstring>

// Mesa unloads its OpenGL driver at exit, before the leak checker runs, so allocations it keeps
// for the life of the process show up as leaks from an unknown module that no suppression can
// name. Call this once a GL context exists: the drivers then stay loaded, and the suppressions
// (tests/lsan.supp) can name them.
inline void keepGraphicsDriversLoaded() {
    dl_iterate_phdr(
        [](dl_phdr_info* info, size_t, void*) {
            if (info->dlpi_name && std::strstr(info->dlpi_name, "/dri/"))
                dlopen(info->dlpi_name, RTLD_NOW | RTLD_NOLOAD | RTLD_NODELETE);
            return 0;
        },
        nullptr);
}
