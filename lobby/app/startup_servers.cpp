// The start-up exchanges with the central servers.
#include "lobby/app/startup_servers.h"

#include <optional>

#include "lobby/data/process_state.h"
#include "lobby/data/url_shortcut.h"
#include "lobby/net/banner_record.h"
#include "lobby/net/request_code.h"
#include "lobby/net/version_messages.h"
#include "lobby/ui/banner_download.h"
#include "lobby/ui/server_request.h"

namespace zrt {
namespace {

// Runs one start-up exchange: a failure stops with `message`, a cancel or an empty end stops
// silently. Nothing when the reply is there to be read.
std::optional<StepOutcome> runExchange(ServerRequest& request, const char* message) {
    switch (request.run()) {
        case ExchangeOutcome::Failed:
            return StepOutcome{StepOutcome::Stop, message};
        case ExchangeOutcome::Cancelled:
        case ExchangeOutcome::NoReply:
            return StepOutcome{StepOutcome::StopSilently, nullptr};
        case ExchangeOutcome::Reply:
            break;
    }
    return std::nullopt;
}

std::string shortcutPath(const QString& gameDir, const char* name) {
    return (gameDir + "/LobbyRes/" + name).toStdString();
}

}  // namespace

StepOutcome CheckVersionServer(const QString& gameDir) {
    ServerRequest request(nullptr, "Checking this Version with the Corvessa Server...",
                          kVersionPort);
    request.setRequest(encodeVersionRequest(kVersionTag));
    if (auto stop = runExchange(request, kMsgVersionServer)) return *stop;
    std::optional<VersionReply> reply =
        decodeVersionReply(request.reply().data(), request.reply().size());
    if (!reply) return {StepOutcome::Stop, kMsgVersionServer};
    WriteUrlShortcut(reply->homeUrl, shortcutPath(gameDir, "zrthome.url"));
    Process().serverAddress = reply->databaseAddress;
    return {};
}

StepOutcome CheckDatabaseServer() {
    ServerRequest request(nullptr, "Checking this Version with the Database Server...", -1);
    request.setRequest(encodeDatabaseVersionRequest(kVersionTag));
    if (auto stop = runExchange(request, kMsgDatabaseServer)) return *stop;
    std::optional<DatabaseVersionReply> reply =
        decodeDatabaseVersionReply(request.reply().data(), request.reply().size());
    Process().news = reply ? reply->news : std::string();
    return {};
}

StepOutcome FetchBannerRecord(const QString& gameDir) {
    ServerRequest request(nullptr, "Initializing Connection...", -1);
    request.setRequest(encodeBannerRequest());
    request.setPrefixWidth(2);
    if (auto stop = runExchange(request, kMsgDatabaseServer)) return *stop;
    Process().banner.clear();
    if (request.result() > 2) {
        std::optional<BannerRecord> record =
            decodeBannerRecord(request.reply().data(), request.reply().size());
        if (record) {
            WriteUrlShortcut(record->clickUrl, shortcutPath(gameDir, "tempURL.url"));
            Process().banner = BannerDownload::Run(record->pictureUrl);
        }
    }
    return {};
}

}  // namespace zrt
