// BannerFetch: one HTTP GET of a banner picture, following at most one redirect, into a
// buffer of fixed size. Runs on a worker thread; failures are silent (-1). Another thread can
// break a running fetch off at once through a FetchCancel.
#pragma once

#include <cstddef>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace zrt {

// The most a banner may hold; a longer body is cut here.
constexpr size_t kBannerBufferSize = 100000;

// Connecting is bounded to 10 s and each whole GET to 30 s, so a silent server can hold
// neither the lobby's start-up nor a refresh for long.
constexpr long kFetchConnectSeconds = 10;
constexpr long kFetchTransferSeconds = 30;

// Breaks off BannerFetch calls from another thread. Once Cancel() has been called, the fetch
// running with it ends at once with -1, and so does any fetch started with it later.
class FetchCancel {
  public:
    void Cancel();
    bool cancelled() const;

  private:
    friend class FetchRun;
    mutable std::mutex mutex_;
    bool cancelled_ = false;
    void* multi_ = nullptr;  // the running transfer's multi handle, woken by Cancel()
};

// Fetches `address` (http only). Returns the number of body bytes stored in `out` (at most
// kBannerBufferSize), or -1 on failure or when cancelled. A 301/302/303 answer is followed once,
// to another http address whose answer must then be 200; any other first status (401 included)
// is read like a 200.
int BannerFetch(const std::string& address, std::vector<unsigned char>& out,
                FetchCancel* cancel = nullptr);

// The address a redirect's "Location: " header line names: the text after the key up to the
// line's end, without the white space around it and the CR LF. Nothing for any other line.
std::optional<std::string> LocationHeader(std::string_view line);

}  // namespace zrt
