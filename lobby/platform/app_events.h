// Application-defined window events. Each stands in for WM_APP + n (0x8000 + n) and is a
// custom QEvent of type QEvent::User + n, posted with QCoreApplication::postEvent (thread-safe).
// The same number means different things to different windows, as noted per constant.
#pragma once

#include <QCoreApplication>
#include <QEvent>
#include <cstdint>
#include <string>
#include <vector>

namespace zrt {

// Event type for WM_APP + n.
constexpr QEvent::Type AppEventType(int n) {
    return static_cast<QEvent::Type>(QEvent::User + n);
}

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

// Events of the program's own that stand for no window message use numbers from 200 up (the
// lobby frame's are in lobby/app/session_events.h). The hall enumeration has its first answer
// (HallWindow).
constexpr int kEvHallsAnswered = 210;

// A posted application event with the two message parameters, plus owned payloads for the
// buffers that a window message would have carried (the handler owns them with the event).
class AppEvent : public QEvent {
  public:
    AppEvent(int n, intptr_t wParam = 0, intptr_t lParam = 0)
        : QEvent(AppEventType(n)), number(n), wParam(wParam), lParam(lParam) {}

    int number;
    intptr_t wParam;
    intptr_t lParam;
    std::string text;           // e.g. the host's address text, a news text
    std::vector<uint8_t> data;  // any other buffer

    static bool is(const QEvent* e, int n) { return e->type() == AppEventType(n); }
};

// Posts WM_APP + n to a window from any thread. The event queue takes ownership.
inline void PostAppEvent(QObject* target, int n, intptr_t wParam = 0, intptr_t lParam = 0) {
    QCoreApplication::postEvent(target, new AppEvent(n, wParam, lParam));
}
inline void PostAppEvent(QObject* target, AppEvent* event) {
    QCoreApplication::postEvent(target, event);
}

}  // namespace zrt
