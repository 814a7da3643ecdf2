// The events by which the session receiver reaches the lobby frame. The receiver never touches
// a widget: LobbySessionUi posts one of these to the LobbyWnd for every change, in order, and
// the frame hands each to the pane or dialog it concerns on the user-interface thread.
//
// Numbers named by the lobby's window messages keep them (WM_GROUPS_REFRESH, WM_LOBBY_*); the
// list and repaint updates that have no window message of their own use numbers from 200 up.
#pragma once

#include "lobby/platform/app_events.h"

namespace zrt {

enum SessionEventNumber {
    kEvPlayerLineAdded = 200,    // wParam player id, text = the line
    kEvPlayerLineDeleted = 201,  // wParam player id
    kEvChatLine = 202,           // wParam sender id, lParam bit 0 whisper, bit 1 group dialog;
                                 // text = sender name, data = the chat text
    kEvGroupDialogJoined = 203,  // wParam player id
    kEvGroupDialogLeft = 204,    // wParam player id
    kEvGroupDialogClose = 205,
    kEvSessionError = 206,  // text = the message
    kEvRepaintTopPanel = 207,
    kEvRepaintPlayerList = 208,
    kEvGroupsRefresh = 209,  // wParam 1 = the group table changed, 0 = repaint
};

}  // namespace zrt
