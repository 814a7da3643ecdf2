// The start-up's three exchanges with the central servers: the version check with the version
// server (which names the database server), the version check with the database server (which
// carries the news), and the banner record (with the banner download when one is offered).
#pragma once

#include <QString>

namespace zrt {

inline constexpr const char* kMsgVersionServer =
    "Error Connecting to the Corvessa Server.\nPlease Try Later.";
inline constexpr const char* kMsgDatabaseServer =
    "Error Connecting to the Database Server.\nPlease Try Later.";

// How a start-up exchange ended: go on, stop with a message, or stop silently (cancelled, or
// nothing came back).
struct StepOutcome {
    enum Kind { Continue, Stop, StopSilently } kind = Continue;
    const char* message = nullptr;
};

// Step 9: asks the version server; writes LobbyRes/zrthome.url and makes the database server
// the ServerAddress.
StepOutcome CheckVersionServer(const QString& gameDir);
// Step 10: asks the database server; keeps the news text.
StepOutcome CheckDatabaseServer();
// Step 11: asks for the banner record; writes LobbyRes/tempURL.url and downloads the banner
// when one is offered.
StepOutcome FetchBannerRecord(const QString& gameDir);

}  // namespace zrt
