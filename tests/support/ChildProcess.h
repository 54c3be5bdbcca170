#pragma once
#include <functional>
#include <string>

// Runs `body` in a forked child and returns its exit code (128 + signal when it died of one).
// With dropPrivileges the child first becomes the unprivileged user 65534, so that permission
// bits hold even though the tests run as root. The body must not use gtest assertions: it reports
// through its return value.
int runInChild(const std::function<int()>& body, bool dropPrivileges = false);

// Runs `body` in a child with a private mount namespace and a tmpfs of `size` ("4m") on the existing
// folder `mountPoint`, to make a full or (remounted) read-only disk; kNoNamespace when the system
// refuses (not root). The body reports as above.
inline constexpr int kNoNamespace = 77;
int runInPrivateTmpfs(const std::string& mountPoint, const char* size, const std::function<int()>& body);
