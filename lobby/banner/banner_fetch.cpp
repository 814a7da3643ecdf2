// BannerFetch over libcurl. Each GET runs through a multi handle of its own so that a
// FetchCancel can wake its wait at once (curl_multi_wakeup) instead of at the next time-out.
#include "lobby/banner/banner_fetch.h"

#include <curl/curl.h>

#include <string_view>

namespace zrt {

// Makes a running transfer's multi handle known to its FetchCancel for as long as it runs.
class FetchRun {
  public:
    FetchRun(FetchCancel* cancel, CURLM* multi) : cancel_(cancel) {
        if (!cancel_) return;
        std::lock_guard lock(cancel_->mutex_);
        cancel_->multi_ = multi;
    }
    ~FetchRun() {
        if (!cancel_) return;
        std::lock_guard lock(cancel_->mutex_);
        cancel_->multi_ = nullptr;
    }
    FetchRun(const FetchRun&) = delete;
    FetchRun& operator=(const FetchRun&) = delete;

    bool cancelled() const { return cancel_ && cancel_->cancelled(); }

  private:
    FetchCancel* cancel_;
};

void FetchCancel::Cancel() {
    std::lock_guard lock(mutex_);
    cancelled_ = true;
    if (multi_) curl_multi_wakeup(static_cast<CURLM*>(multi_));
}

bool FetchCancel::cancelled() const {
    std::lock_guard lock(mutex_);
    return cancelled_;
}

namespace {

bool isHttp(const std::string& address) {
    constexpr std::string_view scheme = "http://";
    if (address.size() <= scheme.size()) return false;
    for (size_t i = 0; i < scheme.size(); ++i) {
        char c = address[i];
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
        if (c != scheme[i]) return false;
    }
    return true;
}

struct Body {
    std::vector<unsigned char>* out;
    bool full = false;
};

size_t onBody(char* data, size_t size, size_t count, void* user) {
    auto* body = static_cast<Body*>(user);
    size_t n = size * count;
    size_t room = kBannerBufferSize - body->out->size();
    size_t take = n < room ? n : room;
    body->out->insert(body->out->end(), data, data + take);
    if (take < n) {
        body->full = true;
        return 0;  // ends the transfer; what fits is kept
    }
    return n;
}

// The "Location: " header of a redirect, up to its line end.
struct Headers {
    std::string location;
};

size_t onHeader(char* data, size_t size, size_t count, void* user) {
    auto* h = static_cast<Headers*>(user);
    if (auto location = LocationHeader(std::string_view(data, size * count)))
        h->location = std::move(*location);
    return size * count;
}

// Drives one transfer to its end. False when it was cancelled or the multi layer failed.
bool perform(CURLM* multi, FetchCancel* cancel, CURLcode& result) {
    FetchRun run(cancel, multi);
    for (;;) {
        if (run.cancelled()) return false;
        int running = 0;
        if (curl_multi_perform(multi, &running) != CURLM_OK) return false;
        if (running == 0) {
            int left = 0;
            CURLMsg* msg = curl_multi_info_read(multi, &left);
            result = (msg && msg->msg == CURLMSG_DONE) ? msg->data.result : CURLE_FAILED_INIT;
            return true;
        }
        // Woken by socket activity, by Cancel(), or after a second at the latest.
        if (curl_multi_poll(multi, nullptr, 0, 1000, nullptr) != CURLM_OK) return false;
    }
}

// One GET. Returns the status, or -1 when the transfer itself failed or was cancelled.
long get(const std::string& address, std::vector<unsigned char>& out, Headers& headers,
         FetchCancel* cancel) {
    CURL* curl = curl_easy_init();
    CURLM* multi = curl_multi_init();
    if (!curl || !multi) {
        if (curl) curl_easy_cleanup(curl);
        if (multi) curl_multi_cleanup(multi);
        return -1;
    }
    Body body{&out};
    curl_slist* extra = curl_slist_append(nullptr, "Accept: image/gif, text/*");
    curl_easy_setopt(curl, CURLOPT_URL, address.c_str());
    curl_easy_setopt(curl, CURLOPT_PROTOCOLS_STR, "http");
    curl_easy_setopt(curl, CURLOPT_FOLLOWLOCATION, 0L);
    curl_easy_setopt(curl, CURLOPT_USERAGENT, "MFC_Tear_Sample");
    curl_easy_setopt(curl, CURLOPT_HTTPHEADER, extra);
    curl_easy_setopt(curl, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(curl, CURLOPT_CONNECTTIMEOUT, kFetchConnectSeconds);
    curl_easy_setopt(curl, CURLOPT_TIMEOUT, kFetchTransferSeconds);
    curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, onBody);
    curl_easy_setopt(curl, CURLOPT_WRITEDATA, &body);
    curl_easy_setopt(curl, CURLOPT_HEADERFUNCTION, onHeader);
    curl_easy_setopt(curl, CURLOPT_HEADERDATA, &headers);
    curl_multi_add_handle(multi, curl);
    CURLcode rc = CURLE_OK;
    long status = -1;
    if (perform(multi, cancel, rc) && (rc == CURLE_OK || (rc == CURLE_WRITE_ERROR && body.full)))
        curl_easy_getinfo(curl, CURLINFO_RESPONSE_CODE, &status);
    curl_multi_remove_handle(multi, curl);
    curl_easy_cleanup(curl);
    curl_multi_cleanup(multi);
    curl_slist_free_all(extra);
    return status;
}

}  // namespace

std::optional<std::string> LocationHeader(std::string_view line) {
    constexpr std::string_view key = "Location: ";
    if (line.substr(0, key.size()) != key) return std::nullopt;
    std::string_view value = line.substr(key.size());
    size_t end = value.find('\n');
    if (end != std::string_view::npos) value = value.substr(0, end);
    // The white space HTTP allows around a header's value (and the CR of the line end) is not
    // part of the address.
    constexpr std::string_view space = " \t\r";
    size_t first = value.find_first_not_of(space);
    if (first == std::string_view::npos) return std::string();
    value = value.substr(first, value.find_last_not_of(space) - first + 1);
    return std::string(value);
}

int BannerFetch(const std::string& address, std::vector<unsigned char>& out, FetchCancel* cancel) {
    static std::once_flag init;
    std::call_once(init, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });

    out.clear();
    if (!isHttp(address)) return -1;
    Headers headers;
    long status = get(address, out, headers, cancel);
    if (status < 0) return -1;
    if (status == 301 || status == 302 || status == 303) {
        if (headers.location.empty() || !isHttp(headers.location)) return -1;
        out.clear();
        Headers again;
        if (get(headers.location, out, again, cancel) != 200) return -1;
    }
    return static_cast<int>(out.size());
}

}  // namespace zrt
