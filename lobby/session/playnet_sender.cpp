// PlaynetSender: lobby messages from the own player to the server player.
#include "lobby/session/playnet_sender.h"

#include "lobby/session/lobby_messages.h"

namespace zrt {

PlaynetSender::PlaynetSender(playnet::Client& client, const LobbySession& session)
    : client_(client), session_(session) {}

void PlaynetSender::send(const std::vector<uint8_t>& message) {
    const uint32_t from = session_.ownPlayerId;
    const uint32_t to = session_.serverPlayerId;
    const std::optional<uint32_t> code = messageCode(message.data(), message.size());
    if (from == 0 || to == 0 || !code) return;
    const bool guaranteed = deliveryOf(*code) == Delivery::Guaranteed;
    client_.Send(from, to, guaranteed ? playnet::kSendGuaranteed : 0, message.data(),
                 message.size());
}

}  // namespace zrt
