// Chat sending: one MSG_CHAT per target, never before the server player is known.
#include "lobby/session/chat_send.h"

#include <string>

#include "lobby/session/lobby_messages.h"

namespace zrt {

namespace {

bool canSend(const LobbySession& session, std::string_view text) {
    return session.serverPlayerId != 0 && !text.empty() && text.front() != '\0';
}

}  // namespace

bool SendHallLine(LobbySession& session, SessionSender& sender, std::string_view text) {
    if (!canSend(session, text)) return false;
    sender.send(encodeChat({session.ownPlayerId, 0, std::string(text)}));
    return true;
}

size_t SendWhispers(LobbySession& session, SessionSender& sender, std::string_view text,
                    const std::vector<uint32_t>& targets) {
    if (!canSend(session, text)) return 0;
    for (uint32_t target : targets) {
        sender.send(encodeChat({session.ownPlayerId, target, std::string(text)}));
    }
    return targets.size();
}

}  // namespace zrt
