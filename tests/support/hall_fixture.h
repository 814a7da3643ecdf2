// Hall fixtures for the session and screen tests: a SessionUi that records what it is told, a
// sender that records what goes out (and can answer like the server would), and a hall set up
// in front of a dispatcher. Plain C++.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "lobby/session/lobby_messages.h"
#include "lobby/session/lobby_session.h"
#include "lobby/session/session_dispatcher.h"
#include "lobby/session/session_ui.h"

namespace zrt::test {

// Every call becomes one line of text, so tests compare what the UI was told in order.
class RecordingUi : public SessionUi {
  public:
    std::vector<std::string> calls;

    void playerLineAdded(uint32_t id, const std::string& line) override {
        calls.push_back("line+ " + std::to_string(id) + " " + line);
    }
    void playerLineDeleted(uint32_t id) override { calls.push_back("line- " + std::to_string(id)); }
    void chatLine(ChatTarget target, uint32_t id, const std::string& name, const std::string& text,
                  bool whisper) override {
        calls.push_back(std::string(target == ChatTarget::ChatList ? "chat " : "dialog-chat ") +
                        std::to_string(id) + " " + name + (whisper ? " ~ " : " : ") + text);
    }
    void lobbyStatus() override { calls.push_back("status"); }
    void invitation(uint32_t from, uint32_t group) override {
        calls.push_back("invitation " + std::to_string(from) + " " + std::to_string(group));
    }
    void inviteReply(uint32_t from, bool accepted) override {
        calls.push_back("invite-reply " + std::to_string(from) + (accepted ? " yes" : " no"));
    }
    void news(const std::string& text) override { calls.push_back("news " + text); }
    void memberLaunch(const std::string& address) override {
        calls.push_back("member-launch " + address);
    }
    void groupDialogMemberJoined(uint32_t id) override {
        calls.push_back("dialog-joined " + std::to_string(id));
    }
    void groupDialogMemberLeft(uint32_t id) override {
        calls.push_back("dialog-left " + std::to_string(id));
    }
    void groupDialogClose() override { calls.push_back("dialog-close"); }
    void sessionError(const std::string& text) override { calls.push_back("error " + text); }
    void refreshGroups(bool changed) override {
        calls.push_back(changed ? "refresh-groups 1" : "refresh-groups 0");
    }
    void repaintTopPanel() override { calls.push_back("repaint-top"); }
    void repaintPlayerList() override { calls.push_back("repaint-players"); }

    size_t count(const std::string& call) const {
        size_t n = 0;
        for (const auto& c : calls) n += c == call ? 1 : 0;
        return n;
    }
};

// Takes every call and does nothing: for tests that look at the screens, not at the calls.
class QuietUi : public SessionUi {
  public:
    void playerLineAdded(uint32_t, const std::string&) override {}
    void playerLineDeleted(uint32_t) override {}
    void chatLine(ChatTarget, uint32_t, const std::string&, const std::string&, bool) override {}
    void lobbyStatus() override {}
    void invitation(uint32_t, uint32_t) override {}
    void inviteReply(uint32_t, bool) override {}
    void news(const std::string&) override {}
    void memberLaunch(const std::string&) override {}
    void groupDialogMemberJoined(uint32_t) override {}
    void groupDialogMemberLeft(uint32_t) override {}
    void groupDialogClose() override {}
    void sessionError(const std::string&) override {}
    void refreshGroups(bool) override {}
    void repaintTopPanel() override {}
    void repaintPlayerList() override {}
};

struct SentMessage {
    std::vector<uint8_t> bytes;
    bool guaranteed = false;  // as the running lobby's sender would send it
    uint32_t code() const { return bytes.size() >= 4 ? bytes[0] | (bytes[1] << 8) : 0xFFFFFFFF; }
};

// Records every send; `onSend` may answer like the server (feed an echo to a dispatcher).
class RecordingSender : public SessionSender {
  public:
    std::vector<SentMessage> sent;
    std::function<void(const std::vector<uint8_t>&)> onSend;

    void send(const std::vector<uint8_t>& message) override {
        const std::optional<uint32_t> code = messageCode(message.data(), message.size());
        sent.push_back({message, code && deliveryOf(*code) == Delivery::Guaranteed});
        if (onSend) onSend(message);
    }
};

inline constexpr uint32_t kOwnId = 1000;
inline constexpr uint32_t kServerId = 7;

inline PlayerEntry makePlayer(uint32_t id, const std::string& name, uint16_t score = 100) {
    PlayerEntry p;
    p.id = id;
    p.address = "10.0.0." + std::to_string(id % 250);
    p.name = name;
    p.score = score;
    p.portrait = 3;
    p.country = 12;
    p.gemstones = 5;
    return p;
}

// A session in a hall with a dispatcher in front of it: recording UI and sender.
struct HallFixture {
    LobbySession session;
    RecordingUi ui;
    RecordingSender sender;
    SessionDispatcher dispatcher{session, sender, ui};

    HallFixture() {
        session.enterHall(makePlayer(0, "Me", 150), false);
        session.ownPlayerId = kOwnId;
    }

    DispatchResult feed(const std::vector<uint8_t>& message) {
        return dispatcher.DispatchMessage(message.data(), message.size());
    }
    // Welcome, then the snapshot's players, then the state end; forgets what the UI and the
    // sender recorded so far.
    void enterLive(const std::vector<PlayerEntry>& others = {}) {
        feed(encodeWelcome(kServerId));
        for (const auto& p : others) feed(encodePlayerInfo(p));
        feed(encodeStateEnd());
        dispatcher.FlushRefresh();
        ui.calls.clear();
        sender.sent.clear();
    }
    void join(uint32_t player, uint32_t group) { feed(encodeGroupJoin({player, group})); }
    void leave(uint32_t player, uint32_t group) { feed(encodeGroupLeave({player, group})); }
    void create(uint32_t group, uint32_t creator, uint32_t capacity = 255, bool saved = false,
                bool launched = false, bool inviteOnly = false) {
        GroupCreatedMessage m;
        m.groupId = group;
        m.creator = creator;
        m.capacity = capacity;
        m.savedGame = saved;
        m.launched = launched;
        m.inviteOnly = inviteOnly;
        m.title = "G" + std::to_string(group);
        feed(encodeGroupCreated(m));
    }
    std::vector<uint32_t> members(uint32_t group) {
        auto hall = session.hall.read();
        int i = hall->groups.indexOf(group);
        return i < 0 ? std::vector<uint32_t>{} : hall->groups[static_cast<size_t>(i)].members;
    }
};

}  // namespace zrt::test
