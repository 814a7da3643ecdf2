// BannerFetch: one HTTP GET of a banner picture, following at most one redirect, into a
// buffer of fixed size. Runs on a worker thread; failures are silent (-1).
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace zrt {

// The most a banner may hold; a longer body is cut here.
constexpr size_t kBannerBufferSize = 100000;

// Fetches `address` (http only). Returns the number of body bytes stored in `out` (at most
// kBannerBufferSize), or -1 on failure. A 301/302/303 answer is followed once, to another http
// address whose answer must then be 200; any other first status is read like a 200.
// Connecting is bounded to 10 s and the whole exchange to 30 s, so a silent server cannot hold
// the lobby's start-up.
int BannerFetch(const std::string& address, std::vector<unsigned char>& out);

// The address a redirect's "Location: " header line names: the text after the key up to the
// line's end, without the white space around it and the CR LF. Nothing for any other line.
std::optional<std::string> LocationHeader(std::string_view line);

}  // namespace zrt
