// Plays a hall of the server with up to six players. The input is a list of steps: a player
// arrives, leaves, loses its name to a newer login, time passes, or a player sends a message
// (built from the input around the hall's real ids, or raw bytes). Each player has a real
// client (LobbySession and SessionDispatcher) that receives what the hall sends it and whose
// own messages (the answer to the welcome) go back to the hall, in order, as over the network.
//
// After every step: the server's group records obey the group rules, and every client still
// in the hall holds the same players and groups as the server. A message larger than the
// message table allows a client (or of a code a client never sends) has no effect.
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "fuzz/support/checking_ui.h"
#include "fuzz/support/fuzz_support.h"
#include "lobby/session/lobby_messages.h"
#include "lobby/session/lobby_session.h"
#include "lobby/session/session_dispatcher.h"
#include "playnet/bytes.h"
#include "server/hall.h"

namespace {

using namespace zrt;
using zrtserver::Hall;
using zrtserver::HallEffects;
using zrtserver::Outgoing;

constexpr uint32_t kServerPlayer = 1;
constexpr size_t kSlots = 6;

// A message on its way: from a client to the hall, or from the hall to a client.
struct Delivery {
    bool toHall = false;
    uint32_t player = 0;  // the sender (to the hall) or the receiver
    Bytes data;
};

struct Client;

class Sender : public SessionSender {
  public:
    Sender(std::deque<Delivery>& queue, const LobbySession& session)
        : queue_(queue), session_(session) {}
    void send(const std::vector<uint8_t>& m) override {
        queue_.push_back({true, session_.ownPlayerId, m});
    }

  private:
    std::deque<Delivery>& queue_;
    const LobbySession& session_;
};

// One player's client.
struct Client {
    Client(std::deque<Delivery>& queue, uint32_t id, size_t slot)
        : sender(queue, session), dispatcher(session, sender, ui) {
        PlayerEntry own;
        own.name = "P" + std::to_string(slot);
        own.address = "10.0.0." + std::to_string(slot + 1);
        own.score = static_cast<uint16_t>(100 * slot);
        session.enterHall(own, false);
        session.ownPlayerId = id;
    }
    LobbySession session;
    Sender sender;
    zrtfuzz::CheckingUi ui;
    SessionDispatcher dispatcher;
    // It no longer follows the hall: its receiver ended (lost name, launched), or it asked for
    // the hall's state once more (a real client asks once; the second snapshot, applied on top
    // of its tables, leaves them different by its own doing).
    bool gone = false;
};

class HallGame {
  public:
    HallGame() : hall_(zrtserver::HallConfig{"Fuzz", 5, 50}, kServerPlayer, shared_) {
        shared_.messageRate = 20;
        shared_.messageBurst = 40;
        shared_.entryNews = "Welcome";
    }

    void Step(playnet::ByteReader& in);
    void Check() const;

  private:
    uint32_t IdOf(size_t slot) const { return clients_[slot] ? ids_[slot] : 0; }
    uint32_t PickPlayer(uint8_t pick) const;
    uint32_t PickGroup(uint8_t pick) const;
    Bytes BuildMessage(size_t slot, playnet::ByteReader& in);
    void Carry(HallEffects& effects, uint32_t sender);
    void Run();
    void CheckClient(const Client& c) const;

