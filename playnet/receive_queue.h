// ReceiveQueues: the messages waiting for the local players of a client, one queue per
// player, each with the receive event that is set when a message is queued for the player.
// Thread-safe: the io thread pushes, any thread receives.
#pragma once

#include <cstdint>
#include <deque>
#include <map>
#include <mutex>
#include <vector>

#include "playnet/auto_reset_event.h"
#include "playnet/result.h"
#include "playnet/session_desc.h"

namespace playnet {

class ReceiveQueues {
  public:
    // The event (may be null) must outlive the player's membership here.
    void AddPlayer(PlayerId id, AutoResetEvent* event);
    void RemovePlayer(PlayerId id);
    void Clear();
    bool Has(PlayerId id) const;
    std::vector<PlayerId> Players() const;

    // Queues a message for `to` (dropped when `to` is not here) and sets its event.
    void Push(PlayerId to, PlayerId from, std::vector<uint8_t> data);
    // Queues a message for every player here except `except`.
    void PushToAll(PlayerId from, const std::vector<uint8_t>& data, PlayerId except = 0);

    // The oldest message for `to` (0: for any player here, oldest first). Ok: buffer filled,
    // from/to/size set, the message removed. BufferTooSmall: size set to the message's size,
    // the message stays. NoMessages: nothing waiting. InvalidPlayer: `to` is not here.
    Result Pop(PlayerId& from, PlayerId& to, void* buffer, size_t& size);
    size_t Count(PlayerId to) const;

  private:
    struct Message {
        uint64_t seq;
        PlayerId from;
        std::vector<uint8_t> data;
    };
    struct Player {
        AutoResetEvent* event = nullptr;
        std::deque<Message> messages;
    };

    mutable std::mutex mutex_;
    std::map<PlayerId, Player> players_;
    uint64_t nextSeq_ = 0;
};

}  // namespace playnet
