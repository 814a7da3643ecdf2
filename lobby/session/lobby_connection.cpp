// The session connection: client creation, binding, hall enumeration and the join worker.
#include "lobby/session/lobby_connection.h"

#include <utility>

namespace zrt {

LobbyConnection::LobbyConnection(uint16_t hallPort, const playnet::ClientOptions& options)
    : hallPort_(hallPort), options_(options) {}

LobbyConnection::~LobbyConnection() {
    EndDirectPlaySupport();
}

void LobbyConnection::CreateDirectPlay() {
    if (!client_) client_ = std::make_unique<playnet::Client>(options_);
}

bool LobbyConnection::ConnectToLobbyServer(const std::string& serverAddress) {
    if (!client_) return false;
    return client_->InitializeConnection(serverAddress, hallPort_) == playnet::Result::Ok;
}

bool LobbyConnection::EnumerateHalls(HallList& halls) {
    halls.clear();
    if (!client_) return false;
    std::vector<playnet::SessionDesc> sessions;
    if (client_->EnumSessions(HallApplication(), sessions, 0) != playnet::Result::Ok) return false;
    for (const playnet::SessionDesc& s : sessions) {
        // Only halls that still take players are offered.
        if (s.maxPlayers != 0 && s.currentPlayers >= s.maxPlayers) continue;
        if (!halls.add(MakeHallEntry(s))) break;
    }
    return true;
}

bool LobbyConnection::RestartHallEnumeration(std::function<void()> answered) {
    if (!client_) return false;
    return client_->RestartEnumSessions(HallApplication(), std::move(answered)) ==
           playnet::Result::Ok;
}

void LobbyConnection::ForgetHallAnswer() {
    if (client_) client_->ForgetEnumAnswer();
}

bool LobbyConnection::JoinHall(const HallEntry& hall, JoinDone done) {
    if (joinRunning_ || !client_) return false;
    // A worker whose result was handled may not have been joined yet.
    if (joinThread_.joinable()) joinThread_.join();
    gemstoneHall_ = IsGemstoneHall(hall.kind);
    joinRunning_ = true;
    joinThread_ = std::thread([this, instance = hall.instance, done = std::move(done)] {
        const playnet::Result r = client_->Open(instance, kHallPassword);
        lastJoinResult_ = r;
        if (done) done(r == playnet::Result::Ok);
    });
    return true;
}

void LobbyConnection::JoinHandled() {
    if (joinThread_.joinable()) joinThread_.join();
    joinRunning_ = false;
}

void LobbyConnection::CloseSession() {
    JoinHandled();
    if (client_) client_->Close();
}

void LobbyConnection::EndDirectPlaySupport() {
    CloseSession();
    client_.reset();
}

LobbyConnection& TheLobbyConnection() {
    static LobbyConnection connection;
    return connection;
}

}  // namespace zrt
