// Feeds arbitrary bytes to every lobby message decoder (a decoded message must survive being
// encoded and decoded again), then plays the input as a stream of received messages through a
// SessionDispatcher in a hall and checks the tables' limits after each one.
//
// Stream: chunks of [selector][length][payload]. Selectors 0..14 put the code of the message
// table's row before the payload, 0xF0..0xF5 drive the session (system message, idle flush,
// minimise, group dialog, blocking), anything else hands the payload over as it is.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "fuzz/support/checking_ui.h"
#include "fuzz/support/fuzz_support.h"
#include "lobby/session/lobby_messages.h"
#include "lobby/session/lobby_session.h"
#include "lobby/session/session_dispatcher.h"
#include "lobby/session/session_ui.h"

namespace {

using namespace zrt;

class NullSender : public SessionSender {
  public:
    void send(const std::vector<uint8_t>& m) override {
        // The client sends only what the server's hall accepts by code and size.
        const std::optional<uint32_t> code = messageCode(m.data(), m.size());
        FUZZ_CHECK(code && m.size() <= maxClientSize(*code));
    }
};

template <class T, class Encode, class Decode>
void roundTrip(const std::optional<T>& first, Encode encode, Decode decode) {
    if (!first) return;
    const Bytes bytes = encode(*first);
    const std::optional<T> again = decode(bytes.data(), bytes.size());
    FUZZ_CHECK(again && *again == *first);
}

void decoders(const uint8_t* data, size_t size) {
    messageCode(data, size);
    roundTrip(decodeWelcome(data, size), encodeWelcome, decodeWelcome);
    roundTrip(decodeChat(data, size), encodeChat, decodeChat);
    roundTrip(decodeLaunch(data, size), encodeLaunch, decodeLaunch);
    roundTrip(decodePlayerInfo(data, size), encodePlayerInfo, decodePlayerInfo);
    roundTrip(decodePlayerLeft(data, size), encodePlayerLeft, decodePlayerLeft);
    roundTrip(decodeGroupCreated(data, size), encodeGroupCreated, decodeGroupCreated);
    roundTrip(decodeGroupRemoved(data, size), encodeGroupRemoved, decodeGroupRemoved);
    roundTrip(decodeGroupMembership(data, size), encodeGroupJoin, decodeGroupMembership);
    roundTrip(decodeGroupIdReply(data, size), encodeGroupIdReply, decodeGroupIdReply);
    roundTrip(decodeInvite(data, size), encodeInvite, decodeInvite);
    roundTrip(decodeInviteReply(data, size), encodeInviteReply, decodeInviteReply);
    roundTrip(decodeNews(data, size), encodeNews, decodeNews);
    if (auto p = decodePlayerInfo(data, size)) {
        FUZZ_CHECK(p->name.size() <= kNameChars && p->address.size() <= kAddressChars);
    }
    if (auto g = decodeGroupCreated(data, size)) FUZZ_CHECK(g->title.size() <= 255);
}

void checkHall(const LobbySession& session) {
    {
        auto hall = session.hall.read();
        FUZZ_CHECK(hall->players.size() <= PlayerTable::kCapacity);
        FUZZ_CHECK(hall->blocked.size() <= 1024);
        const GroupTable& groups = hall->groups;
        FUZZ_CHECK(groups.ownIndex() >= -1 && groups.ownIndex() < int(groups.size()));
        for (const GroupEntry& g : groups.entries()) {
            FUZZ_CHECK(!g.members.empty() && g.members.size() <= 7);
            FUZZ_CHECK(g.title.size() <= 255);
        }
        for (const PlayerEntry& p : hall->players.entries()) {
            FUZZ_CHECK(p.name.size() <= kNameChars && p.address.size() <= kAddressChars);
        }
        if (const GroupEntry* own = hall->ownGroup()) FUZZ_CHECK(own->id == hall->ownGroupId);
    }
    session.hall.groupRows();
    session.hall.ownGroupStatus();
    session.hall.lobbyTitle();
    FUZZ_CHECK(session.hall.playerCount() >= 1);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    decoders(data, size);

    LobbySession session;
    PlayerEntry own;
    own.name = "Me";
    own.address = "10.0.0.1";
    session.enterHall(own, false);
    session.ownPlayerId = 1000;
    NullSender sender;
    zrtfuzz::CheckingUi ui;
    SessionDispatcher dispatcher(session, sender, ui);

    size_t at = 0;
    while (at + 2 <= size) {
        const uint8_t selector = data[at];
        size_t length = data[at + 1];
        at += 2;
        if (length == 255) length = size - at;  // the rest: room for the long messages
        if (length > size - at) length = size - at;
        const uint8_t* payload = data + at;
        at += length;

        DispatchResult result = DispatchResult::Continue;
        if (selector < std::size(kMessageTable)) {
            Bytes message(4 + length);
            const uint32_t code = kMessageTable[selector].code;
            for (int i = 0; i < 4; ++i) message[size_t(i)] = uint8_t(code >> (8 * i));
            std::copy(payload, payload + length, message.begin() + 4);
            result = dispatcher.DispatchMessage(message.data(), message.size());
        } else if (selector == 0xF0) {
            uint32_t type = 0;
            for (size_t i = 0; i < 4 && i < length; ++i) type |= uint32_t(payload[i]) << (8 * i);
            result = dispatcher.DispatchSystemMessage(type);
        } else if (selector == 0xF1) {
            dispatcher.FlushRefresh();
        } else if (selector == 0xF2) {
            session.minimised = !session.minimised;
        } else if (selector == 0xF3) {
            session.hall.openGroupDialog();
        } else if (selector == 0xF4) {
            session.hall.closeGroupDialog();
        } else if (selector == 0xF5 && length >= 1) {
            if (!session.hall.block(payload[0])) session.hall.unblock(payload[0]);
        } else {
            result = dispatcher.DispatchMessage(payload, length);
        }
        checkHall(session);
        if (result == DispatchResult::Stop) break;  // the receiver would end here
    }
    return 0;
}
