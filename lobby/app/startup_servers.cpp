// The start-up exchanges with the central servers.
#include "lobby/app/startup_servers.h"

#include <optional>

#include "lobby/data/url_shortcut.h"
#include "lobby/net/banner_record.h"
#include "lobby/net/request_code.h"
#include "lobby/net/version_messages.h"
#include "lobby/ui/banner_download.h"
#include "lobby/ui/process_state.h"
#include "lobby/ui/server_request.h"

namespace zrt {
namespace {

// Applies the outcome rules shared by every start-up exchange. Nothing when the reply is
// there to be read.
std::optional<StepOutcome> failed(int run, int result, const char* message) {
    if (run == 1 && result < 0) return StepOutcome{StepOutcome::Stop, message};
    if (result <= 0) return StepOutcome{StepOutcome::StopSilently, nullptr};
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
    int run = request.run();
    if (auto stop = failed(run, request.result(), kMsgVersionServer)) return *stop;
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
    int run = request.run();
    if (auto stop = failed(run, request.result(), kMsgDatabaseServer)) return *stop;
    std::optional<DatabaseVersionReply> reply =
        decodeDatabaseVersionReply(request.reply().data(), request.reply().size());
    Process().news = reply ? reply->news : std::string();
    return {};
}

StepOutcome FetchBannerRecord(const QString& gameDir) {
    ServerRequest request(nullptr, "Initializing Connection...", -1);
    request.setRequest(encodeBannerRequest());
    request.setPrefixWidth(2);
    int run = request.run();
    if (auto stop = failed(run, request.result(), kMsgDatabaseServer)) return *stop;
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
