// Application-defined window events. Each stands in for WM_APP + n (0x8000 + n) and is a
// custom QEvent of type QEvent::User + n, posted with QCoreApplication::postEvent (thread-safe).
// The same number means different things to different windows, as noted per constant.
#pragma once

#include <QEvent>

namespace zrt {

constexpr int kWmApp = 0x8000;

// Event type for WM_APP + n.
constexpr QEvent::Type AppEventType(int n) { return static_cast<QEvent::Type>(QEvent::User + n); }

// WM_APP + 1: exchange ended (ServerRequest), loading ended (LoadingBox), banner fetched
// (download window), join failed (HallWindow), groups changed (LobbyView).
constexpr int WM_APP_1 = 1;
constexpr int WM_SESSION_OPEN_FAILED = 1;
constexpr int WM_GROUPS_REFRESH = 1;
// WM_APP + 2: the hall session is open (HallWindow); own group launching (LobbyView).
constexpr int WM_SESSION_OPENED = 2;
constexpr int WM_GROUP_LAUNCH = 2;
constexpr int WM_LOBBY_MEMBER_LAUNCH = 3;
constexpr int WM_LOBBY_STATUS = 4;
constexpr int WM_LOBBY_INVITATION = 5;
constexpr int WM_LOBBY_SHOW_GROUP = 6;
constexpr int WM_LOBBY_INVITE_REPLY = 7;
constexpr int WM_LOBBY_NEWS = 8;
constexpr int WM_BANNER_READY = 9;
constexpr int WM_PING_RESULT = 100;

}  // namespace zrt
