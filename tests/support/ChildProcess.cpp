#include "support/ChildProcess.h"

#include <grp.h>
#include <sched.h>
#include <sys/mount.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>

int runInChild(const std::function<int()>& body, bool dropPrivileges) {
    const pid_t pid = fork();
    if (pid < 0) return -1;
    if (pid == 0) {
        if (dropPrivileges && (setgroups(0, nullptr) != 0 || setgid(65534) != 0 || setuid(65534) != 0))
            _exit(125);
        int code = 126;
        try {
            code = body();
        } catch (...) {
        }
        _exit(code);
    }
    int status = 0;
    while (waitpid(pid, &status, 0) < 0) {
    }
    if (WIFEXITED(status)) return WEXITSTATUS(status);
    if (WIFSIGNALED(status)) return 128 + WTERMSIG(status);
    return -1;
}

int runInPrivateTmpfs(const std::string& mountPoint, const char* size, const std::function<int()>& body) {
    const std::string options = std::string("size=") + size;
    return runInChild([&] {
        if (::unshare(CLONE_NEWNS) != 0 || ::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0 ||
            ::mount("tmpfs", mountPoint.c_str(), "tmpfs", 0, options.c_str()) != 0)
            return kNoNamespace;
        return body();
    });
}
