#pragma once
#include <cctype>
#include <string>

// An address in the normal form of RFC 3986 (6.2.2): hexadecimal digits of escapes in capitals,
// escapes of unreserved characters decoded. Web engines send addresses in this form, so it is how
// a test compares an address it built with what came over the wire.
inline std::string pmNormalizedUri(const std::string& address) {
    const auto hex = [](char c) { return std::isxdigit(static_cast<unsigned char>(c)) != 0; };
    std::string normal;
    for (std::size_t i = 0; i < address.size(); ++i) {
        if (address[i] != '%' || i + 2 >= address.size() || !hex(address[i + 1]) || !hex(address[i + 2])) {
            normal += address[i];
            continue;
        }
        const char decoded = char(std::stoi(address.substr(i + 1, 2), nullptr, 16));
        if (std::isalnum(static_cast<unsigned char>(decoded)) || std::string("-._~").find(decoded) != std::string::npos)
            normal += decoded;
        else
            normal += {'%', char(std::toupper(address[i + 1])), char(std::toupper(address[i + 2]))};
        i += 2;
    }
    return normal;
}
