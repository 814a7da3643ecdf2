// HallBot: entering a hall, receiving, chatting and the group moves.
#include "tests/support/hall_bot.h"

#include <algorithm>
#include <chrono>

#include "playnet/system_messages.h"
#include "tests/support/wait_until.h"

namespace zrttest {

using Clock = std::chrono::steady_clock;

std::vector<playnet::SessionDesc> listHalls(const std::string& address, size_t atLeast, int ms) {
    playnet::Client c;
    std::vector<playnet::SessionDesc> halls;
    if (c.InitializeConnection(address) != playnet::Result::Ok) return halls;
    WaitUntil(
        [&] {
            halls.clear();
            c.EnumSessions(kHallApp, halls, 1000);
            return halls.size() >= atLeast;
        },
        ms);
    return halls;
}

HallBot::HallBot(int boundMs) : boundMs_(boundMs), client_(std::make_unique<playnet::Client>()) {}

HallBot::~HallBot() {
    client_.reset();
}

bool HallBot::open(const ServerProcess& server, const std::string& hall, const std::string& name) {
    return signIn(server.address(), server.dataDir(), name) && join(server.address(), hall, name);
}

bool HallBot::join(const std::string& address, const std::string& hall, const std::string& name) {
    name_ = name;
    if (client_->InitializeConnection(address) != playnet::Result::Ok) return false;
    for (const playnet::SessionDesc& d : listHalls(address, 1, boundMs_)) {
        if (d.name != hall) continue;
        if (client_->Open(d.instance, zrt::kHallPassword) != playnet::Result::Ok) return false;
        return client_->CreatePlayer(name, &event_, id_) == playnet::Result::Ok;
    }
    return false;
}

uint32_t HallBot::awaitWelcome() {
    std::optional<BotMessage> m = next(zrt::MSG_WELCOME);
    if (m) server_ = zrt::decodeWelcome(m->data.data(), m->data.size()).value_or(0);
    return server_;
}

std::optional<std::vector<BotMessage>> HallBot::requestState() {
    send(zrt::encodeStateRequest());
    send(zrt::encodePlayerInfo(info()));
    return until([](const BotMessage& m) { return m.code() == zrt::MSG_STATE_END; });
}

bool HallBot::enter(const ServerProcess& server, const std::string& hall, const std::string& name) {
    return open(server, hall, name) && awaitWelcome() != 0 && requestState().has_value();
}

zrt::PlayerEntry HallBot::info() const {
    zrt::PlayerEntry e;
    e.id = id_;
    e.address = "127.0.0.1";
    e.name = name_;
    e.score = 1500;
    e.victories = 3;
    e.gemstones = 7;
    return e;
}

bool HallBot::sendTo(uint32_t to, const zrt::Bytes& data) {
    return client_->Send(id_, to, playnet::kSendGuaranteed, data.data(), data.size()) ==
           playnet::Result::Ok;
}

playnet::Result HallBot::createAnother(const std::string& name) {
    playnet::PlayerId other = 0;
    return client_->CreatePlayer(name, &event_, other);
}

std::optional<BotMessage> HallBot::next(std::optional<uint32_t> code, int ms) {
    auto end = Clock::now() + std::chrono::milliseconds(ms < 0 ? boundMs_ : ms);
    std::vector<uint8_t> buf(512);
    for (;;) {
        playnet::PlayerId from = 0, to = id_;
        size_t size = buf.size();
        playnet::Result r = client_->Receive(from, to, buf.data(), size);
        if (r == playnet::Result::BufferTooSmall) {
            buf.resize(size);
            continue;
        }
        if (r == playnet::Result::Ok) {
            if (from == playnet::kSystemPlayer) {
                auto sys = playnet::SystemMessage::Decode(buf.data(), size);
                if (sys && sys->type == 0x31) {
                    lost_ = true;  // nothing follows a lost session
                    return std::nullopt;
                }
                continue;
            }
            BotMessage m{from, zrt::Bytes(buf.begin(), buf.begin() + static_cast<long>(size))};
            if (!code || m.code() == *code) return m;
            continue;
        }
        if (MsLeft(end) == 0) return std::nullopt;
        event_.wait(MsLeft(end));
    }
}

std::optional<std::vector<BotMessage>> HallBot::until(
    const std::function<bool(const BotMessage&)>& last) {
    std::vector<BotMessage> seen;
    for (;;) {
        std::optional<BotMessage> m = next();
        if (!m) return std::nullopt;
        seen.push_back(*m);
        if (last(*m)) return seen;
    }
}

// A chat line with `text`, from `sender` unless that is empty.
static bool isChat(const BotMessage& m, std::optional<uint32_t> sender, const std::string& text) {
    if (m.code() != zrt::MSG_CHAT) return false;
    auto chat = zrt::decodeChat(m.data.data(), m.data.size());
    return chat && (!sender || chat->sender == *sender) && chat->text == text;
}

std::optional<std::vector<BotMessage>> HallBot::until(uint32_t sender, const std::string& marker) {
    return until([&](const BotMessage& m) { return isChat(m, sender, marker); });
}

bool HallBot::heard(const std::string& text) {
    return until([&](const BotMessage& m) { return isChat(m, std::nullopt, text); }).has_value();
}

bool HallBot::say(const std::string& text, uint32_t target) {
    return send(zrt::encodeChat({id_, target, text}));
}

bool HallBot::awaitLost(int ms) {
    auto end = Clock::now() + std::chrono::milliseconds(ms);
    while (!lost_) {
        if (MsLeft(end) == 0) return false;
        next(std::nullopt, MsLeft(end));
    }
    return true;
}

uint32_t HallBot::requestGroupId() {
    send(zrt::encodeGroupIdRequest());
    std::optional<BotMessage> m = next(zrt::MSG_GROUP_ID);
    return m ? zrt::decodeGroupIdReply(m->data.data(), m->data.size()).value_or(0) : 0;
}

uint32_t HallBot::createGroup(const std::string& title, uint32_t capacity) {
    uint32_t id = requestGroupId();
    if (id == 0) return 0;
    send(zrt::encodeGroupCreated({id, id_, false, false, capacity, title, false}));
    return awaitOwn(zrt::MSG_GROUP_CREATED, id) ? id : 0;
}

bool HallBot::join(uint32_t group) {
    send(zrt::encodeGroupJoin({id_, group}));
    return awaitOwn(zrt::MSG_GROUP_JOIN, group);
}

bool HallBot::leave(uint32_t group) {
    send(zrt::encodeGroupLeave({id_, group}));
    return awaitOwn(zrt::MSG_GROUP_LEAVE, group);
}

bool HallBot::awaitOwn(uint32_t code, uint32_t group) {
    for (;;) {
        std::optional<BotMessage> m = next(code);
        if (!m) return false;
        if (code == zrt::MSG_GROUP_CREATED) {
            auto g = zrt::decodeGroupCreated(m->data.data(), m->data.size());
            if (g && g->creator == id_ && g->groupId == group) return true;
        } else {
            auto g = zrt::decodeGroupMembership(m->data.data(), m->data.size());
            if (g && g->player == id_ && g->groupId == group) return true;
        }
    }
}

std::vector<uint32_t> codesOf(const std::vector<BotMessage>& list) {
    std::vector<uint32_t> codes;
    for (const BotMessage& m : list) codes.push_back(m.code());
    return codes;
}

bool contains(const std::vector<BotMessage>& list, const zrt::Bytes& data) {
    return std::any_of(list.begin(), list.end(),
                       [&](const BotMessage& m) { return m.data == data; });
}

}  // namespace zrttest
