// LobbyContext: what the lobby screen's panes and dialogs share for one stay in a hall. The
// lobby frame (LobbyWnd) owns the objects and hands this out; nothing here owns anything.
//
// Threads: every member is used on the user-interface thread. The session receiver changes
// the tables inside `session->hall` under its lock and reaches the UI only through events
// posted to `lobbyWnd`.
#pragma once

#include <QString>
#include <QWidget>
#include <cstdint>
#include <string>

namespace zrt {

class LobbySession;
class SessionSender;
class GroupActions;
class PingSocket;

struct LobbyContext {
    LobbySession* session = nullptr;  // the hall's tables and the session state
    SessionSender* sender = nullptr;  // sends lobby messages to the server player
    GroupActions* groups = nullptr;   // create, join, quit, invite, launch
    PingSocket* ping = nullptr;       // UDP probes to other players (null until it exists)
    QWidget* lobbyWnd = nullptr;      // the lobby frame: session events are posted here
    QString gameDir;                  // the game's folder (profiles, saves, LobbyRes)
    // The hall as its session describes it.
    QString hallName;
    int maxPlayers = 0;
};

}  // namespace zrt
