// BannerRefresh: the periodic banner refresh on a worker thread. It asks the database server
// for a banner record (request code 5 sent alone, one reply of exactly 302 bytes expected),
// then fetches the record's picture over HTTP. A complete refresh hands the new banner to the
// `ready` callback, on the worker thread; a failed one ends silently. At most one refresh
// runs; cancelling breaks off its socket exchange and its HTTP fetch at once and waits for the
// worker to end, so destroying the object never leaves a thread behind.
#pragma once

#include <atomic>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

namespace zrt {

class FetchCancel;
class ServerExchange;

// What a complete refresh hands over: the banner's bytes (possibly none, for an empty body)
// and the click-through address of its record.
struct NewBanner {
    std::vector<unsigned char> bytes;
    std::string clickUrl;
};

class BannerRefresh {
  public:
    using Ready = std::function<void(NewBanner)>;

    explicit BannerRefresh(Ready ready);
    ~BannerRefresh();
    BannerRefresh(const BannerRefresh&) = delete;
    BannerRefresh& operator=(const BannerRefresh&) = delete;

    // Cancels a refresh that is still running, then starts one against the database server
    // at `host` (port 1694).
    void Start(const std::string& host);
    // Breaks off a running refresh and returns when its worker has ended.
    void Cancel();
    // True from Start() until the worker has done its work (or given up).
    bool running() const { return running_.load(); }

  private:
    void run();

    Ready ready_;
    std::thread worker_;
    std::unique_ptr<ServerExchange> exchange_;
    std::unique_ptr<FetchCancel> fetchCancel_;
    std::atomic<bool> running_{false};
};

}  // namespace zrt
