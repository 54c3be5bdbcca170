#include "support/LocalHttpServer.h"

#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <vector>

LocalHttpServer::LocalHttpServer(const std::string& certificate, const std::string& key)
    : scheme_(certificate.empty() ? "http" : "https") {
    folder_ = (std::filesystem::temp_directory_path() / "cartena-http-XXXXXX").string();
    int out[2];
    if (!::mkdtemp(folder_.data()) || ::pipe(out) != 0) {
        error_ = "no temporary folder or pipe";
        return;
    }
    // Debian's own interpreter: another python3 may come first in PATH.
    const char* python = "/usr/bin/python3";
    const std::string script = std::string(CARTENA_SOURCE_DIR) + "/tests/support/local_http_server.py";
    const std::string log = folder_ + "/requests.jsonl";
    const std::string faults = folder_ + "/faults.json";
    std::vector<const char*> arguments{python, script.c_str(), "--log", log.c_str(), "--faults", faults.c_str()};
    if (!certificate.empty()) arguments.insert(arguments.end(), {"--certificate", certificate.c_str(), "--key", key.c_str()});
    arguments.push_back(nullptr);
    pid_ = ::fork();
    if (pid_ == 0) {
        ::dup2(out[1], STDOUT_FILENO);
        ::execv(python, const_cast<char* const*>(arguments.data()));
        ::_exit(127);
    }
    ::close(out[1]);
    // Its first line, "PORT <number>", once it listens.
    std::string line;
    char c = 0;
    pollfd ready{out[0], POLLIN, 0};
    while (::poll(&ready, 1, 15000) > 0 && ::read(out[0], &c, 1) == 1 && c != '\n') line.push_back(c);
    ::close(out[0]);
    if (line.rfind("PORT ", 0) == 0) port_ = std::atoi(line.c_str() + 5);
    if (port_ <= 0) error_ = "the server did not start: " + std::string(python) + " " + script;
}

LocalHttpServer::~LocalHttpServer() {
    if (pid_ > 0 && ::kill(pid_, SIGTERM) == 0) ::waitpid(pid_, nullptr, 0);
    std::error_code ignored;
    std::filesystem::remove_all(folder_, ignored);
}

nlohmann::json LocalHttpServer::requests() const {
    nlohmann::json all = nlohmann::json::array();
    std::ifstream log(folder_ + "/requests.jsonl");
    for (std::string line; std::getline(log, line);) all.push_back(nlohmann::json::parse(line, nullptr, false));
    return all;
}

void LocalHttpServer::setFaults(const nlohmann::json& faults) const {
    // Written whole and renamed, so that the server never reads half a list.
    std::ofstream(folder_ + "/faults.new") << faults.dump();
    std::filesystem::rename(folder_ + "/faults.new", folder_ + "/faults.json");
}
