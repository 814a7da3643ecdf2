// Own address lookup: gethostname + getaddrinfo(AF_INET), first address.
#include "lobby/platform/local_address.h"

#include <arpa/inet.h>
#include <netdb.h>
#include <netinet/in.h>
#include <unistd.h>

namespace zrt {

std::string LocalHostName() {
    char name[256] = {};
    if (::gethostname(name, sizeof name - 1) != 0) return {};
    return name;
}

std::string FirstIpv4AddressOf(const std::string& hostName) {
    if (hostName.empty()) return {};
    addrinfo hints{};
    hints.ai_family = AF_INET;
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* found = nullptr;
    if (::getaddrinfo(hostName.c_str(), nullptr, &hints, &found) != 0 || !found) return {};
    std::string text;
    for (addrinfo* a = found; a; a = a->ai_next) {
        if (a->ai_family != AF_INET) continue;
        char buf[INET_ADDRSTRLEN] = {};
        auto* sin = reinterpret_cast<sockaddr_in*>(a->ai_addr);
        if (::inet_ntop(AF_INET, &sin->sin_addr, buf, sizeof buf)) {
            text = buf;
            break;
        }
    }
    ::freeaddrinfo(found);
    return text;
}

std::string FindLocalAddress() {
    return FirstIpv4AddressOf(LocalHostName());
}

}  // namespace zrt
