// LobbyBot: signing in, joining, receiving and chatting.
#include "tests/support/lobby_bot.h"

#include <algorithm>
#include <chrono>

#include "lobby/session/hall_list.h"
#include "lobby/session/message_types.h"
#include "playnet/guid.h"
#include "tests/support/sign_in.h"

LobbyBot::LobbyBot() : client_(std::make_unique<playnet::Client>()) {}

LobbyBot::~LobbyBot() {
    client_->Close();
    client_.reset();
}

bool LobbyBot::join(const ServerProcess& server, const std::string& hallName,
                    const std::string& name, int waitMs) {
    const std::string host = server.address().toStdString();
    if (!zrttest::signIn(host, server.dataDir().toStdString(), name)) return false;
    if (client_->InitializeConnection(host) != playnet::Result::Ok) return false;
    std::optional<playnet::Guid> app = playnet::Guid::Parse(zrt::kHallApplicationText);
    if (!app) return false;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(waitMs);
    std::optional<playnet::Guid> instance;
    while (!instance && std::chrono::steady_clock::now() < deadline) {
        std::vector<playnet::SessionDesc> sessions;
        client_->EnumSessions(*app, sessions, 500);
        for (const auto& s : sessions)
            if (s.name == hallName) instance = s.instance;
    }
    if (!instance || client_->Open(*instance, zrt::kHallPassword) != playnet::Result::Ok)
        return false;
    playnet::PlayerId id = 0;
    if (client_->CreatePlayer(name, &event_, id) != playnet::Result::Ok) return false;
    id_ = id;
    while (server_ == 0 && std::chrono::steady_clock::now() < deadline) pump(100);
    if (server_ == 0) return false;
    zrt::PlayerEntry me;
    me.id = id_;
    me.address = "127.0.0.1";  // the server tells the others where the connection comes from
    me.name = name;
    me.score = 100;
    auto state = zrt::encodeStateRequest();
    auto info = zrt::encodePlayerInfo(me);
    client_->Send(id_, server_, playnet::kSendGuaranteed, state.data(), state.size());
    client_->Send(id_, server_, playnet::kSendGuaranteed, info.data(), info.size());
    return true;
}

void LobbyBot::pump(int ms) {
    event_.wait(ms);
    std::vector<uint8_t> buf(65536);
    for (;;) {
        playnet::PlayerId from = 0, to = 0;
        size_t size = buf.size();
        if (client_->Receive(from, to, buf.data(), size) != playnet::Result::Ok) return;
        if (from == playnet::kSystemPlayer) continue;
        if (size >= 4) codes_.push_back(playnet::ByteReader(buf.data(), size).u32());
        if (auto welcome = zrt::decodeWelcome(buf.data(), size); welcome && server_ == 0)
            server_ = *welcome;
        if (auto chat = zrt::decodeChat(buf.data(), size)) chats_.push_back(*chat);
    }
}

bool LobbyBot::received(uint32_t code) const {
    return std::find(codes_.begin(), codes_.end(), code) != codes_.end();
}

bool LobbyBot::pumpUntil(const std::function<bool()>& done, int ms) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
    for (;;) {
        if (done()) return true;
        if (std::chrono::steady_clock::now() >= deadline) return false;
        pump(50);
    }
}

bool LobbyBot::waitForChat(const std::string& text, int ms) {
    return pumpUntil(
        [&] {
            return std::any_of(chats_.begin(), chats_.end(),
                               [&](const zrt::ChatMessage& c) { return c.text == text; });
        },
        ms);
}

bool LobbyBot::waitFor(uint32_t code, int ms) {
    return pumpUntil([&] { return received(code); }, ms);
}

void LobbyBot::say(const std::string& text, uint32_t target) {
    auto bytes = zrt::encodeChat({id_, target, text});
    client_->Send(id_, server_, 0, bytes.data(), bytes.size());
}
