// Host: start and close, the sessions and host-owned players, the event queue.
#include "playnet/host.h"

namespace playnet {

Host::Host() = default;

Host::~Host() {
    Close();
}

void Host::SetEventHandler(std::function<void(const HostEvent&)> handler) {
    std::lock_guard lock(mutex_);
    if (!running_) handler_ = std::move(handler);
}

bool Host::Start(const HostOptions& options) {
    std::lock_guard lock(mutex_);
    if (running_) return false;
    asio::error_code ec;
    asio::ip::address addr = asio::ip::make_address(options.listenAddress, ec);
    if (ec) return false;
    asio::ip::tcp::endpoint endpoint(addr, options.port);
    auto acceptor = std::make_unique<asio::ip::tcp::acceptor>(io_);
    acceptor->open(endpoint.protocol(), ec);
    if (!ec) acceptor->set_option(asio::socket_base::reuse_address(true), ec);
    if (!ec) acceptor->bind(endpoint, ec);
    if (!ec) acceptor->listen(asio::socket_base::max_listen_connections, ec);
    if (ec) return false;
    port_ = acceptor->local_endpoint(ec).port();
    acceptor_ = std::move(acceptor);
    options_ = options;
    running_ = true;
    io_.restart();
    work_.emplace(asio::make_work_guard(io_));
    asio::post(io_, [this] { accept(); });
    thread_ = std::thread([this] { io_.run(); });
    return true;
}

void Host::Close() {
    std::vector<std::shared_ptr<Connection>> conns;
    {
        std::lock_guard lock(mutex_);
        if (!running_) return;
        running_ = false;
        for (auto& [id, peer] : peers_) conns.push_back(peer.conn);
    }
    // Closing the acceptor and every connection leaves the io thread without work; it ends
    // once the cancelled operations have run.
    asio::post(io_, [this, conns] {
        asio::error_code ec;
        acceptor_->close(ec);
        if (acceptRetry_) acceptRetry_->cancel();
        for (const auto& c : conns) c->Close(CloseReason::Local);
    });
    work_.reset();
    if (thread_.joinable()) thread_.join();
    std::lock_guard lock(mutex_);
    peers_.clear();
    table_ = SessionTable{};
    acceptor_.reset();
    acceptRetry_.reset();
}

uint16_t Host::Port() const {
    std::lock_guard lock(mutex_);
    return port_;
}

std::optional<Guid> Host::CreateSession(const SessionConfig& config) {
    std::lock_guard lock(mutex_);
    if (!running_) return std::nullopt;
    return table_.AddSession(config);
}

bool Host::DestroySession(const Guid& instance) {
    std::lock_guard lock(mutex_);
    if (!table_.HasSession(instance)) return false;
    for (auto& [id, peer] : peers_) {
        if (peer.session == instance) {
            peer.session.reset();
            peer.conn->Close(CloseReason::Local);
        }
    }
    for (const TablePlayer& p : table_.RemoveSession(instance)) {
        if (p.owner != 0) {
            raise(makeEvent(HostEvent::Kind::PlayerDestroyed, p.session, p.id, 0, p.name));
        }
    }
    return true;
}

std::optional<SessionDesc> Host::Describe(const Guid& instance) const {
    std::lock_guard lock(mutex_);
    return table_.Describe(instance);
}

std::vector<PlayerInfo> Host::Players(const Guid& instance) const {
    std::lock_guard lock(mutex_);
    std::vector<PlayerInfo> out;
    for (PlayerId id : table_.PlayersOf(instance)) {
        const TablePlayer* p = table_.Player(id);
        if (p) out.push_back({p->id, p->name, p->owner == 0});
    }
    return out;
}

PlayerId Host::CreateHostPlayer(const Guid& session, const std::string& name) {
    std::lock_guard lock(mutex_);
    if (!running_) return 0;
    PlayerId id = 0;
    if (table_.AddPlayer(session, name, 0, id) != WireStatus::Ok) return 0;
    PlayerNoticeFrame notice;
    notice.kind = PlayerNoticeFrame::Created;
    notice.player = id;
    notice.name = name;
    announceLocked(session, notice);
    return id;
}

bool Host::DestroyHostPlayer(PlayerId id) {
    std::lock_guard lock(mutex_);
    const TablePlayer* p = table_.Player(id);
    if (!p || p->owner != 0) return false;
    removePlayerLocked(id, false);
    return true;
}

Result Host::SendFrom(PlayerId from, PlayerId to, const void* data, size_t size, uint32_t flags,
                      bool sheddable) {
    if (size > kMaxMessageSize || (size > 0 && !data)) return Result::InvalidParams;
    std::lock_guard lock(mutex_);
    if (!running_) return Result::NoSession;
    const TablePlayer* p = table_.Player(from);
    if (!p || p->owner != 0) return Result::InvalidPlayer;
    if (to != kAllPlayers) {
        const TablePlayer* t = table_.Player(to);
        if (!t || t->session != p->session) return Result::InvalidPlayer;
    }
    routeLocked(p->session, from, to, flags, data, size, nullptr, sheddable);
    return Result::Ok;
}

bool Host::DisconnectPlayer(PlayerId id) {
    std::lock_guard lock(mutex_);
    const TablePlayer* p = table_.Player(id);
    if (!p || p->owner == 0) return false;
    auto it = peers_.find(p->owner);
    if (it == peers_.end()) return false;
    it->second.conn->Close(CloseReason::Local);
    return true;
}

std::optional<HostEvent> Host::WaitEvent(int timeoutMs) {
    Queued q;
    {
        std::unique_lock lock(eventMutex_);
        auto ready = [this] { return !events_.empty(); };
        if (timeoutMs < 0) {
            eventCv_.wait(lock, ready);
        } else if (!eventCv_.wait_for(lock, std::chrono::milliseconds(timeoutMs), ready)) {
            return std::nullopt;
        }
        q = std::move(events_.front());
        events_.pop_front();
    }
    if (q.backlog)
        release(*q.backlog, q.event.data.size() + kEventCost, options_.pendingEventLimit);
    return std::move(q.event);
}

HostEvent Host::makeEvent(HostEvent::Kind kind, const Guid& session, PlayerId player, PlayerId from,
                          std::string name) {
    HostEvent e;
    e.kind = kind;
    e.session = session;
    e.player = player;
    e.from = from;
    e.name = std::move(name);
    return e;
}

void Host::raise(HostEvent event, std::shared_ptr<Backlog> backlog) {
    if (handler_) {
        asio::post(io_, [this, event = std::move(event), backlog = std::move(backlog)] {
            handler_(event);
            if (backlog)
                release(*backlog, event.data.size() + kEventCost, options_.pendingEventLimit);
        });
        return;
    }
    {
        std::lock_guard lock(eventMutex_);
        events_.push_back({std::move(event), std::move(backlog)});
    }
    eventCv_.notify_one();
}

void Host::release(Backlog& backlog, size_t bytes, size_t limit) {
    std::shared_ptr<Connection> resume;
    {
        std::lock_guard lock(backlog.mutex);
        backlog.bytes -= std::min(backlog.bytes, bytes);
        // Half the limit before reading again, so that a busy peer does not flap.
        if (backlog.paused && backlog.bytes <= limit / 2) {
            backlog.paused = false;
            resume = backlog.conn.lock();
        }
    }
    if (resume) resume->ResumeReading();
}

}  // namespace playnet
