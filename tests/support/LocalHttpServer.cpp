#include "support/LocalHttpServer.h"

#include <nlohmann/json.hpp>

#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

namespace {

// Debian's own interpreter: another python3 may come first in PATH.
constexpr const char* kPython = "/usr/bin/python3";

// The first line the child writes, within 15 s.
std::string firstLine(int fd) {
    std::string line;
    char c = 0;
    pollfd wait{fd, POLLIN, 0};
    while (::poll(&wait, 1, 15000) > 0 && ::read(fd, &c, 1) == 1 && c != '\n') line.push_back(c);
    return line;
}

}  // namespace

LocalHttpServer::LocalHttpServer() {
    std::string folder = (std::filesystem::temp_directory_path() / "cartena-http-XXXXXX").string();
    if (!::mkdtemp(folder.data())) {
        error_ = "mkdtemp failed";
        return;
    }
    logPath_ = folder + "/requests.jsonl";
    const std::string script = std::string(CARTENA_SOURCE_DIR) + "/tests/support/local_http_server.py";
    int out[2];
    if (::pipe(out) != 0) {
        error_ = "pipe failed";
        return;
    }
    pid_ = ::fork();
    if (pid_ == 0) {
        ::dup2(out[1], STDOUT_FILENO);
        ::close(out[0]);
        ::close(out[1]);
        ::execl(kPython, kPython, script.c_str(), "--log", logPath_.c_str(), static_cast<char*>(nullptr));
        ::_exit(127);
    }
    ::close(out[1]);
    const std::string line = firstLine(out[0]);
    ::close(out[0]);
    if (line.rfind("PORT ", 0) == 0) port_ = std::atoi(line.c_str() + 5);
    if (port_ <= 0) error_ = "the server did not start: " + std::string(kPython) + " " + script;
}

LocalHttpServer::~LocalHttpServer() {
    if (pid_ > 0) {
        ::kill(pid_, SIGTERM);
        int status = 0;
        ::waitpid(pid_, &status, 0);
    }
    if (!logPath_.empty()) {
        std::error_code ignored;
        std::filesystem::remove_all(std::filesystem::path(logPath_).parent_path(), ignored);
    }
}

std::string LocalHttpServer::url(const std::string& path) const {
    return "http://127.0.0.1:" + std::to_string(port_) + path;
}

std::vector<std::string> LocalHttpServer::requests() const {
    std::vector<std::string> lines;
    std::ifstream log(logPath_);
    for (std::string line; std::getline(log, line);) {
        const auto request = nlohmann::json::parse(line, nullptr, false);
        if (request.is_object()) lines.push_back(request.value("method", "") + " " + request.value("path", ""));
    }
    return lines;
}

std::string LocalHttpServer::headerOf(const std::string& pathPrefix, const std::string& header) const {
    std::ifstream log(logPath_);
    for (std::string line; std::getline(log, line);) {
        const auto request = nlohmann::json::parse(line, nullptr, false);
        if (!request.is_object() || request.value("path", "").rfind(pathPrefix, 0) != 0) continue;
        for (const auto& pair : request["headers"])
            if (pair.size() == 2 && pair[0] == header) return pair[1].get<std::string>();
    }
    return {};
}
