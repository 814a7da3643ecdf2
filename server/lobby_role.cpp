// LobbyRole: the hall sessions on the playnet host, the lobby thread, name takeovers.
#include "server/lobby_role.h"

#include <algorithm>
#include <future>

#include "lobby/session/hall_identity.h"
#include "server/log.h"
#include "server/login_policy.h"

namespace zrtserver {

namespace {
// How long the lobby thread waits for an event before it looks at its timers.
constexpr int kTickMs = 100;
// How often it looks for players that have not announced themselves.
constexpr auto kExpiryCheck = std::chrono::milliseconds(500);
// How often it logs the hall chat shed to readers that fell behind and the links cut, when any.
constexpr auto kLoadReport = std::chrono::seconds(10);
}  // namespace

LobbyRole::LobbyRole(const HallsConfig& config)
    : config_(config), limits_("halls", config.maxConnections, config.maxConnectionsPerAddress) {
    shared_.entryNews = config.entryNews;
    shared_.messageRate = config.messageRate;
    shared_.messageBurst = config.messageBurst;
}

std::unique_ptr<LobbyRole> LobbyRole::start(const std::string& address, const HallsConfig& config,
                                            SignIns* signIns, std::string& error) {
    std::unique_ptr<LobbyRole> role(new LobbyRole(config));
    role->shared_.signIns = signIns;
    playnet::HostOptions options;
    options.listenAddress = address;
    options.port = static_cast<uint16_t>(config.port);
    options.link.frameDeadlineMs = config.frameTimeoutSeconds * 1000;
    ConnectionLimits* limits = &role->limits_;
    options.admit = [limits](const std::string& peer) { return limits->admit(peer); };
    if (!role->host_.Start(options)) {
        error = "cannot listen on " + address + " port " + std::to_string(config.port) + " (halls)";
        return nullptr;
    }
    for (const HallConfig& hc : config.halls) {
        playnet::SessionConfig sc;
        sc.name = hc.name;
        sc.application = zrt::HallApplication();
        sc.maxPlayers = hc.maxPlayers;
        sc.user = {hc.kind, 0, 0, 0};
        sc.password = zrt::kHallPassword;
        sc.clientsReachHostOnly = true;
        sc.playersPerConnection = 1;
        std::optional<playnet::Guid> session = role->host_.CreateSession(sc);
        playnet::PlayerId server =
            session ? role->host_.CreateHostPlayer(*session, config.serverPlayerName) : 0;
        if (server == 0) {
            error = "cannot offer the hall \"" + hc.name + "\"";
            return nullptr;
        }
        role->bySession_[*session] = role->halls_.size();
        role->halls_.push_back({*session, std::make_unique<Hall>(hc, server, role->shared_)});
        logLine("hall \"" + hc.name + "\" (kind " + std::to_string(hc.kind) + ", " +
                std::to_string(hc.maxPlayers) + " players) offered, server player " +
                std::to_string(server));
    }
    logLine("halls listening on " + address + " port " + std::to_string(role->port()));
    LobbyRole* raw = role.get();
    role->thread_ = std::thread([raw] { raw->run(); });
    return role;
}

LobbyRole::~LobbyRole() {
    stop();
}

void LobbyRole::stop() {
    stopping_ = true;
    if (thread_.joinable()) thread_.join();
    runTasks();  // nobody waits long for an answer that cannot come
    host_.Close();
}

void LobbyRole::setEntryNews(const std::string& text) {
    std::lock_guard lock(newsMutex_);
    newNews_ = text.substr(0, kMaxEntryNewsChars);
}

void LobbyRole::adoptNews() {
    std::lock_guard lock(newsMutex_);
    if (!newNews_) return;
    shared_.entryNews = std::move(*newNews_);
    newNews_.reset();
    logLine("halls: entry news now " + std::to_string(shared_.entryNews.size()) + " characters");
}

void LobbyRole::run() {
    while (!stopping_) {
        std::optional<playnet::HostEvent> event = host_.WaitEvent(kTickMs);
        adoptNews();
        runTasks();
        if (event) handle(*event);
        cutOffOverdue();
        expireSilent();
        reportShedAndCuts();
    }
    reportShedAndCuts(true);
}

void LobbyRole::reportShedAndCuts(bool last) {
    auto now = std::chrono::steady_clock::now();
    if (!last && now < nextLoadReport_) return;
    nextLoadReport_ = now + kLoadReport;
    uint64_t total = host_.ShedCount();
    if (total != shedReported_) {
        logLine("halls: " + std::to_string(total - shedReported_) +
                " hall chat deliveries shed to readers that fell behind (" + std::to_string(total) +
                " since start)");
        shedReported_ = total;
    }
    // The links the host cut, by reason: a mass cut-off must not go unexplained.
    std::string cut;
    for (size_t i = 0; i < playnet::kCloseReasons; ++i) {
        auto reason = static_cast<playnet::CloseReason>(i);
        if (reason == playnet::CloseReason::Local || reason == playnet::CloseReason::PeerClosed)
            continue;
        uint64_t n = host_.ClosedLinks(reason);
        if (n == linksCutReported_[i]) continue;
        cut += (cut.empty() ? "" : ", ") + std::to_string(n - linksCutReported_[i]) + " " +
               playnet::CloseReasonName(reason);
        linksCutReported_[i] = n;
    }
    if (!cut.empty()) logLine("halls: links cut: " + cut);
}

void LobbyRole::expireSilent() {
    auto now = std::chrono::steady_clock::now();
    if (now < nextExpiry_) return;
    nextExpiry_ = now + kExpiryCheck;
    for (size_t i = 0; i < halls_.size(); ++i) {
        HallEffects effects;
        halls_[i].hall->expireSilent(now, effects);
        carryOut(i, effects);
    }
}

void LobbyRole::handle(const playnet::HostEvent& event) {
    auto it = bySession_.find(event.session);
    if (it == bySession_.end()) return;
    size_t index = it->second;
    Hall& hall = *halls_[index].hall;
    HallEffects effects;
    auto now = std::chrono::steady_clock::now();
    switch (event.kind) {
        case playnet::HostEvent::Kind::PlayerCreated:
            hall.playerCreated(event.player, event.name, event.address, now, effects);
            break;
        case playnet::HostEvent::Kind::SendsRefused:
            logLine("hall \"" + hall.config().name + "\": player " + std::to_string(event.from) +
                    " disconnected after " + std::to_string(event.refused) +
                    " messages addressed past the server player");
            return;
        case playnet::HostEvent::Kind::PlayerDestroyed: {
            auto holder = std::find_if(names_.begin(), names_.end(), [&](const auto& entry) {
                return entry.second.hall == index && entry.second.player == event.player;
            });
            if (holder != names_.end()) names_.erase(holder);
            hall.playerDestroyed(event.player, effects);
            break;
        }
        case playnet::HostEvent::Kind::Message:
            if (event.player != hall.serverPlayer()) return;
            hall.message(event.from, event.data.data(), event.data.size(), now, effects);
            break;
    }
    carryOut(index, effects);
    if (effects.announced) takeOver(index, event.from, *effects.announced);
}

void LobbyRole::takeOver(size_t hall, uint32_t player, const std::string& name) {
    if (name.empty()) return;
    std::string key = lowerCase(name);
    auto it = names_.find(key);
    if (it != names_.end() && !(it->second.hall == hall && it->second.player == player))
        retire(it->second);
    names_[key] = {hall, player};
    if (announced_) announced_(key);
}

void LobbyRole::retire(const NameHolder& older) {
    HallEffects effects;
    halls_[older.hall].hall->retire(older.player, effects);
    carryOut(older.hall, effects);
    cuts_.push_back({older.player, std::chrono::steady_clock::now() + kTakeoverGrace});
}

void LobbyRole::carryOut(size_t index, HallEffects& effects) {
    Hall& hall = *halls_[index].hall;
    playnet::PlayerId server = hall.serverPlayer();
    for (const Outgoing& o : effects.sends) {
        switch (o.to) {
            case Outgoing::To::One:
                host_.SendFrom(server, o.player, o.data.data(), o.data.size());
                break;
            case Outgoing::To::All:
                host_.SendFrom(server, playnet::kAllPlayers, o.data.data(), o.data.size(),
                               playnet::kSendGuaranteed, o.sheddable);
                break;
            case Outgoing::To::Others:
                for (uint32_t id : hall.othersThan(o.player))
                    host_.SendFrom(server, id, o.data.data(), o.data.size());
                break;
        }
    }
    for (uint32_t id : effects.disconnect) host_.DisconnectPlayer(id);
}

void LobbyRole::cutOffOverdue() {
    if (cuts_.empty()) return;
    auto now = std::chrono::steady_clock::now();
    auto overdue = [&](const PendingCut& c) { return c.deadline <= now; };
    for (const PendingCut& c : cuts_) {
        if (overdue(c) && host_.DisconnectPlayer(c.player))
            logLine("halls: player " + std::to_string(c.player) +
                    " disconnected after losing its name");
    }
    cuts_.erase(std::remove_if(cuts_.begin(), cuts_.end(), overdue), cuts_.end());
}

void LobbyRole::runTasks() {
    std::vector<std::function<void()>> tasks;
    {
        std::lock_guard lock(tasksMutex_);
        tasks.swap(tasks_);
    }
    for (auto& task : tasks) task();
}

template <class T>
std::optional<T> LobbyRole::onLobbyThread(std::function<T()> work) {
    auto task = std::make_shared<std::packaged_task<T()>>(std::move(work));
    std::future<T> answer = task->get_future();
    {
        std::lock_guard lock(tasksMutex_);
        if (stopping_) return std::nullopt;
        tasks_.push_back([task] { (*task)(); });
    }
    if (answer.wait_for(kControlWait) != std::future_status::ready) return std::nullopt;
    return answer.get();
}

std::optional<std::vector<LobbyRole::HallView>> LobbyRole::survey() {
    return onLobbyThread<std::vector<HallView>>([this] {
        std::vector<HallView> views;
        for (const HallSlot& slot : halls_) {
            const Hall& hall = *slot.hall;
            HallView v{hall.config().name, hall.presentCount(), hall.groups().size(), {}};
            for (uint32_t id : hall.announcedOrder())
                if (const zrt::PlayerEntry* info = hall.announcedInfo(id))
                    v.announced.push_back({info->name, info->address});
            views.push_back(std::move(v));
        }
        return views;
    });
}

std::optional<bool> LobbyRole::kick(const std::string& name) {
    return onLobbyThread<bool>([this, key = lowerCase(name)] {
        auto it = names_.find(key);
        if (it == names_.end()) return false;
        const NameHolder holder = it->second;
        logLine("halls: player " + std::to_string(holder.player) + " (" + printable(key) +
                ") kicked by an operator");
        return host_.DisconnectPlayer(holder.player);
    });
}

std::optional<size_t> LobbyRole::sendNews(const std::string& hall, const std::string& text) {
    return onLobbyThread<size_t>([this, key = lowerCase(hall), text] {
        zrt::Bytes news = zrt::encodeNews(text.substr(0, zrt::kNewsChars));
        size_t sent = 0;
        for (const HallSlot& slot : halls_) {
            if (!key.empty() && lowerCase(slot.hall->config().name) != key) continue;
            host_.SendFrom(slot.hall->serverPlayer(), playnet::kAllPlayers, news.data(),
                           news.size());
            ++sent;
        }
        return sent;
    });
}

void LobbyRole::setAnnounceListener(std::function<void(const std::string&)> listener) {
    onLobbyThread<bool>([this, listener] {
        announced_ = listener;
        return true;
    });
}

std::optional<std::vector<std::string>> LobbyRole::heldNames() {
    return onLobbyThread<std::vector<std::string>>([this] {
        std::vector<std::string> keys;
        for (const auto& entry : names_) keys.push_back(entry.first);
        return keys;
    });
}

std::optional<bool> LobbyRole::evict(const std::string& nameKey) {
    return onLobbyThread<bool>([this, nameKey] {
        auto it = names_.find(nameKey);
        if (it == names_.end()) return false;
        logLine("halls: " + printable(nameKey) + " entered a hall on another host");
        retire(it->second);
        names_.erase(it);
        return true;
    });
}

}  // namespace zrtserver