    zrtserver::HallShared shared_;
    Hall hall_;
    std::unique_ptr<Client> clients_[kSlots];
    uint32_t ids_[kSlots] = {};
    uint32_t nextId_ = 100;
    std::map<uint32_t, uint32_t> granted_;  // last group id granted to each player
    std::deque<Delivery> queue_;
    Hall::Clock::time_point now_ = Hall::Clock::time_point() + std::chrono::hours(1);
};

uint32_t HallGame::PickPlayer(uint8_t pick) const {
    if (pick >= 0xF0) return pick == 0xFF ? 0 : kServerPlayer;
    return IdOf(pick % kSlots);
}

uint32_t HallGame::PickGroup(uint8_t pick) const {
    const auto& groups = hall_.groups().entries();
    if (pick == 0xFF || groups.empty()) return pick;
    return groups[pick % groups.size()].id;
}

Bytes HallGame::BuildMessage(size_t slot, playnet::ByteReader& in) {
    const uint8_t kind = in.u8();
    const uint8_t pick = in.u8();
    const uint32_t self =
        (kind & 0x80) ? PickPlayer(in.u8()) : IdOf(slot);  // 0x80: speaks for another
    std::string text = in.text(1 + in.u8() % 40);
    switch (kind & 0x0F) {
        case 0:
            return encodeChat({self, (pick & 1) ? PickPlayer(pick >> 1) : 0, text});
        case 1:
            return encodeGroupIdRequest();
        case 2: {
            GroupCreatedMessage g;
            g.groupId = (pick & 0x80) ? pick : granted_[IdOf(slot)];
            g.creator = self;
            g.inviteOnly = pick & 1;
            g.savedGame = pick & 2;
            g.capacity = (pick & 0x40) ? 255 : (pick >> 2) % 9;
            g.title = text;
            g.launched = (kind & 0x40) != 0;
            return encodeGroupCreated(g);
        }
        case 3:
            return encodeGroupJoin({self, PickGroup(pick)});
        case 4:
            return encodeGroupLeave({self, PickGroup(pick)});
        case 5:
            return encodeLaunch({PickGroup(pick), text});
        case 6:
            return encodeInvite({self, PickPlayer(pick), PickGroup(in.u8())});
        case 7:
            return encodeInviteReply({self, PickPlayer(pick), (kind & 0x40) != 0});
        case 8: {
            PlayerEntry p;
            p.id = self;
            p.name = text;
            p.address = text;
            return encodePlayerInfo(p);
        }
        case 9:
            return encodeStateRequest();
        default: {
            // Raw bytes: a code from the list of kinds, then whatever follows.
            Bytes raw(text.begin(), text.end());
            const uint32_t code = pick < 12 ? pick : 100 + pick % 16;
            Bytes m = {uint8_t(code), uint8_t(code >> 8), 0, 0};
            m.insert(m.end(), raw.begin(), raw.end());
            m.resize(in.u8() % (m.size() + 1));
            return m;
        }
    }
}

void HallGame::Step(playnet::ByteReader& in) {
    const uint8_t op = in.u8();
    const size_t slot = (op & 0x0F) % kSlots;
    switch (op >> 4) {
        case 0:  // a player arrives
            if (clients_[slot]) return;
            ids_[slot] = nextId_++;
            clients_[slot] = std::make_unique<Client>(queue_, ids_[slot], slot);
            {
                HallEffects effects;
                hall_.playerCreated(ids_[slot], "P" + std::to_string(slot),
                                    "127.0.0." + std::to_string(slot + 1), now_, effects);
                Carry(effects, ids_[slot]);
            }
            break;
        case 1: {  // a player leaves (its connection closed)
            if (!clients_[slot]) return;
            const uint32_t id = ids_[slot];
            clients_[slot].reset();
            HallEffects effects;
            hall_.playerDestroyed(id, effects);
            Carry(effects, id);
            break;
        }
        case 2: {  // a newer login takes the player's name
            if (!clients_[slot]) return;
            HallEffects effects;
            hall_.retire(ids_[slot], effects);
            Carry(effects, ids_[slot]);
            break;
        }
        case 3: {  // time passes; players that never announced themselves are cut off
            now_ += std::chrono::milliseconds(20 * in.u8());
            HallEffects effects;
            hall_.expireSilent(now_, effects);
            Carry(effects, 0);
            break;
        }
        default: {  // a message from the player
            if (!clients_[slot]) return;
            Bytes m = BuildMessage(slot, in);
            if (messageCode(m.data(), m.size()) == MSG_STATE_REQUEST) clients_[slot]->gone = true;
            queue_.push_back({true, ids_[slot], std::move(m)});
            break;
        }
    }
    Run();
}

// What the server's lobby role does with the hall's effects: sends through the host, and
// disconnects (whose departure the host reports back at once).
void HallGame::Carry(HallEffects& effects, uint32_t sender) {
    for (const Outgoing& o : effects.sends) {
        FUZZ_CHECK(messageCode(o.data.data(), o.data.size()));
        switch (o.to) {
            case Outgoing::To::One:
                queue_.push_back({false, o.player, o.data});
                break;
            case Outgoing::To::All:
                for (size_t s = 0; s < kSlots; ++s)
                    if (clients_[s]) queue_.push_back({false, ids_[s], o.data});
                break;
            case Outgoing::To::Others:
                for (uint32_t id : hall_.othersThan(o.player))
                    queue_.push_back({false, id, o.data});
                // The host of a group that launched has gone to its game.
                if (*messageCode(o.data.data(), o.data.size()) == MSG_LAUNCH) {
                    for (auto& c : clients_)
                        if (c && c->session.ownPlayerId == sender) c->gone = true;
                }
                break;
        }
    }
    for (uint32_t id : effects.disconnect) {
        for (size_t s = 0; s < kSlots; ++s) {
            if (!clients_[s] || ids_[s] != id) continue;
            clients_[s].reset();
            HallEffects more;
            hall_.playerDestroyed(id, more);
            Carry(more, id);
        }
    }
}

void HallGame::Run() {
    // Each client answers its welcome with two messages; nothing else loops.
    for (int bound = 0; !queue_.empty() && bound < 10000; ++bound) {
        Delivery d = std::move(queue_.front());
        queue_.pop_front();
        if (d.toHall) {
            HallEffects effects;
            hall_.message(d.player, d.data.data(), d.data.size(), now_, effects);
            // What the message table does not let a client send changes nothing in the hall.
            const std::optional<uint32_t> code = messageCode(d.data.data(), d.data.size());
            if (!code || d.data.size() > maxClientSize(*code)) FUZZ_CHECK(effects.sends.empty());
            if (d.data.size() >= 8 && *messageCode(d.data.data(), d.data.size()) == MSG_GROUP_ID) {
                for (const Outgoing& o : effects.sends)
                    if (auto id = decodeGroupIdReply(o.data.data(), o.data.size()))
                        granted_[d.player] = *id;
            }
            Carry(effects, d.player);
            continue;
        }
        for (auto& c : clients_) {
            if (!c || c->session.ownPlayerId != d.player || c->gone) continue;
            if (c->dispatcher.DispatchMessage(d.data.data(), d.data.size()) == DispatchResult::Stop)
                c->gone = true;
        }
    }
    FUZZ_CHECK(queue_.empty());
}

void HallGame::Check() const {
    std::set<uint32_t> present;
    for (uint32_t id : hall_.announcedOrder()) {
        FUZZ_CHECK(present.insert(id).second);
        FUZZ_CHECK(hall_.announcedInfo(id));
    }
    std::set<uint32_t> seated;
    std::set<uint32_t> groupIds;
    for (const GroupEntry& g : hall_.groups().entries()) {
        FUZZ_CHECK(g.id != 0 && groupIds.insert(g.id).second);
        FUZZ_CHECK(!g.members.empty() && g.members.size() <= kMaxMembers);
        FUZZ_CHECK(g.capacity == kCapacityNotSet || g.members.size() <= g.capacity);
        for (uint32_t m : g.members) {
            FUZZ_CHECK(present.count(m));
            FUZZ_CHECK(seated.insert(m).second);
        }
    }
    for (const auto& c : clients_)
        if (c && !c->gone) CheckClient(*c);
}

// A client that has had its snapshot holds what the server holds (groups in any order: a
// second snapshot appends them again).
void HallGame::CheckClient(const Client& c) const {
    auto view = c.session.hall.read();
    if (c.session.serverPlayerId == 0 || view->snapshot) return;
    std::set<uint32_t> serverPlayers(hall_.announcedOrder().begin(), hall_.announcedOrder().end());
    std::set<uint32_t> clientPlayers;
    for (const PlayerEntry& p : view->players.entries()) {
        FUZZ_CHECK(clientPlayers.insert(p.id).second);
        const PlayerEntry* info = hall_.announcedInfo(p.id);
        FUZZ_CHECK(info && info->name == p.name);
        // Others are told the address the server vouches for; a client keeps its own entry
        // as it wrote it.
        if (p.id != c.session.ownPlayerId) FUZZ_CHECK(info->address == p.address);
    }
    FUZZ_CHECK(clientPlayers == serverPlayers);

    std::map<uint32_t, GroupEntry> serverGroups;
    for (const GroupEntry& g : hall_.groups().entries()) serverGroups[g.id] = g;
    std::map<uint32_t, GroupEntry> clientGroups;
    for (const GroupEntry& g : view->groups.entries())
        FUZZ_CHECK(clientGroups.emplace(g.id, g).second);
    FUZZ_CHECK(clientGroups == serverGroups);

    const uint32_t own = c.session.ownPlayerId;
    const GroupEntry* mine = hall_.groups().groupOf(own);
    FUZZ_CHECK(view->ownGroupId == (mine ? mine->id : 0));
    FUZZ_CHECK(view->host == (mine && mine->members.front() == own));
    if (mine) FUZZ_CHECK(view->ownGroup() && view->ownGroup()->id == mine->id);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    HallGame game;
    playnet::ByteReader in(data, size);
    for (int steps = 0; in.remaining() > 0 && steps < 400; ++steps) {
        game.Step(in);
        game.Check();
    }
    return 0;
}
