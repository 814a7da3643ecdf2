// Sending chat lines: a line for the whole hall, or whispers to chosen players (the chat
// input with its whisper box, the whisper dialog, the group dialog's whisper to the group).
//
// Thread: user interface.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

#include "lobby/session/lobby_session.h"
#include "lobby/session/session_ui.h"

namespace zrt {

// Sends the text (cut to 100 characters) to the hall, plain. The line shows when the server's
// relay comes back. False (nothing sent) before the welcome or for an empty text.
bool SendHallLine(LobbySession& session, SessionSender& sender, std::string_view text);

// Sends one whisper per target, in order, plain. Returns how many went out: 0 before the
// welcome, for an empty text or without targets.
size_t SendWhispers(LobbySession& session, SessionSender& sender, std::string_view text,
                    const std::vector<uint32_t>& targets);

}  // namespace zrt
