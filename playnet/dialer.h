// Dial: connects a TCP socket to the first reachable of a host's addresses within a time
// limit, on the io thread; the callback gets the connected socket or nothing.
#pragma once

#include <asio.hpp>
#include <functional>
#include <optional>
#include <vector>

namespace playnet {

using DialDone = std::function<void(std::optional<asio::ip::tcp::socket>)>;

void Dial(asio::io_context& io, const std::vector<asio::ip::tcp::endpoint>& endpoints,
          int timeoutMs, DialDone done);

// Resolves dotted IPv4 text or a host name to its IPv4 addresses. Empty on failure.
std::vector<asio::ip::tcp::endpoint> ResolveHost(const std::string& host, uint16_t port);

}  // namespace playnet
