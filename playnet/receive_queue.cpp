// Per-player receive queues.
#include "playnet/receive_queue.h"

#include <cstring>

namespace playnet {

void ReceiveQueues::AddPlayer(PlayerId id, AutoResetEvent* event) {
    std::lock_guard lock(mutex_);
    players_[id].event = event;
}

void ReceiveQueues::RemovePlayer(PlayerId id) {
    std::lock_guard lock(mutex_);
    players_.erase(id);
}

void ReceiveQueues::Clear() {
    std::lock_guard lock(mutex_);
    players_.clear();
}

bool ReceiveQueues::Has(PlayerId id) const {
    std::lock_guard lock(mutex_);
    return players_.count(id) != 0;
}

std::vector<PlayerId> ReceiveQueues::Players() const {
    std::lock_guard lock(mutex_);
    std::vector<PlayerId> ids;
    for (const auto& [id, p] : players_) ids.push_back(id);
    return ids;
}

void ReceiveQueues::Push(PlayerId to, PlayerId from, std::vector<uint8_t> data) {
    std::lock_guard lock(mutex_);
    auto it = players_.find(to);
    if (it == players_.end()) return;
    it->second.messages.push_back({nextSeq_++, from, std::move(data)});
    if (it->second.event) it->second.event->set();
}

void ReceiveQueues::PushToAll(PlayerId from, const std::vector<uint8_t>& data, PlayerId except) {
    std::lock_guard lock(mutex_);
    for (auto& [id, p] : players_) {
        if (id == except) continue;
        p.messages.push_back({nextSeq_++, from, data});
        if (p.event) p.event->set();
    }
}

Result ReceiveQueues::Pop(PlayerId& from, PlayerId& to, void* buffer, size_t& size) {
    std::lock_guard lock(mutex_);
    Player* chosen = nullptr;
    PlayerId chosenId = 0;
    if (to != 0) {
        auto it = players_.find(to);
        if (it == players_.end()) return Result::InvalidPlayer;
        if (!it->second.messages.empty()) {
            chosen = &it->second;
            chosenId = to;
        }
    } else {
        for (auto& [id, p] : players_) {
            if (p.messages.empty()) continue;
            if (!chosen || p.messages.front().seq < chosen->messages.front().seq) {
                chosen = &p;
                chosenId = id;
            }
        }
    }
    if (!chosen) return Result::NoMessages;
    Message& m = chosen->messages.front();
    if (size < m.data.size() || (!buffer && !m.data.empty())) {
        size = m.data.size();
        return Result::BufferTooSmall;
    }
    if (!m.data.empty()) std::memcpy(buffer, m.data.data(), m.data.size());
    size = m.data.size();
    from = m.from;
    to = chosenId;
    chosen->messages.pop_front();
    return Result::Ok;
}

size_t ReceiveQueues::Count(PlayerId to) const {
    std::lock_guard lock(mutex_);
    auto it = players_.find(to);
    return it == players_.end() ? 0 : it->second.messages.size();
}

}  // namespace playnet
