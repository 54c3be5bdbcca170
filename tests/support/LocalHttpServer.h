#pragma once
#include <string>
#include <vector>

// Debian's python3 serving tests/support/local_http_server.py on 127.0.0.1 and a free port, for
// the life of the object; stopped by its process id. See the script for what it serves.
class LocalHttpServer {
public:
    LocalHttpServer();
    ~LocalHttpServer();
    LocalHttpServer(const LocalHttpServer&) = delete;
    LocalHttpServer& operator=(const LocalHttpServer&) = delete;

    // False when the server could not be started (error() says why).
    bool isRunning() const { return port_ > 0; }
    const std::string& error() const { return error_; }
    int port() const { return port_; }
    // "http://127.0.0.1:<port>" followed by the path.
    std::string url(const std::string& path) const;

    // The requests so far, one per line: method, a blank and the path.
    std::vector<std::string> requests() const;
    // The value of a header of the requests whose path starts with `pathPrefix` (the first found).
    std::string headerOf(const std::string& pathPrefix, const std::string& header) const;

private:
    int pid_ = -1;
    int port_ = 0;
    std::string logPath_;
    std::string error_;
};

// A closed port on 127.0.0.1: a request there is refused at once.
inline constexpr const char* kClosedLocalAddress = "http://127.0.0.1:1";
