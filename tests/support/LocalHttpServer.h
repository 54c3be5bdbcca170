#pragma once
#include <nlohmann/json.hpp>

#include <string>

// Debian's python3 serving tests/support/local_http_server.py (see there for what it serves) on
// 127.0.0.1 and a free port, for the life of the object; stopped by its process id.
class LocalHttpServer {
public:
    // Plain HTTP, or HTTPS with that certificate and key (PEM files).
    LocalHttpServer(const std::string& certificate = {}, const std::string& key = {});
    ~LocalHttpServer();
    LocalHttpServer(const LocalHttpServer&) = delete;
    LocalHttpServer& operator=(const LocalHttpServer&) = delete;

    bool isRunning() const { return port_ > 0; }
    const std::string& error() const { return error_; }
    // "http://127.0.0.1:<port>" (or https) followed by the path.
    std::string url(const std::string& path) const {
        return scheme_ + "://127.0.0.1:" + std::to_string(port_) + path;
    }
    // Every request so far, in order: {"method", "path", "headers": [[name, value], ...]}, and for a
    // POST "body_length" and "body_sha256" of what it read, and "body" when that is short.
    nlohmann::json requests() const;
    // The faults of the coming POSTs (see local_http_server.py), in place of the ones before.
    void setFaults(const nlohmann::json& faults) const;

private:
    int pid_ = -1;
    int port_ = 0;
    std::string scheme_;
    std::string folder_;
    std::string error_;
};

// A closed port on 127.0.0.1: a request there is refused at once.
inline constexpr const char* kClosedLocalAddress = "http://127.0.0.1:1";
