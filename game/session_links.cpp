// The host's and the members' side of a launched group's game session.
#include "game/session_links.h"

#include <chrono>

#include "playnet/system_messages.h"

namespace zrtgame {
namespace {

using Clock = std::chrono::steady_clock;

int msLeft(Clock::time_point until) {
    auto left = std::chrono::duration_cast<std::chrono::milliseconds>(until - Clock::now()).count();
    return left > 0 ? static_cast<int>(left) : 0;
}

}  // namespace

bool HostedSession::Create(const playnet::ConnectionSettings& settings,
                           const std::string& playerName, std::string& error) {
    playnet::HostOptions options;
    options.listenAddress = "0.0.0.0";
    options.port = kGamePort;
    if (!host_.Start(options)) {
        error = "cannot offer the game session on port " + std::to_string(kGamePort);
        return false;
    }
    playnet::SessionConfig config;
    config.name = settings.session.name.value_or("");
    config.application = settings.session.application;
    config.maxPlayers = settings.session.maxPlayers;
    config.instance = settings.session.instance;
    std::optional<playnet::Guid> session = host_.CreateSession(config);
    if (!session) {
        error = "cannot create the game session";
        return false;
    }
    session_ = *session;
    player_ = host_.CreateHostPlayer(session_, playerName);
    if (player_ == 0) {
        error = "cannot create the host's player";
        return false;
    }
    return true;
}

std::vector<std::string> HostedSession::WaitForPlayers(size_t count, int waitMs) {
    const Clock::time_point until = Clock::now() + std::chrono::milliseconds(waitMs);
    for (;;) {
        std::vector<playnet::PlayerInfo> players = host_.Players(session_);
        if (players.size() >= count || msLeft(until) == 0) {
            std::vector<std::string> names;
            for (const playnet::PlayerInfo& p : players) names.push_back(p.name);
            return names;
        }
        host_.WaitEvent(std::min(msLeft(until), 200));  // arrivals; nothing is sent yet
    }
}

bool HostedSession::SendToAll(const std::vector<uint8_t>& message) {
    return host_.SendFrom(player_, playnet::kAllPlayers, message.data(), message.size()) ==
           playnet::Result::Ok;
}

std::optional<std::vector<uint8_t>> HostedSession::Receive(int timeoutMs) {
    const Clock::time_point until = Clock::now() + std::chrono::milliseconds(timeoutMs);
    for (;;) {
        std::optional<playnet::HostEvent> e = host_.WaitEvent(msLeft(until));
        if (!e) return std::nullopt;
        if (e->kind == playnet::HostEvent::Kind::Message && e->player == player_) return e->data;
        if (msLeft(until) == 0) return std::nullopt;
    }
}

bool JoinedSession::Join(const playnet::ConnectionSettings& settings, const std::string& playerName,
                         int waitMs, std::string& error) {
    std::optional<std::vector<uint8_t>> inet = settings.addressData(playnet::AddressKindInet());
    std::string address;
    if (inet) address.assign(inet->begin(), inet->end());
    if (const size_t nul = address.find('\0'); nul != std::string::npos) address.resize(nul);
    if (address.empty()) {
        error = "the launch names no host address";
        return false;
    }
    if (client_.InitializeConnection(address, kGamePort) != playnet::Result::Ok) {
        error = "cannot find the host " + address;
        return false;
    }
    // The host offered the session before its lobby told ours; it may still take a moment to
    // be listed.
    const Clock::time_point until = Clock::now() + std::chrono::milliseconds(waitMs);
    bool offered = false;
    while (!offered && msLeft(until) > 0) {
        std::vector<playnet::SessionDesc> sessions;
        client_.EnumSessions(settings.session.application, sessions, std::min(msLeft(until), 1000));
        for (const playnet::SessionDesc& d : sessions)
            if (d.instance == settings.session.instance) offered = true;
    }
    client_.StopEnumSessions();
    if (!offered) {
        error = "the host at " + address + " offers no such game session";
        return false;
    }
    playnet::Result r =
        client_.Open(settings.session.instance, settings.session.password.value_or(""));
    if (r == playnet::Result::Ok) r = client_.CreatePlayer(playerName, &event_, player_);
    if (r != playnet::Result::Ok) {
        error = std::string("cannot join the game session: ") + playnet::ResultName(r);
        return false;
    }
    return true;
}

std::optional<std::vector<uint8_t>> JoinedSession::receiveFromSession(int timeoutMs) {
    const Clock::time_point until = Clock::now() + std::chrono::milliseconds(timeoutMs);
    std::vector<uint8_t> buf(playnet::kMaxMessageSize);
    while (!lost_) {
        playnet::PlayerId from = 0, to = player_;
        size_t size = buf.size();
        playnet::Result r = client_.Receive(from, to, buf.data(), size);
        if (r == playnet::Result::Ok) {
            if (from != playnet::kSystemPlayer)
                return std::vector<uint8_t>(buf.begin(), buf.begin() + size);
            std::optional<playnet::SystemMessage> sys =
                playnet::SystemMessage::Decode(buf.data(), size);
            if (sys && sys->type == playnet::kSysSessionLost) lost_ = true;
            continue;
        }
        if (r != playnet::Result::NoMessages || msLeft(until) == 0) return std::nullopt;
        event_.wait(msLeft(until));
    }
    return std::nullopt;
}

std::optional<Roster> JoinedSession::WaitForRoster(int waitMs) {
    const Clock::time_point until = Clock::now() + std::chrono::milliseconds(waitMs);
    while (std::optional<std::vector<uint8_t>> bytes = receiveFromSession(msLeft(until))) {
        std::optional<MatchMessage> m = MatchMessage::Decode(bytes->data(), bytes->size());
        if (m && m->kind == MatchMessage::Kind::Roster) return m->roster;
        kept_.push_back(std::move(*bytes));
    }
    return std::nullopt;
}

void JoinedSession::WaitForDone(int waitMs) {
    const Clock::time_point until = Clock::now() + std::chrono::milliseconds(waitMs);
    while (std::optional<std::vector<uint8_t>> bytes = Receive(msLeft(until))) {
        std::optional<MatchMessage> m = MatchMessage::Decode(bytes->data(), bytes->size());
        if (m && m->kind == MatchMessage::Kind::Done) return;
    }
}

bool JoinedSession::SendToAll(const std::vector<uint8_t>& message) {
    return client_.Send(player_, playnet::kAllPlayers, playnet::kSendGuaranteed, message.data(),
                        message.size()) == playnet::Result::Ok;
}

std::optional<std::vector<uint8_t>> JoinedSession::Receive(int timeoutMs) {
    if (!kept_.empty()) {
        std::vector<uint8_t> bytes = std::move(kept_.front());
        kept_.pop_front();
        return bytes;
    }
    return receiveFromSession(timeoutMs);
}

}  // namespace zrtgame
