// The banner refresh worker.
#include "lobby/banner/banner_refresh.h"

#include "lobby/banner/banner_fetch.h"
#include "lobby/net/banner_record.h"
#include "lobby/net/request_code.h"
#include "lobby/net/server_exchange.h"

namespace zrt {

BannerRefresh::BannerRefresh(Ready ready) : ready_(std::move(ready)) {}

BannerRefresh::~BannerRefresh() {
    Cancel();
}

void BannerRefresh::Start(const std::string& host) {
    Cancel();
    // Both cancel handles exist before the worker does, so a cancel can never miss it.
    exchange_ = std::make_unique<ServerExchange>(host, kDatabasePort);
    exchange_->setRequest(encodeBannerRequest());
    fetchCancel_ = std::make_unique<FetchCancel>();
    running_ = true;
    worker_ = std::thread([this] {
        run();
        running_ = false;
    });
}

void BannerRefresh::Cancel() {
    if (!worker_.joinable()) return;
    exchange_->cancel();
    fetchCancel_->Cancel();
    worker_.join();
}

void BannerRefresh::run() {
    // The record comes in one read and must be whole: a reply of any other length is refused.
    const int received = exchange_->run();
    if (received != static_cast<int>(kBannerRecordSize)) return;
    const std::vector<uint8_t>& reply = exchange_->reply();
    std::optional<BannerRecord> record = decodeBannerRecord(reply.data(), reply.size());
    if (!record) return;
    NewBanner banner;
    banner.clickUrl = record->clickUrl;
    if (BannerFetch(record->pictureUrl, banner.bytes, fetchCancel_.get()) < 0) return;
    if (fetchCancel_->cancelled()) return;
    ready_(std::move(banner));
}

}  // namespace zrt
