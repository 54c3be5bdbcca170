#pragma once
#include <functional>

// Runs `body` in a forked child and returns its exit code (128 + signal when it died of one).
// With dropPrivileges the child first becomes the unprivileged user 65534, so that permission
// bits hold even though the tests run as root. The body must not use gtest assertions: it reports
// through its return value.
int runInChild(const std::function<int()>& body, bool dropPrivileges = false);
