// Sessions and players of a host.
#include "playnet/session_table.h"

#include <algorithm>

namespace playnet {

std::optional<Guid> SessionTable::AddSession(const SessionConfig& config) {
    Guid id = config.instance;
    if (id.IsNull()) {
        do {
            id = Guid::Generate();
        } while (sessions_.count(id));
    } else if (sessions_.count(id)) {
        return std::nullopt;
    }
    Session& s = sessions_[id];
    s.config = config;
    if (s.config.name.size() > kMaxNameLength) s.config.name.resize(kMaxNameLength);
    s.instance = id;
    s.order = nextOrder_++;
    return id;
}

std::vector<TablePlayer> SessionTable::RemoveSession(const Guid& instance) {
    std::vector<TablePlayer> removed;
    auto it = sessions_.find(instance);
    if (it == sessions_.end()) return removed;
    for (PlayerId p : it->second.players) {
        auto pit = players_.find(p);
        if (pit != players_.end()) {
            removed.push_back(pit->second);
            players_.erase(pit);
        }
    }
    sessions_.erase(it);
    return removed;
}

bool SessionTable::HasSession(const Guid& instance) const {
    return sessions_.count(instance);
}

std::vector<Guid> SessionTable::Sessions() const {
    std::vector<const Session*> ordered;
    for (const auto& [id, s] : sessions_) ordered.push_back(&s);
    std::sort(ordered.begin(), ordered.end(),
              [](const Session* a, const Session* b) { return a->order < b->order; });
    std::vector<Guid> ids;
    for (const Session* s : ordered) ids.push_back(s->instance);
    return ids;
}

SessionDesc SessionTable::describe(const Session& s) const {
    SessionDesc d;
    d.name = s.config.name;
    d.application = s.config.application;
    d.instance = s.instance;
    d.maxPlayers = s.config.maxPlayers;
    d.currentPlayers = static_cast<uint32_t>(s.players.size());
    d.user = s.config.user;
    d.passwordRequired = !s.config.password.empty();
    return d;
}

std::optional<SessionDesc> SessionTable::Describe(const Guid& instance) const {
    auto it = sessions_.find(instance);
    if (it == sessions_.end()) return std::nullopt;
    return describe(it->second);
}

const SessionConfig* SessionTable::Config(const Guid& instance) const {
    auto it = sessions_.find(instance);
    return it == sessions_.end() ? nullptr : &it->second.config;
}

std::vector<SessionDesc> SessionTable::Enumerate(const Guid& application) const {
    std::vector<SessionDesc> out;
    for (const Guid& id : Sessions()) {
        const Session& s = sessions_.at(id);
        if (s.config.application == application) out.push_back(describe(s));
    }
    return out;
}

WireStatus SessionTable::CheckOpen(const Guid& instance, const std::string& password) const {
    auto it = sessions_.find(instance);
    if (it == sessions_.end()) return WireStatus::NoSuchSession;
    const Session& s = it->second;
    if (!s.config.password.empty() && s.config.password != password) {
        return WireStatus::WrongPassword;
    }
    if (s.config.maxPlayers != 0 && s.players.size() >= s.config.maxPlayers) {
        return WireStatus::SessionFull;
    }
    return WireStatus::Ok;
}

WireStatus SessionTable::AddPlayer(const Guid& session, const std::string& name, uint64_t owner,
                                   PlayerId& id) {
    auto it = sessions_.find(session);
    if (it == sessions_.end()) return WireStatus::NoSuchSession;
    Session& s = it->second;
    if (s.config.maxPlayers != 0 && s.players.size() >= s.config.maxPlayers) {
        return WireStatus::SessionFull;
    }
    // Ids are never 0 (the system's sender id) and are not reused while the host runs.
    while (nextPlayer_ == 0 || players_.count(nextPlayer_)) ++nextPlayer_;
    id = nextPlayer_++;
    TablePlayer p{id, session, name.substr(0, kMaxNameLength), owner};
    players_[id] = p;
    s.players.push_back(id);
    return WireStatus::Ok;
}

std::optional<TablePlayer> SessionTable::RemovePlayer(PlayerId id) {
    auto it = players_.find(id);
    if (it == players_.end()) return std::nullopt;
    TablePlayer p = it->second;
    players_.erase(it);
    auto sit = sessions_.find(p.session);
    if (sit != sessions_.end()) std::erase(sit->second.players, id);
    return p;
}

const TablePlayer* SessionTable::Player(PlayerId id) const {
    auto it = players_.find(id);
    return it == players_.end() ? nullptr : &it->second;
}

std::vector<PlayerId> SessionTable::PlayersOf(const Guid& session) const {
    auto it = sessions_.find(session);
    if (it == sessions_.end()) return {};
    return it->second.players;
}

std::vector<PlayerId> SessionTable::PlayersOwnedBy(uint64_t owner) const {
    std::vector<PlayerId> out;
    for (const auto& [id, p] : players_) {
        if (p.owner == owner) out.push_back(id);
    }
    std::sort(out.begin(), out.end());
    return out;
}

}  // namespace playnet
