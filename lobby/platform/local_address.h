// The own machine's IPv4 address, which every player announces in a hall.
#pragma once

#include <string>

namespace zrt {

// The first IPv4 address of the local host name as dotted text; empty when the name cannot
// be had or does not resolve.
std::string FindLocalAddress();

// The same for a given host name (the start-up uses the machine's own name).
std::string FirstIpv4AddressOf(const std::string& hostName);

// The machine's host name (at most 255 characters); empty on failure.
std::string LocalHostName();

}  // namespace zrt
